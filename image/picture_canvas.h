// The decoded picture every reader produces: 24-bit B, G, R pixels, rows
// bottom-up (row 0 is the bottom line of the picture), each row padded to
// whole 4-byte units. It is exactly the pixel layout of the images the
// library hands out, so turning a picture into an IMG moves one buffer.
#pragma once

#include <cstdint>
#include <cstring>

#include "image/buffer.h"
#include "image/numeric.h"
#include "image/picture_bytes.h"
#include "vexolith/types.h"

namespace vx {

// Caps applied before anything is allocated; every reader and decoder gets
// the same ones.
struct PictureLimits {
  std::int64_t max_side = std::int64_t{1} << 20;          // widest and tallest picture, in pixels
  std::int64_t max_pixels = std::int64_t{1} << 30;        // width x height, in pixels
  std::uint64_t max_file_bytes = std::uint64_t{1} << 33;  // longest file read, in bytes (8 GiB)
};

inline constexpr PictureLimits kDefaultPictureLimits{};

// Whether a picture of width x height may be decoded: both sides at least
// 1 and at most max_side, the product (in 64 bits) at most max_pixels.
inline bool PictureSizeAllowed(std::int64_t width, std::int64_t height, const PictureLimits& limits) {
  if (width < 1 || height < 1 || width > limits.max_side || height > limits.max_side) return false;
  return width * height <= limits.max_pixels;
}

struct Picture {
  int width = 0;    // pixels per row
  int height = 0;   // rows
  int stride = 0;   // bytes per row: 3 x width rounded up to a multiple of 4
  OwnedBytes bits;  // stride x height bytes from AllocBytes, row 0 = bottom line

  // Row y in buffer order (0 = bottom line).
  unsigned char* Row(int y) const { return bits.get() + static_cast<std::ptrdiff_t>(y) * stride; }
  // Line y counted from the top of the picture, as most formats store them.
  unsigned char* LineFromTop(int y) const { return Row(height - 1 - y); }
  // Hands the buffer over as an image record; the picture is left empty.
  IMG Release() {
    IMG img{bits.release(), width, stride, height, 1, 0};
    width = height = stride = 0;
    return img;
  }
};

// What a new picture's pixels hold before the decoder writes them.
enum class PixelStart {
  kWhite,     // 255: the decoder may leave pixels unwritten (skipped runs, a frame smaller than the screen)
  kUnwritten  // not initialised: the decoder writes every pixel before it reports success
};

// Allocates a picture after checking its size against the limits. Padding
// bytes are always 0; the pixels start as `start` says. A decoder that fails
// half-way drops the picture, so unwritten pixels never reach a host.
inline bool AllocatePicture(std::int64_t width, std::int64_t height, const PictureLimits& limits,
                            PixelStart start, Picture* out) {
  if (!PictureSizeAllowed(width, height, limits)) return false;
  std::int64_t stride = StrideFor(width, 3);
  std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  out->bits.reset(AllocBytes(bytes));
  const std::size_t pixel_bytes = static_cast<std::size_t>(width) * 3;
  const std::size_t padding = static_cast<std::size_t>(stride) - pixel_bytes;
  for (std::int64_t y = 0; y < height; ++y) {
    unsigned char* row = out->bits.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    if (start == PixelStart::kWhite) std::memset(row, 255, pixel_bytes);
    if (padding != 0) std::memset(row + pixel_bytes, 0, padding);
  }
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->stride = static_cast<int>(stride);
  return true;
}

// Colour component c with opacity a (0 transparent .. 255 opaque) laid over
// white, rounded to nearest.
inline unsigned char OverWhite(unsigned c, unsigned a) {
  return static_cast<unsigned char>((c * a + 255u * (255u - a) + 127u) / 255u);
}

inline void PutBgr(unsigned char* row, int x, unsigned char b, unsigned char g, unsigned char r) {
  unsigned char* p = row + static_cast<std::ptrdiff_t>(x) * 3;
  p[0] = b;
  p[1] = g;
  p[2] = r;
}

}  // namespace vx
