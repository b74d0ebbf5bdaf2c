#include "image/picture_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vx {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) close(fd_);
}

namespace {

// Clears O_NONBLOCK again once the descriptor is known to be a regular file,
// so that reads and writes behave normally.
bool MakeBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

bool IsRegular(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

int OpenRegularFile(const char* path, std::uint64_t max_size, std::uint64_t* size) {
  if (path == nullptr || path[0] == '\0') return -1;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  FileDescriptor file(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) return -1;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  if (info.st_size <= 0 || static_cast<std::uint64_t>(info.st_size) > max_size) return -1;
  if (!MakeBlocking(file.get())) return -1;
  *size = static_cast<std::uint64_t>(info.st_size);
  return file.release();
}

bool ReadAt(int fd, std::uint64_t offset, unsigned char* dst, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = pread(fd, dst + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

int OpenWithHead(const char* path, std::uint64_t max_size, unsigned char* head, std::size_t capacity,
                 std::uint64_t* size, std::size_t* head_bytes) {
  FileDescriptor file(OpenRegularFile(path, max_size, size));
  if (file.get() < 0) return -1;
  *head_bytes = *size < capacity ? static_cast<std::size_t>(*size) : capacity;
  if (!ReadAt(file.get(), 0, head, *head_bytes)) return -1;
  return file.release();
}

int CreateRegularFile(const char* path) {
  if (path == nullptr || path[0] == '\0') return -1;
  // O_NONBLOCK: a FIFO without a reader fails at once (ENXIO) instead of
  // waiting, and one with a reader is refused by the test below. O_TRUNC has
  // no effect on FIFOs and devices, so nothing is changed before the test.
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) return -1;
  if (!IsRegular(fd) || !MakeBlocking(fd)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace vx
