// A histogram drawn as a bar chart filling a 24-bit image.
#include <cstdint>

#include "histogram/bins.h"
#include "vexolith/draw.h"
#include "vexolith/histogram.h"
#include "vexolith/image.h"

int DrawHistogram(HISTOGRAM h, IMG img) {
  if (img.gray != 0) return 1;
  if (!vx::Usable(h)) return 2;
  if (img.valid == 0 || !vx::HasPixels(img)) return 3;
  ClearImage(img);
  DrawLine(img, C_POINT{0, 0}, C_POINT{img.width - 1, 0}, 128, 128, 128);
  const int m = MaxHistogramElem(h);
  // Bars are scaled to the largest bin; when it is 0 (all bins empty, or
  // only negative counts a host wrote) there is nothing to scale: no bars.
  if (h.bins[m] <= 0) return 0;
  const double peak = static_cast<double>(h.bins[m]);
  for (int i = 0; i < h.size; ++i) {
    const int ht = static_cast<int>(static_cast<double>(img.height - 3) * h.bins[i] / peak);
    // Column bounds in 64 bits: i * width passes 32 bits for many bins on a wide image.
    const auto left = static_cast<int>(static_cast<std::int64_t>(i) * img.width / h.size);
    const auto right = static_cast<int>((static_cast<std::int64_t>(i) + 1) * img.width / h.size);
    // A bar of height 1 or less would have its bottom on or above its top,
    // and with more bins than columns a bar can get no column at all; such
    // bars are left out. Every other bar lies inside the image: right is at
    // most width and ht at most height - 3.
    if (ht <= 1 || right <= left) continue;
    DrawRect(img, RECT{left, 1, right, ht}, 255, 255, 255);
  }
  return 0;
}
