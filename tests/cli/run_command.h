// Runs the built vexolith command and collects what it printed.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/bmp_file.h"

namespace vxclitest {

constexpr int kHang = 60;  // seconds; a run that takes longer has hung (exit 124)

struct CommandRun {
  int exit_code = -1;  // -1 when it did not exit normally
  std::string out, err;
};

// This process's folder under /tmp, removed at exit; empty if not made.
inline const std::string& TestDir() {
  static const struct Folder {
    std::string path;
    Folder() {
      char name[] = "/tmp/vexolith-cli-test-XXXXXX";
      if (mkdtemp(name)) path = name;
    }
    ~Folder() { std::filesystem::remove_all(path, ignored); }
    std::error_code ignored;
  } folder;
  return folder.path;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream s(text);
  for (std::string line; std::getline(s, line);) out.push_back(line);
  return out;
}

inline std::string Slurp(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// Writes `picture` into the test folder as `name`; returns its path.
inline std::string WritePicture(const vxgen::Picture& picture, const std::string& name) {
  const std::string path = TestDir() + "/" + name;
  EXPECT_TRUE(vxgen::WriteBmp(path, picture)) << path;
  return path;
}

// `text` quoted for the shell.
inline std::string Quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) c == '\'' ? q.append("'\\''") : q.append(1, c);
  return q.append(1, '\'');
}

// Runs `program args...` with standard output and error sent to files.
// `redirects` (shell syntax, e.g. ">/dev/full" or "2>&-") follow and so
// override those; a positive `timeout_seconds` stops a run that hangs, which
// then exits 124.
inline CommandRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& redirects = "", int timeout_seconds = 0) {
  static int serial = 0;
  const std::string out = TestDir() + "/run" + std::to_string(serial++), err = out + ".err";
  std::string line = Quote(program);
  if (timeout_seconds > 0) line = "timeout -k 5 " + std::to_string(timeout_seconds) + " " + line;
  for (const std::string& a : args) line.append(1, ' ').append(Quote(a));
  line += " </dev/null >" + Quote(out) + " 2>" + Quote(err) + " " + redirects;
  const int status = std::system(line.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

inline CommandRun RunVexolith(const std::vector<std::string>& args, const std::string& redirects = "",
                              int timeout_seconds = 0) {
  return RunProgram(VEXOLITH_CLI, args, redirects, timeout_seconds);
}

// Runs a python3 script with `text` in the file named by sys.argv[1].
inline CommandRun RunPython(const std::string& script, const std::string& text) {
  const std::string path = TestDir() + "/python-input";
  std::ofstream(path, std::ios::binary) << text;
  return RunProgram("/usr/bin/python3", {"-c", script, path});
}

}  // namespace vxclitest
