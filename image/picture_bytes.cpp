#include "image/picture_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vx {

namespace {

// Closes a descriptor when the reader returns, on every path.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadWholeFile(const char* path, std::uint64_t max_size, std::vector<unsigned char>* out) {
  if (path == nullptr || path[0] == '\0') return false;
  FileDescriptor file(open(path, O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return false;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (info.st_size <= 0 || static_cast<std::uint64_t>(info.st_size) > max_size) return false;
  std::size_t size = static_cast<std::size_t>(info.st_size);
  out->assign(size, 0);
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = read(file.get(), out->data() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace vx
