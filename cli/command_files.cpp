#include "cli/command_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vxcli {
namespace {

std::string TypeFault(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return "Is a directory";
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  return "";
}

}  // namespace

std::string CheckPictureFile(const std::string& path) {
  // The type is looked at before opening, since opening some devices acts
  // on them; the open itself does not wait (O_NONBLOCK) and its fstat
  // catches a path that changed in between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::string("cannot open: ") + std::strerror(errno);
  if (std::string why = TypeFault(st); !why.empty()) return "cannot open: " + why;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::string("cannot open: ") + std::strerror(errno);
  const bool known = ::fstat(fd, &st) == 0;
  const int error = errno;
  ::close(fd);
  if (!known) return std::string("cannot open: ") + std::strerror(error);
  if (std::string why = TypeFault(st); !why.empty()) return "cannot open: " + why;
  return "";
}

std::string CheckMarkedFile(const std::string& path, const std::string& what, const std::string& shown) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "";  // nothing there yet: the library creates it
  if (std::string why = TypeFault(st); !why.empty())
    return "cannot write the " + what + " to " + (shown.empty() ? path : shown) + ": " + why;
  return "";
}

std::string CheckLogsDirectory(const std::string& dir, const std::string& shown) {
  const std::string fault = "cannot write the logs to " + shown + ": ";
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) return fault + std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return fault + std::strerror(ENOTDIR);
  if (::access(dir.c_str(), W_OK | X_OK) != 0) return fault + std::strerror(errno);
  return "";
}

std::string InBase(const std::string& base, const std::string& path) {
  if (base.empty() || path.empty() || path[0] == '/') return path;
  return base + "/" + path;
}

}  // namespace vxcli
