// vexolith: reads the cells of the figure in pictures, or finds their code
// regions, segments or histograms.
//
// The library prints one line per region after every search on standard
// output. The command's results must never mix with those lines, so at start
// the real standard output is kept on a descriptor of its own for the
// results, and descriptor 1 is pointed at /dev/null (or at standard error
// with --show-contours) for the rest of the run.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_files.h"
#include "cli/command_options.h"
#include "cli/command_report.h"
#include "cli/command_run.h"

#ifndef VEXOLITH_VERSION
#define VEXOLITH_VERSION "unknown"
#endif
#ifndef VEXOLITH_SAMPLE_PICTURE
#define VEXOLITH_SAMPLE_PICTURE "samples/sample.bmp"
#endif
#ifndef VEXOLITH_SAMPLE_BESIDE
#define VEXOLITH_SAMPLE_BESIDE "../share/vexolith/sample.bmp"
#endif

namespace {

// Descriptors 0 and 2 that were closed when the command started are opened
// on /dev/null: otherwise the next file opened (a picture, the marked
// picture) would take the number and fault lines would be written into it.
void FillClosedDescriptors() {
  for (const int fd : {STDIN_FILENO, STDERR_FILENO}) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

// Sends descriptor 1 elsewhere and returns a stream on the original one.
// The stream's descriptor is 3 or above, so it is never taken for standard
// input or error. Null (errno set) when standard output is closed.
std::FILE* KeepResultsApart(bool show_contours) {
  std::fflush(stdout);
  const int results_fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
  if (results_fd < 0) return nullptr;
  std::FILE* results = fdopen(results_fd, "w");
  if (results == nullptr) {
    const int error = errno;
    close(results_fd);
    errno = error;
    return nullptr;
  }
  const int target = show_contours ? dup(STDERR_FILENO) : open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (target >= 0) {
    dup2(target, STDOUT_FILENO);
    close(target);
  }
  return results;
}

// The sample picture: the installed one, found from the command's own
// folder wherever the installation was put, or else the source tree's.
std::string SamplePicture() {
  std::error_code error;
  const std::filesystem::path command = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path installed =
        (command.parent_path() / VEXOLITH_SAMPLE_BESIDE).lexically_normal();
    if (std::filesystem::is_regular_file(installed, error)) return installed.string();
  }
  return VEXOLITH_SAMPLE_PICTURE;
}

// Writes `text`; false (errno set) when it could not all be written.
bool Put(std::FILE* out, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

int CannotWrite(const char* what, int error) {
  std::fprintf(stderr, "vexolith: cannot write the %s: %s\n", what, std::strerror(error));
  return vxcli::kExitSomeFailed;
}

// Prints text on standard output for --help and --version, the exit status.
int PrintAndClose(const std::string& text) {
  if (!Put(stdout, text)) return CannotWrite("output", errno);
  if (std::fclose(stdout) != 0) return CannotWrite("output", errno);
  return vxcli::kExitAllRead;
}

}  // namespace

int main(int argc, char** argv) {
  FillClosedDescriptors();
  const std::vector<std::string> args(argv + 1, argv + argc);
  vxcli::Command command = vxcli::ParseCommand(args);
  if (command.help) return PrintAndClose(vxcli::Usage());
  if (command.version) return PrintAndClose("vexolith " VEXOLITH_VERSION "\n");
  if (!command.error.empty()) {
    std::fprintf(stderr, "vexolith: %s (see vexolith --help)\n", vxcli::Printable(command.error).c_str());
    return vxcli::kExitUsage;
  }
  if (command.pictures.empty()) command.pictures.push_back(SamplePicture());
  // An image search moves the process's current directory while it runs
  // (its logs have fixed names), and other pictures are read meanwhile on
  // other threads: from here on every relative path is opened from the
  // directory the command started in, named absolutely.
  if (command.verb == vxcli::Verb::kRead && vxcli::MovesDirectory(command.read.refine)) {
    std::error_code error;
    command.base = std::filesystem::current_path(error).string();
    if (error) {
      std::fprintf(stderr, "vexolith: cannot name the current directory: %s\n", error.message().c_str());
      return vxcli::kExitSomeFailed;
    }
  }
  if (!command.read.logs.empty()) {
    // Checked before any picture is read; nothing is read when it fails.
    const std::string fault =
        vxcli::CheckLogsDirectory(vxcli::InBase(command.base, command.read.logs), command.read.logs);
    if (!fault.empty()) {
      std::fprintf(stderr, "vexolith: %s\n", vxcli::Printable(fault).c_str());
      return vxcli::kExitSomeFailed;
    }
  }

  std::FILE* results = KeepResultsApart(command.show_contours);
  if (results == nullptr) return CannotWrite("results", errno);
  const int count = static_cast<int>(command.pictures.size());
  const bool progress = count > 1 && isatty(STDERR_FILENO);
  const int jobs = command.jobs > 0 ? command.jobs : std::max(1u, std::thread::hardware_concurrency());
  int failed = 0;
  int write_error = 0;  // errno of the first write of results that failed

  const auto analyse = [&command](int k) { return vxcli::AnalysePicture(command, k); };
  vxcli::RunAll(count, jobs, analyse, [&](int k, const vxcli::Outcome& r) {
    const std::string& path = command.pictures[k];
    if (progress) std::fputs("\r\033[K", stderr);
    if (!r.ok) {
      ++failed;
      std::fputs(vxcli::FaultLine(path, r.fault).c_str(), stderr);
    }
    if (!Put(results, r.results)) {
      // Nothing more can be reported: stop reading.
      write_error = errno;
      return false;
    }
    if (progress && k + 1 < count) std::fprintf(stderr, "vexolith: %d/%d read", k + 1, count);
    return true;
  });
  if (progress) std::fputs("\r\033[K", stderr);
  if (std::fclose(results) != 0 && write_error == 0) write_error = errno;
  if (write_error != 0) return CannotWrite("results", write_error);
  return failed ? vxcli::kExitSomeFailed : vxcli::kExitAllRead;
}
