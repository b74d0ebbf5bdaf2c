// Byte views over file contents and the little/big-endian field readers the
// picture readers share. Files are read whole into memory so that every
// reader parses from a buffer whose length is known before anything is
// trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

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

// Reads a regular file whole. Refuses a missing or unreadable file, a
// directory or other non-regular file, an empty file and one longer than
// max_size bytes. A short read (the file shrank while being read) fails too.
bool ReadWholeFile(const char* path, std::uint64_t max_size, std::vector<unsigned char>* out);

}  // namespace vx
