// `vexolith read --refine` and `--logs` end to end: the refined readings stay
// right, the searches' logs never reach the user's folder unless asked for,
// relative paths still name the user's files while a search has moved the
// current directory, and a bad logs folder stops the command.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tests/cli/run_command.h"
#include "tests/support/temp_cwd.h"
#include "tools/random_params.h"

namespace {

namespace fs = std::filesystem;
using namespace vxclitest;

// Two blurred, noisy 8 x 8 pictures as a.bmp and b.bmp in a folder of their
// own, which is the current directory while the test runs the command.
class RefineCommand : public vxtest::InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    for (const char* name : {"a.bmp", "b.bmp"}) {
      vxgen::FigureParams params = vxgen::RandomParams(7, name[0] - 'a');
      params.rows = params.cols = 8;
      params.size = 240;
      params.blur = 0.8;
      params.noise = 6;
      const vxgen::TestPicture t = vxgen::Render(params);
      ASSERT_TRUE(vxgen::WriteBmp(name, t.picture));
      both_grids_.push_back(std::string(name) + ":");
      for (const std::string& row : vxgen::VerdictRows(t.truth.rows, t.truth.cols, t.truth.black))
        both_grids_.push_back(row);
    }
  }

  CommandRun Read(std::vector<std::string> more) {
    more.insert(more.begin(), {"read", "--rows", "8", "--cols", "8", "--jobs", "2", "a.bmp", "b.bmp"});
    return RunVexolith(more);
  }

  std::vector<std::string> both_grids_;  // the command's lines for both pictures
};

TEST_F(RefineCommand, EveryRefinementReadsRightAndLeavesNoLogBehind) {
  for (const char* how : {"none", "contour", "image", "line", "line1", "line2", "black"}) {
    SCOPED_TRACE(how);
    const CommandRun run = Read({"--refine", how, "--marked", "out.bmp"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(Lines(run.out), both_grids_);
    EXPECT_EQ(run.err, "");
    // The marked pictures, given relative, land here; nothing else does.
    EXPECT_EQ(Listing(dir_), (std::set<std::string>{"a.bmp", "b.bmp", "out-1.bmp", "out-2.bmp"}));
    fs::remove("out-1.bmp"), fs::remove("out-2.bmp");
  }
}

TEST_F(RefineCommand, LogsAreKeptPerPictureFigureAndSideOnlyWhenAsked) {
  fs::create_directory("logs");
  const CommandRun run = Read({"--refine", "line", "--logs", "logs"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(Lines(run.out), both_grids_);
  std::set<std::string> expected;
  for (const char* picture : {"1", "2"})
    for (const char* side : {"top", "right", "bottom", "left"})
      for (const char* log : {"dd.log", "dd1.log"})
        expected.insert(std::string(picture) + "-1-" + side + "-" + log);
  EXPECT_EQ(Listing(dir_ / "logs"), expected);
  EXPECT_EQ(Listing(dir_), (std::set<std::string>{"a.bmp", "b.bmp", "logs"}));
  fs::remove_all("logs");
}

// A logs folder that cannot take the logs stops the command before any
// picture is read: one line naming it as given, exit 1.
TEST_F(RefineCommand, BadLogsFolderIsNamedAndNothingIsRead) {
  const struct {
    const char* logs;
    const char* fault;
  } cases[] = {
      {"missing", "No such file or directory"},
      {"a.bmp", "Not a directory"},
  };
  for (const auto& c : cases) {
    const CommandRun run = Read({"--refine", "black", "--logs", c.logs});
    EXPECT_EQ(run.exit_code, 1) << c.logs;
    EXPECT_EQ(run.out, "") << c.logs;
    EXPECT_EQ(run.err, std::string("vexolith: cannot write the logs to ") + c.logs + ": " + c.fault + "\n");
  }
  EXPECT_EQ(Listing(dir_), (std::set<std::string>{"a.bmp", "b.bmp"}));
}

}  // namespace
