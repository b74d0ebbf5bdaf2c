// What the command says about itself: --version, and the manual page and
// bash completion kept in step with --help.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/cli/run_command.h"

namespace {

using namespace vxclitest;

// The long flags ("--name") a text names. Roff font changes (\fB) and
// escaped dashes (\-) are taken out first.
std::set<std::string> LongFlags(std::string text) {
  text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
  text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
  static const std::regex flag(R"((^|[^A-Za-z0-9-])(--[a-z][a-z-]*[a-z]))");
  std::set<std::string> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), flag); it != std::sregex_iterator(); ++it)
    out.insert((*it)[2]);
  return out;
}

TEST(CommandDocs, VersionNamesTheProjectVersion) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, {"read", "--version"}}) {
    const CommandRun run = RunVexolith(args);
    EXPECT_EQ(run.exit_code, 0) << args.back();
    EXPECT_EQ(run.out, "vexolith " VEXOLITH_VERSION "\n") << args.size();
    EXPECT_EQ(run.err, "");
  }
}

TEST(CommandDocs, ManualPageAndCompletionNameEveryFlagOfHelp) {
  const CommandRun help = RunVexolith({"--help"});
  ASSERT_EQ(help.exit_code, 0);
  const std::set<std::string> flags = LongFlags(help.out);
  EXPECT_GE(flags.size(), 14u) << "the flags of --help were not found";
  for (const char* file : {"vexolith.1", "vexolith.bash"}) {
    const std::string text = Slurp(std::string(VEXOLITH_DOC_DIR "/") + file);
    ASSERT_FALSE(text.empty()) << file;
    EXPECT_EQ(LongFlags(text), flags) << file << " and --help name different flags";
  }
  const std::string page = Slurp(VEXOLITH_DOC_DIR "/vexolith.1");
  EXPECT_NE(page.find(".BR \\-h \", \" \\-\\-help"), std::string::npos) << "-h in the manual page";
}

// The completion script, sourced into bash, completes flags, methods and
// the first word as a user would type them.
TEST(CommandDocs, CompletionCompletesFlagsAndValues) {
  const struct {
    const char* words;  // the words so far as a bash list, the last one being completed
    const char* offered;
  } cases[] = {
      {"vexolith --ver", "--version"},
      {"vexolith re", "read"},
      {"vexolith read --max", "--max-side"},
      {"vexolith read --binarize bl", "block"},
      {"vexolith read --refine li", "line line1 line2"},
      {"vexolith read --rows ''", ""},         // a number: nothing to offer
      {"vexolith histogram --ch", "--chart"},  // each command offers its own flags
      {"vexolith read --ch", ""},
      {"vexolith segment --no", "--no-fold"},
  };
  for (const auto& c : cases) {
    const std::string script = std::string("shopt -s extglob; source " VEXOLITH_DOC_DIR "/vexolith.bash; ") +
                               "COMP_WORDS=(" + c.words + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); " +
                               "_vexolith; echo \"${COMPREPLY[*]}\"";
    const CommandRun run = RunProgram("/bin/bash", {"-c", script});
    EXPECT_EQ(run.exit_code, 0) << c.words << run.err;
    EXPECT_EQ(run.out, std::string(c.offered) + "\n") << c.words;
  }
}

}  // namespace
