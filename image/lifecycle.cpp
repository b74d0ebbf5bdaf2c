// Copying, clearing and releasing image buffers.
#include <cstring>

#include "image/buffer.h"
#include "vexolith/image.h"

namespace {

// Bytes of a whole buffer, padding included, for members already known to be positive.
std::size_t BufferBytes(const IMG& img) {
  return static_cast<std::size_t>(img.stride) * static_cast<std::size_t>(img.height);
}

}  // namespace

// Codes 1 to 3 are the entry checks of the interface. Two more are made
// before anything changes: 4 for a null dst (nowhere to put the copy) and 5
// when the block cannot be allocated, rather than an exception crossing the
// interface. On any non-zero code dst is untouched.
int CopyIMG(IMG src, IMG* dst) {
  if (!src.valid) return 1;
  if (src.width < 1 || src.stride < 1 || src.height < 1) return 2;
  if (src.bits == nullptr) return 3;
  if (dst == nullptr) return 4;
  const std::size_t bytes = BufferBytes(src);
  unsigned char* bits = vx::TryAllocBytes(bytes);
  if (bits == nullptr) return 5;
  std::memcpy(bits, src.bits, bytes);
  *dst = IMG{bits, src.width, src.stride, src.height, 1, static_cast<unsigned char>(src.gray ? 1 : 0)};
  return 0;
}

void DeleteImg(IMG img) { vx::FreeBytes(img.bits); }

// Gray images are cleared too: every byte of the buffer, padding included,
// becomes 0 whatever the format. A record without pixels (no buffer, no
// rows or columns, rows shorter than their pixels) is left alone: its
// stride says nothing about the buffer behind it.
void ClearImage(IMG img) {
  if (!vx::HasPixels(img)) return;
  std::memset(img.bits, 0, BufferBytes(img));
}

void DeleteByte(unsigned char* block) { vx::FreeBytes(block); }
