#include "cli/command_options.h"
#include "cli/command_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/cli/run_command.h"

namespace {

using vxcli::Binarize;
using vxcli::ParseCommand;

TEST(CommandOptions, FlagsAndPicturesMixInAnyOrder) {
  const vxcli::Command c = ParseCommand({"read", "a.bmp", "--rows", "6", "b.png", "--cols=12", "--json",
                                         "--threshold", "0.4", "--", "--odd.bmp"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  EXPECT_EQ(c.pictures, (std::vector<std::string>{"a.bmp", "b.png", "--odd.bmp"}));
  EXPECT_EQ(c.read.rows, 6);
  EXPECT_EQ(c.read.cols, 12);
  EXPECT_DOUBLE_EQ(c.read.threshold, 0.4);
  EXPECT_TRUE(c.json);
  // Threshold parameters choose their method unless one is named.
  EXPECT_EQ(ParseCommand({"read"}).read.binarize, Binarize::kAuto);
  EXPECT_EQ(ParseCommand({"read", "--level", "90"}).read.binarize, Binarize::kGlobal);
  EXPECT_EQ(ParseCommand({"read", "--window", "15"}).read.binarize, Binarize::kLocal);
  EXPECT_EQ(ParseCommand({"read", "--block", "40"}).read.binarize, Binarize::kBlock);
  EXPECT_EQ(ParseCommand({"read", "--block", "40", "--binarize", "local"}).read.binarize, Binarize::kLocal);
}

// Exit 2, nothing on stdout, one line on stderr saying what is wrong.
TEST(CommandOptions, BadCommandLinesExitTwoWithOneLine) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "missing command"},
      {{"scan"}, "unknown command 'scan'"},
      {{"read", "--rows"}, "needs a value"},
      {{"read", "--rows", "0"}, "from 1 to 1000"},
      {{"read", "--rows", "7x"}, "not '7x'"},
      {{"read", "--cols=-3"}, "from 1 to 1000"},
      {{"read", "--threshold", "nan"}, "from 0 to 1"},
      {{"read", "--level", "256"}, "from 0 to 255"},
      {{"read", "--binarize", "otsu"}, "auto, global, local or block"},
      {{"read", "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"read", "--marked="}, "needs a file name"},
      {{"read", "--refine", "best"}, "none, contour, image, line, line1, line2 or black"},
      {{"read", "--logs", "out"}, "'--logs' needs --refine"},
      {{"detect", "--refine", "image"}, "does not apply to 'vexolith detect'"},
      {{"detect", "--rows", "8"},
       "option '--rows' does not apply to 'vexolith detect' (see vexolith --help)"},
      {{"detect", "--chart", "c.bmp"}, "does not apply to 'vexolith detect'"},
      {{"read", "--bins", "4"}, "does not apply to 'vexolith read'"},
      {{"detect", "--json=yes"}, "takes no value"},
      {{"histogram", "--bins", "0"}, "from 1 to 256"},
      {{"histogram", "--area", "1,2,3"}, "LEFT,TOP,RIGHT,BOTTOM"},
      {{"histogram", "--area", "5,0,4,9"}, "LEFT <= RIGHT"},
      {{"segment", "--join", "1.5"}, "from 0 to 1"},
      {{"segment", "--block", "1"}, "from 2 to 1024"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    const vxclitest::CommandRun run = vxclitest::RunVexolith(c.args);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("vexolith: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

// The flags themselves are held against the manual page in command_docs_test.
TEST(CommandOptions, HelpAnywhereWins) {
  const vxclitest::CommandRun help = vxclitest::RunVexolith({"read", "x.bmp", "-h"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("usage: vexolith read", 0), 0u) << help.out;
}

TEST(CommandOptions, MarkedPathNumbersSeveralPictures) {
  EXPECT_EQ(vxcli::MarkedPath("out.bmp", 0, 1), "out.bmp");
  EXPECT_EQ(vxcli::MarkedPath("out.bmp", 0, 3), "out-1.bmp");
  EXPECT_EQ(vxcli::MarkedPath("dir.v2/out", 2, 3), "dir.v2/out-3");
  EXPECT_EQ(vxcli::MarkedPath("dir/.hidden", 1, 2), "dir/.hidden-2");
}

// An unmeasured value and names and faults with control bytes, quotes and
// broken UTF-8: every JSON line still parses, every fault line stays one.
TEST(CommandReport, AwkwardNamesAndValuesStayOnOneValidLine) {
  vxcli::ReadResult r;
  r.ok = true;
  vxcli::FigureReading f;
  f.rows = 2, f.cols = 3;
  f.values = {0.9, 0.1, 0.6, 0.2, NAN, 0.75};
  f.margins = {0.4, 0.4, 0.1, 0.3, NAN, 0.25};
  f.black = {1, 0, 1, 0, 0, 1};
  r.figures = {f, f};
  const std::string json = vxcli::FormatJson("x\xff\x7f\r\"q\".bmp", r);
  EXPECT_NE(json.find("[[0.9000,0.1000,0.6000],[0.2000,null,0.7500]]"), std::string::npos) << json;
  const std::string all = vxcli::FormatJson("both.bmp", r, true);
  EXPECT_NE(all.find("\"figures\":[{\"corners\""), std::string::npos) << all;
  vxcli::ReadResult failed;
  failed.fault = "cannot \topen\x01";
  const std::string failed_json = vxcli::FormatJson("gone\n.png", failed);
  EXPECT_NE(failed_json.find("\"ok\":false,\"error\":\"cannot"), std::string::npos) << failed_json;
  const char* every_line_parses =
      "import json,sys\nfor l in open(sys.argv[1],encoding='utf-8'): json.loads(l)";
  EXPECT_EQ(vxclitest::RunPython(every_line_parses, json + all + failed_json).exit_code, 0);
  EXPECT_EQ(vxcli::JsonString("a\\b\n\t\x01"), "\"a\\\\b\\n\\t\\u0001\"");
  EXPECT_EQ(vxcli::JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");  // valid UTF-8 passes through
  EXPECT_EQ(vxcli::JsonString("bad\xff\xc3"), "\"bad\\ufffd\\ufffd\"");
  EXPECT_EQ(vxcli::JsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");  // a lone surrogate
}

}  // namespace
