// Byte views over file contents, the little/big-endian field readers the
// picture readers share, and the opening of files. Picture files are read
// whole into memory so that every decoder parses from a buffer whose length
// is known before anything is trusted; the 24-bit bitmap reader reads its
// pixels straight from the file into the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/buffer.h"

namespace vx {

// A read-only run of bytes; the owner keeps them alive.
struct ByteView {
  const unsigned char* data = nullptr;  // first byte, or null when size is 0
  std::size_t size = 0;                 // number of bytes
};

inline std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void PutLe16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

inline void PutLe32(unsigned char* p, std::uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

// Releases a block from AllocBytes; lets a unique_ptr own library buffers.
struct BytesDeleter {
  void operator()(unsigned char* block) const { FreeBytes(block); }
};
using OwnedBytes = std::unique_ptr<unsigned char[], BytesDeleter>;

// The bytes of a file read whole, in one block that is not initialised
// before the read fills it.
struct FileBytes {
  OwnedBytes data;       // size bytes from AllocBytes
  std::size_t size = 0;  // bytes read

  ByteView view() const { return ByteView{data.get(), size}; }
};

// Closes a descriptor when its owner goes out of scope, on every path.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// Opens a regular file for reading and gives its descriptor (blocking, for
// the caller to close) and its size; -1 for a missing or unreadable file, a
// directory, FIFO, device or other non-regular file (refused without
// waiting for a writer: the file is opened without blocking and tested
// before any read), an empty file and one longer than max_size bytes.
int OpenRegularFile(const char* path, std::uint64_t max_size, std::uint64_t* size);

// Reads exactly n bytes at offset; false on an error or an early end.
bool ReadAt(int fd, std::uint64_t offset, unsigned char* dst, std::size_t n);

// OpenRegularFile, then the file's first bytes into head: `capacity` of
// them, or the whole file when it is shorter (*head_bytes says how many).
// The descriptor, for the caller to close, or -1 when the file is refused
// or its first bytes cannot be read. The readers test the head before they
// allocate anything for the rest.
int OpenWithHead(const char* path, std::uint64_t max_size, unsigned char* head, std::size_t capacity,
                 std::uint64_t* size, std::size_t* head_bytes);

// Opens path for writing as a regular file, created or emptied, and returns
// its descriptor, or -1. A FIFO, device or other non-regular file is refused
// without blocking (a FIFO with no reader would otherwise wait for one) and
// without being written to.
int CreateRegularFile(const char* path);

}  // namespace vx
