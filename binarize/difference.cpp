// Pixel-by-pixel difference of two 24-bit images and the centre of weight
// of an image's white pixels.
#include <cstdint>
#include <limits>

#include "image/buffer.h"
#include "vexolith/binarize.h"

namespace {

constexpr unsigned char kWhite = 255;

// Mode bit 0: pixels that differ become white instead of keeping their colour.
constexpr unsigned char kWhitenDifferences = 1;

}  // namespace

// Codes 1 to 3 are the size and format checks. Code 4 is added for images
// whose rows cannot be addressed (null bits or a stride shorter than
// 3 * width), so a bad record is refused before any byte is read.
int AllocationUnknownPixels(IMG a, IMG b, unsigned char mode) {
  if (a.width < 1 || a.height < 1 || b.width < 1 || b.height < 1) return 1;
  if (a.gray != 0 || b.gray != 0) return 2;
  if (a.width != b.width || a.height != b.height) return 3;
  if (!vx::HasPixels(a) || !vx::HasPixels(b)) return 4;
  const bool whiten = (mode & kWhitenDifferences) != 0;
  for (int y = 0; y < a.height; ++y) {
    unsigned char* pa = vx::RowAt(a, y);
    const unsigned char* pb = vx::RowAt(b, y);
    for (int x = 0; x < a.width; ++x, pa += 3, pb += 3) {
      if (pa[0] == pb[0] && pa[1] == pb[1] && pa[2] == pb[2]) {
        pa[0] = pa[1] = pa[2] = 0;
      } else if (whiten) {
        pa[0] = pa[1] = pa[2] = kWhite;
      }
    }
  }
  return 0;
}

// Column sums and counts are whole numbers far below 2^53, so adding them
// per row in 64-bit integers gives exactly the sums of doubles pixel by pixel.
// A gray image is read one byte per pixel (its byte is byte 0), where three
// bytes per pixel would run past its rows; an image that cannot be addressed
// (null bits, no pixels, a stride shorter than its pixels) has no white
// pixels and gives NaN in both fields, like any image without white pixels.
C_POINTd CentreWeights(IMG img) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (!vx::HasPixels(img)) return C_POINTd{nan, nan};
  const int step = vx::BytesPerPixel(img);
  std::int64_t count = 0, sum_x = 0, sum_y = 0;
  for (int y = 0; y < img.height; ++y) {
    const unsigned char* p = vx::RowAt(img, y);
    std::int64_t row_count = 0;
    for (int x = 0; x < img.width; ++x, p += step) {
      if (p[0] == kWhite) {
        ++row_count;
        sum_x += x;
      }
    }
    count += row_count;
    sum_y += row_count * y;
  }
  if (count == 0) return C_POINTd{nan, nan};  // 0 / 0, written out
  const double n = static_cast<double>(count);
  return C_POINTd{static_cast<double>(sum_x) / n, static_cast<double>(sum_y) / n};
}
