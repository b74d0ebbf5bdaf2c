// Conversion between 24-bit colour and 8-bit gray.
//
// Both operations read only the pixel bytes of each row (never the padding)
// and write a new buffer by the stride rule; the new padding bytes are set to
// 0 so the whole result is defined. A source that cannot be read safely (null
// bits, width or height below 1, a stride shorter than its pixels, the wrong
// format) or a result whose stride would not fit an int gives `valid` 0.
#include <cstring>

#include "image/buffer.h"
#include "image/gray.h"
#include "image/huge_pages.h"
#include "vexolith/image.h"

namespace {

// Zeroes the bytes of row `row` after its first `used` bytes.
void ClearPadding(unsigned char* row, int used, int stride) {
  if (stride > used) std::memset(row + used, 0, static_cast<std::size_t>(stride - used));
}

}  // namespace

IMG Img24To8(IMG src) {
  if (!vx::HasPixels(src) || src.gray) return vx::FailedImage();
  IMG dst = vx::NewImage(src.width, src.height, true);
  if (!dst.valid) return dst;
  vx::AdviseHugePages(dst.bits, static_cast<std::size_t>(dst.stride) * static_cast<std::size_t>(dst.height));
  for (int y = 0; y < src.height; ++y) {
    unsigned char* out = vx::RowAt(dst, y);
    vx::GrayRowTo8(vx::RowAt(src, y), out, src.width);
    ClearPadding(out, src.width, dst.stride);
  }
  return dst;
}

IMG Img8To24(IMG src) {
  if (!vx::HasPixels(src) || !src.gray) return vx::FailedImage();
  IMG dst = vx::NewImage(src.width, src.height, false);
  if (!dst.valid) return dst;
  for (int y = 0; y < src.height; ++y) {
    const unsigned char* in = vx::RowAt(src, y);
    unsigned char* out = vx::RowAt(dst, y);
    for (int x = 0; x < src.width; ++x) {
      out[3 * x] = in[x];
      out[3 * x + 1] = in[x];
      out[3 * x + 2] = in[x];
    }
    ClearPadding(out, 3 * src.width, dst.stride);
  }
  return dst;
}
