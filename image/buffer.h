// Pixel buffers handed to hosts. Every block the library gives out comes from
// here and goes back through DeleteImg or DeleteByte, so allocation and
// release always match.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/numeric.h"
#include "vexolith/types.h"

namespace vx {

inline unsigned char* AllocBytes(std::size_t n) { return new unsigned char[n]; }

inline void FreeBytes(unsigned char* block) { delete[] block; }

// A new image by the stride rule (row bytes rounded up to whole 4-byte
// units); the pixels are not initialised. Callers keep width and height
// positive and small enough for a 32-bit stride.
inline IMG NewImage(int width, int height, bool gray) {
  int stride = static_cast<int>(StrideFor(width, gray ? 1 : 3));
  unsigned char* bits = AllocBytes(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  return IMG{bits, width, stride, height, 1, static_cast<unsigned char>(gray ? 1 : 0)};
}

// Address of pixel (x, y): one byte per pixel in gray images, three otherwise.
inline unsigned char* PixelAt(const IMG& img, int x, int y) {
  return img.bits + static_cast<std::ptrdiff_t>(y) * img.stride + static_cast<std::ptrdiff_t>(x) * (img.gray ? 1 : 3);
}

}  // namespace vx
