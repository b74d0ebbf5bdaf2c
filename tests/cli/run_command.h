// Runs the built vexolith command and collects what it printed.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vxclitest {

// What one run of the command gave.
struct CommandRun {
  int exit_code = -1;  // exit status, -1 when it did not exit normally
  std::string out;     // standard output
  std::string err;     // standard error
};

inline std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// A fresh folder under the system's temporary folder.
inline std::string TempDir() {
  char tmpl[] = "/tmp/vexolith-cli-test-XXXXXX";
  const char* d = mkdtemp(tmpl);
  return d ? d : "/tmp";
}

// Runs `program args...` with standard output and error sent to files.
inline CommandRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  static int serial = 0;
  // One folder per test process for the captured output, removed at exit.
  struct RunDir {
    std::string path = TempDir();
    ~RunDir() { std::filesystem::remove_all(path); }
  };
  static const RunDir dir;
  const std::string base = dir.path + "/run" + std::to_string(serial++);
  const std::string out_path = base + ".out", err_path = base + ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  CommandRun run;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = Slurp(out_path);
  run.err = Slurp(err_path);
  std::remove(out_path.c_str());
  std::remove(err_path.c_str());
  return run;
}

inline CommandRun RunVexolith(const std::vector<std::string>& args) { return RunProgram(VEXOLITH_CLI, args); }

// True when every line of `text` parses as JSON (checked by python3's json module).
inline bool EveryLineIsJson(const std::string& text) {
  const std::string folder = TempDir();
  const std::string path = folder + "/lines.jsonl";
  std::ofstream(path, std::ios::binary) << text;
  const CommandRun r =
      RunProgram("/usr/bin/python3",
                 {"-c", "import json,sys\nfor l in open(sys.argv[1],encoding='utf-8'): json.loads(l)", path});
  std::filesystem::remove_all(folder);
  return r.exit_code == 0;
}

}  // namespace vxclitest
