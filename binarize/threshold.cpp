// Global threshold: a pixel brighter than the threshold becomes white (255),
// any other black (0).
#include <algorithm>

#include "binarize/row_kernels.h"
#include "image/buffer.h"
#include "image/gray.h"
#include "vexolith/binarize.h"

namespace {

// Gray values of a 24-bit row are made this many at a time on the stack.
constexpr int kChunk = 512;

void ThresholdGrayRow(unsigned char* px, int n, unsigned char threshold) {
  for (int x = 0; x < n; ++x) px[x] = px[x] > threshold ? 255 : 0;
}

// Compares the unrounded gray value: 100.5 against threshold 100 is white
// although its gray byte would be 100. Gray values, decisions and the pixel
// bytes go through vector kernels a chunk at a time.
void ThresholdColorRow(unsigned char* px, int n, unsigned char threshold) {
  if (vx::CpuHasAvx512()) {
    vx::ThresholdColorRowAvx512(px, n, threshold);
    return;
  }
  double values[kChunk];
  unsigned char decision[kChunk];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    unsigned char* chunk = px + 3 * start;
    vx::GrayRowValues(chunk, values, count);
    vx::AboveThreshold(values, threshold, decision, count);
    vx::SpreadToPixels3(decision, chunk, count);
  }
}

}  // namespace

void ThresholdImage(IMG img, unsigned char threshold, RECT region) {
  if (!vx::HasPixels(img)) return;
  const RECT r = vx::ClipRegion(img, region);
  if (vx::IsEmpty(r)) return;
  const bool gray = img.gray != 0;
  const int n = r.right - r.left;
  for (int y = r.top; y < r.bottom; ++y) {
    unsigned char* px = vx::PixelAt(img, r.left, y);
    if (gray) {
      ThresholdGrayRow(px, n, threshold);
    } else {
      ThresholdColorRow(px, n, threshold);
    }
  }
}
