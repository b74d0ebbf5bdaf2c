// Histogram records: making, filling from an image area, releasing, and the
// largest bin.
#include <climits>
#include <cstdint>
#include <new>

#include "histogram/bins.h"
#include "vexolith/histogram.h"

namespace {

HISTOGRAM NotMade() { return HISTOGRAM{-1, 0, nullptr}; }

// An image whose pixels can be addressed: marked valid, with a buffer, rows
// and columns, and rows at least as long as their pixels.
bool UsableGray(const IMG& img) { return img.valid != 0 && vx::HasPixels(img); }

}  // namespace

// A block that cannot be allocated gives the record of a histogram that was
// not made rather than an exception across the interface.
HISTOGRAM CreateHistogram(int size) {
  if (size < 1) return NotMade();
  int* bins = new (std::nothrow) int[static_cast<std::size_t>(size)]();
  if (bins == nullptr) return NotMade();
  return HISTOGRAM{size, 0, bins};
}

void DeleteHistogram(HISTOGRAM h) {
  if (h.size >= 0 && h.bins != nullptr) delete[] h.bins;
}

HISTOGRAM MakeHistogramIMG(IMG img, RECT area, int size) {
  if (img.gray != 1 || size < 1) return NotMade();
  if (!UsableGray(img)) return NotMade();
  const bool empty = area.right < area.left || area.bottom < area.top;
  if (!empty) {
    // A non-empty area must lie inside the image, and its pixel count must
    // fit the int counts and total.
    if (area.left < 0 || area.top < 0 || area.right >= img.width || area.bottom >= img.height)
      return NotMade();
    const std::int64_t pixels = (static_cast<std::int64_t>(area.right) - area.left + 1) *
                                (static_cast<std::int64_t>(area.bottom) - area.top + 1);
    if (pixels > INT_MAX) return NotMade();
  }
  HISTOGRAM h = CreateHistogram(size);
  if (h.bins == nullptr) return h;
  if (!empty) vx::CountArea(img, area.left, area.top, area.right, area.bottom, vx::BinTable(size), h.bins);
  // The total is recomputed from the bins; it cannot pass INT_MAX (checked above).
  std::int64_t total = 0;
  for (int i = 0; i < size; ++i) total += h.bins[i];
  h.total = static_cast<int>(total);
  return h;
}

int MaxHistogramElem(HISTOGRAM h) {
  if (!vx::Usable(h)) return -1;
  int best = 0;
  for (int i = 1; i < h.size; ++i) {
    if (h.bins[i] > h.bins[best]) best = i;
  }
  return best;
}
