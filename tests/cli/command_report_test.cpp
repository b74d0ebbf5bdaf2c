#include "cli/command_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/cli/run_command.h"

namespace {

// A result with a value that could not be measured, and a file name and a
// fault with control bytes, quotes and broken UTF-8: every JSON line still
// parses, every fault line stays one line.
TEST(CommandReport, AwkwardNamesAndValuesStayOnOneValidLine) {
  vxcli::ReadResult r;
  r.ok = true;
  r.rows = 2;
  r.cols = 3;
  r.values = {0.9, 0.1, 0.6, 0.2, NAN, 0.75};
  r.black = {true, false, true, false, false, true};
  const std::string json = vxcli::FormatJson("x\xff\x7f\r\"q\".bmp", r);
  EXPECT_NE(json.find("[[0.9000,0.1000,0.6000],[0.2000,null,0.7500]]"), std::string::npos) << json;
  vxcli::ReadResult failed;
  failed.fault = "cannot \topen\x01";
  const std::string failed_json = vxcli::FormatJson("gone\n.png", failed);
  EXPECT_NE(failed_json.find("\"ok\":false,\"error\":\"cannot"), std::string::npos) << failed_json;
  EXPECT_TRUE(vxclitest::EveryLineIsJson(json + failed_json));
  EXPECT_EQ(vxcli::JsonString("a\\b\n\t\x01"), "\"a\\\\b\\n\\t\\u0001\"");
  EXPECT_EQ(vxcli::JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");  // valid UTF-8 passes through
  EXPECT_EQ(vxcli::JsonString("bad\xff\xc3"), "\"bad\\ufffd\\ufffd\"");
  EXPECT_EQ(vxcli::JsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");  // a lone surrogate
  failed.fault = "no figure found";
  EXPECT_EQ(vxcli::FaultLine("odd\nname.bmp", failed), "vexolith: odd name.bmp: no figure found\n");
}

}  // namespace
