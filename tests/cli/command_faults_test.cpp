// The command in hostile surroundings: special files where pictures are
// expected, results that cannot be written, a closed standard error, file
// names with control characters.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "cli/command_report.h"
#include "tests/cli/run_command.h"

namespace {

using namespace vxclitest;

// Special files where pictures are expected and results that cannot be
// written: exit 1 and one line saying so, at once. A FIFO opened for reading
// waits for a writer, one opened for writing waits for a reader, and
// /dev/zero never ends.
TEST(CommandFaults, SpecialFilesAndUnwritableOutputFailWithOneLine) {
  const std::string fifo = TestDir() + "/faults-pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << fifo;
  const struct {
    std::vector<std::string> args;
    const char* redirect;
    const char* says;
  } cases[] = {
      {{"read", fifo}, "", "not a regular file"},
      {{"read", "/dev/zero"}, "", "not a regular file"},
      {{"read", VEXOLITH_SAMPLE_PICTURE, "--marked", fifo}, "", "not a regular file"},
      {{"read", VEXOLITH_SAMPLE_PICTURE}, ">/dev/full", "cannot write"},
      {{"read", "--json", VEXOLITH_SAMPLE_PICTURE}, ">/dev/full", "cannot write"},
      {{"--help"}, ">/dev/full", "cannot write"},
      {{"--version"}, ">/dev/full", "cannot write"},
      {{"read", VEXOLITH_SAMPLE_PICTURE}, ">&-", "cannot write"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args) + c.redirect);
    const CommandRun run = RunVexolith(c.args, c.redirect, kHang);
    EXPECT_EQ(run.exit_code, 1) << "124 means it hung";
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  }
}

// With descriptor 2 closed, no descriptor the command opens may take its
// place: fault lines written there would land among the JSON results.
TEST(CommandFaults, ClosedStandardErrorKeepsFaultLinesOutOfTheResults) {
  const std::string missing = TestDir() + "/missing.bmp";
  const CommandRun run = RunVexolith({"read", "--json", VEXOLITH_SAMPLE_PICTURE, missing}, "2>&-", kHang);
  EXPECT_EQ(run.exit_code, 1);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out;
  for (const std::string& line : lines) EXPECT_EQ(line.rfind("{\"file\":", 0), 0u) << line;
}

// Control characters in a name never reach the terminal raw; printable
// UTF-8 passes through, bytes that are not UTF-8 are shown as hex too.
TEST(CommandFaults, FaultLinesEscapeControlCharacters) {
  vxcli::ReadResult failed;
  failed.fault = "no figure found";
  const struct {
    const char* name;
    const char* shown;
  } cases[] = {
      {"a\x1b[2Jb.bmp", "a\\x1b[2Jb.bmp"},             // ESC: clears the screen
      {"bell\a.png", "bell\\x07.png"},                 // BEL
      {"two\nlines\r.bmp", "two\\x0alines\\x0d.bmp"},  // line breaks
      {"del\x7f.bmp", "del\\x7f.bmp"},                 // DEL
      {"csi\xc2\x9b"
       "31m.bmp",
       "csi\\xc2\\x9b31m.bmp"},                                          // a C1 control in UTF-8
      {"raw\x9b.bmp", "raw\\x9b.bmp"},                                   // a lone C1 byte
      {"caf\xc3\xa9 \xe2\x82\xac.bmp", "caf\xc3\xa9 \xe2\x82\xac.bmp"},  // printable UTF-8 kept
      {"back\\slash.bmp", "back\\slash.bmp"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vxcli::FaultLine(c.name, failed), std::string("vexolith: ") + c.shown + ": no figure found\n")
        << c.shown;
  // The command's own line for a missing file with ESC in its name.
  const CommandRun run = RunVexolith({"read", TestDir() + "/gone\x1b[31m.bmp"});
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("gone\\x1b[31m.bmp: cannot open"), std::string::npos) << run.err;
}

}  // namespace
