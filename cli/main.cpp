// vexolith: reads the cells of the figure in pictures.
//
// The library prints one line per region after every search on standard
// output. The command's results must never mix with those lines, so at start
// the real standard output is kept on a descriptor of its own for the
// results, and descriptor 1 is pointed at /dev/null (or at standard error
// with --show-contours) for the rest of the run.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_options.h"
#include "cli/command_report.h"
#include "cli/command_run.h"

#ifndef VEXOLITH_SAMPLE_PICTURE
#define VEXOLITH_SAMPLE_PICTURE "samples/sample.bmp"
#endif

namespace {

// Sends descriptor 1 elsewhere and returns a stream on the original one.
std::FILE* KeepResultsApart(bool show_contours) {
  std::fflush(stdout);
  const int results_fd = dup(STDOUT_FILENO);
  if (results_fd < 0) return nullptr;
  const int target = show_contours ? dup(STDERR_FILENO) : open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (target >= 0) {
    dup2(target, STDOUT_FILENO);
    close(target);
  }
  return fdopen(results_fd, "w");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  vxcli::Command command = vxcli::ParseCommand(args);
  if (command.help) {
    std::fputs(vxcli::Usage().c_str(), stdout);
    return vxcli::kExitAllRead;
  }
  if (!command.error.empty()) {
    std::fprintf(stderr, "vexolith: %s (see vexolith --help)\n", command.error.c_str());
    return vxcli::kExitUsage;
  }
  if (command.pictures.empty()) command.pictures.push_back(VEXOLITH_SAMPLE_PICTURE);

  std::FILE* results = KeepResultsApart(command.show_contours);
  if (results == nullptr) {
    std::fprintf(stderr, "vexolith: cannot set up standard output\n");
    return vxcli::kExitSomeFailed;
  }
  const int count = static_cast<int>(command.pictures.size());
  const bool progress = count > 1 && isatty(STDERR_FILENO);
  const int jobs = command.jobs > 0 ? command.jobs : std::max(1u, std::thread::hardware_concurrency());
  int failed = 0;

  vxcli::ReadAll(command.pictures, command.read, jobs, [&](int k, const vxcli::ReadResult& r) {
    const std::string& path = command.pictures[k];
    if (progress) std::fputs("\r\033[K", stderr);
    if (!r.ok) {
      ++failed;
      std::fputs(vxcli::FaultLine(path, r).c_str(), stderr);
    }
    if (command.json) {
      std::fputs(vxcli::FormatJson(path, r, command.read.all).c_str(), results);
    } else if (r.ok) {
      std::fputs(vxcli::FormatRows(path, r, count > 1).c_str(), results);
    }
    std::fflush(results);
    if (progress && k + 1 < count) std::fprintf(stderr, "vexolith: %d/%d read", k + 1, count);
  });
  if (progress) std::fputs("\r\033[K", stderr);
  std::fclose(results);
  return failed ? vxcli::kExitSomeFailed : vxcli::kExitAllRead;
}
