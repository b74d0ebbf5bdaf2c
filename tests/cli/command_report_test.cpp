#include "cli/command_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/cli/run_command.h"

namespace {

vxcli::ReadResult TwoByThree() {
  vxcli::ReadResult r;
  r.ok = true;
  r.rows = 2;
  r.cols = 3;
  r.corners = {{{1, 2}, {30.5, 2}, {30.5, 20}, {1, 20.25}}};
  r.values = {0.9, 0.1, 0.6, 0.2, NAN, 0.75};
  r.black = {true, false, true, false, false, true};
  r.black_count = 3;
  return r;
}

TEST(CommandReport, RowsAreReadAsSeenWithOptionalHeader) {
  EXPECT_EQ(vxcli::FormatRows("a.bmp", TwoByThree(), false), "#.#\n..#\n");
  EXPECT_EQ(vxcli::FormatRows("a.bmp", TwoByThree(), true), "a.bmp:\n#.#\n..#\n");
}

TEST(CommandReport, JsonHoldsEveryFieldAndParses) {
  const std::string j = vxcli::FormatJson("dir/a \"b\".bmp", TwoByThree());
  EXPECT_EQ(j,
            "{\"file\":\"dir/a \\\"b\\\".bmp\",\"ok\":true,\"rows\":2,\"cols\":3,"
            "\"corners\":[[1.00,2.00],[30.50,2.00],[30.50,20.00],[1.00,20.25]],"
            "\"values\":[[0.9000,0.1000,0.6000],[0.2000,null,0.7500]],"
            "\"verdicts\":[\"#.#\",\"..#\"],\"black\":3}\n");
  vxcli::ReadResult failed;
  failed.fault = "cannot open: No such file or directory";
  const std::string f = vxcli::FormatJson("gone.png", failed);
  EXPECT_EQ(f, "{\"file\":\"gone.png\",\"ok\":false,\"error\":\"cannot open: No such file or directory\"}\n");
  EXPECT_TRUE(vxclitest::EveryLineIsJson(j + f));
}

TEST(CommandReport, JsonStringsSurviveControlBytesAndBrokenUtf8) {
  EXPECT_EQ(vxcli::JsonString("a\\b\n\t\x01"), "\"a\\\\b\\n\\t\\u0001\"");
  EXPECT_EQ(vxcli::JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");  // valid UTF-8 passes through
  EXPECT_EQ(vxcli::JsonString("bad\xff\xc3"), "\"bad\\ufffd\\ufffd\"");
  EXPECT_EQ(vxcli::JsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");  // a lone surrogate
  EXPECT_TRUE(vxclitest::EveryLineIsJson(vxcli::FormatJson("x\xff\x7f\r.bmp", TwoByThree())));
}

TEST(CommandReport, FaultIsOneLineNamingTheFile) {
  vxcli::ReadResult r;
  r.fault = "no figure found";
  EXPECT_EQ(vxcli::FaultLine("odd\nname.bmp", r), "vexolith: odd name.bmp: no figure found\n");
}

}  // namespace
