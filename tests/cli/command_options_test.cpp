#include "cli/command_options.h"

#include <gtest/gtest.h>

namespace {

using vxcli::Binarize;
using vxcli::ParseCommand;

TEST(CommandOptions, DefaultsReadTheSampleGrid) {
  const vxcli::Command c = ParseCommand({"read"});
  EXPECT_TRUE(c.error.empty());
  EXPECT_TRUE(c.pictures.empty());
  EXPECT_EQ(c.read.rows, 10);
  EXPECT_EQ(c.read.cols, 10);
  EXPECT_EQ(c.read.threshold, 0.5);
  EXPECT_EQ(c.read.binarize, Binarize::kAuto);
  EXPECT_FALSE(c.json);
}

TEST(CommandOptions, FlagsAndPicturesMixInAnyOrder) {
  const vxcli::Command c = ParseCommand({"read", "a.bmp", "--rows", "6", "b.png", "--cols=12", "--json",
                                         "--threshold", "0.4", "--", "--odd.bmp"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  EXPECT_EQ(c.pictures, (std::vector<std::string>{"a.bmp", "b.png", "--odd.bmp"}));
  EXPECT_EQ(c.read.rows, 6);
  EXPECT_EQ(c.read.cols, 12);
  EXPECT_DOUBLE_EQ(c.read.threshold, 0.4);
  EXPECT_TRUE(c.json);
}

TEST(CommandOptions, ThresholdParametersChooseTheirMethodUnlessOneIsNamed) {
  EXPECT_EQ(ParseCommand({"read", "--level", "90"}).read.binarize, Binarize::kGlobal);
  EXPECT_EQ(ParseCommand({"read", "--window", "15"}).read.binarize, Binarize::kLocal);
  EXPECT_EQ(ParseCommand({"read", "--block", "40"}).read.binarize, Binarize::kBlock);
  EXPECT_EQ(ParseCommand({"read", "--binarize", "auto", "--block", "40"}).read.binarize, Binarize::kAuto);
  EXPECT_EQ(ParseCommand({"read", "--block", "40", "--binarize", "local"}).read.binarize, Binarize::kLocal);
}

TEST(CommandOptions, BadCommandLinesSayWhatIsWrong) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "missing command"},
      {{"scan"}, "unknown command 'scan'"},
      {{"read", "--rows"}, "needs a value"},
      {{"read", "--rows", "0"}, "from 1 to 1000"},
      {{"read", "--rows", "7x"}, "not '7x'"},
      {{"read", "--cols=-3"}, "from 1 to 1000"},
      {{"read", "--threshold", "1.5"}, "from 0 to 1"},
      {{"read", "--threshold", "nan"}, "from 0 to 1"},
      {{"read", "--level", "256"}, "from 0 to 255"},
      {{"read", "--binarize", "otsu"}, "auto, global, local or block"},
      {{"read", "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"read", "--marked="}, "needs a file name"},
  };
  for (const Case& c : cases) {
    const vxcli::Command cmd = ParseCommand(c.args);
    SCOPED_TRACE(c.says);
    EXPECT_NE(cmd.error.find(c.says), std::string::npos) << cmd.error;
    EXPECT_EQ(cmd.error.find('\n'), std::string::npos);
  }
}

TEST(CommandOptions, HelpAnywhereWinsAndDocumentsEveryFlag) {
  EXPECT_TRUE(ParseCommand({"--help"}).help);
  EXPECT_TRUE(ParseCommand({"read", "x.bmp", "-h"}).help);
  const std::string usage = vxcli::Usage();
  for (const char* flag : {"--rows", "--cols", "--threshold", "--binarize", "--level", "--window", "--block",
                           "--max-side", "--json", "--marked", "--jobs", "--show-contours", "--help"})
    EXPECT_NE(usage.find(flag), std::string::npos) << flag;
  EXPECT_NE(usage.find("Exit status"), std::string::npos);
}

TEST(CommandOptions, MarkedPathNumbersSeveralPictures) {
  EXPECT_EQ(vxcli::MarkedPath("out.bmp", 0, 1), "out.bmp");
  EXPECT_EQ(vxcli::MarkedPath("out.bmp", 0, 3), "out-1.bmp");
  EXPECT_EQ(vxcli::MarkedPath("dir.v2/out", 2, 3), "dir.v2/out-3");
  EXPECT_EQ(vxcli::MarkedPath("dir/.hidden", 1, 2), "dir/.hidden-2");
}

}  // namespace
