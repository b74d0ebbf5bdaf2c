// Counting the pixels of an image area into bins.
#include <cstdint>
#include <cstring>

#include "histogram/bins.h"

namespace vx {

namespace {

// Above this many pixels the values are counted first and folded into bins
// once: four interleaved value tables let consecutive equal pixels (flat
// areas are common) go to different counters instead of waiting on one.
constexpr std::int64_t kValueCountingArea = 1 << 14;

}  // namespace

void CountArea(const IMG& img, int x0, int y0, int x1, int y1, const BinTable& table, int* bins) {
  if (x1 < x0 || y1 < y0) return;
  const std::int64_t area =
      (static_cast<std::int64_t>(x1) - x0 + 1) * (static_cast<std::int64_t>(y1) - y0 + 1);
  if (area < kValueCountingArea) {
    for (int y = y0; y <= y1; ++y) {
      const unsigned char* row = PixelAt(img, x0, y);
      for (int i = 0, n = x1 - x0 + 1; i < n; ++i) ++bins[table[row[i]]];
    }
    return;
  }
  // Areas hold at most INT_MAX pixels (checked by the callers), so no
  // counter passes 32 bits.
  std::uint32_t counts[4][256];
  std::memset(counts, 0, sizeof counts);
  const int n = x1 - x0 + 1;
  for (int y = y0; y <= y1; ++y) {
    const unsigned char* row = PixelAt(img, x0, y);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
      ++counts[0][row[i]];
      ++counts[1][row[i + 1]];
      ++counts[2][row[i + 2]];
      ++counts[3][row[i + 3]];
    }
    for (; i < n; ++i) ++counts[0][row[i]];
  }
  for (int v = 0; v < 256; ++v) {
    const std::uint32_t c = counts[0][v] + counts[1][v] + counts[2][v] + counts[3][v];
    bins[table[static_cast<unsigned char>(v)]] += static_cast<int>(c);
  }
}

}  // namespace vx
