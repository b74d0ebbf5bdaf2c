// Counting byte values into bins, and the chi-square term, shared by the
// histogram operations and the block segmentation.
#pragma once

#include <array>
#include <cstdint>

#include "image/buffer.h"
#include "vexolith/histogram.h"
#include "vexolith/types.h"

namespace vx {

// Bin of every byte value for `size` bins: (v * size) / 256, clamped to
// size - 1 (the clamp matters only for sizes above 256).
class BinTable {
 public:
  explicit BinTable(int size) {
    for (int v = 0; v < 256; ++v) {
      const std::int64_t bin = static_cast<std::int64_t>(v) * size / 256;
      bin_[v] = static_cast<int>(bin < size - 1 ? bin : size - 1);
    }
  }
  int operator[](unsigned char v) const { return bin_[v]; }

 private:
  std::array<int, 256> bin_{};
};

// Adds the pixels of the inclusive area x0..x1, y0..y1 of a gray image to
// bins (which the caller has zeroed). The caller has checked that the area
// lies inside the image.
void CountArea(const IMG& img, int x0, int y0, int x1, int y1, const BinTable& table, int* bins);

// The chi-square term of one bin pair, formed in double. Bins empty in both
// histograms are skipped by the callers, and so is a pair summing to 0
// (only possible with negative counts a host wrote), which would divide by 0.
inline double ChiSquareTerm(int a, int b) {
  const double da = static_cast<double>(a), db = static_cast<double>(b);
  const double diff = da - db;
  return diff * diff / (da + db);
}

// A histogram whose bins can be read: at least one bin and a buffer.
inline bool Usable(const HISTOGRAM& h) { return h.size >= 1 && h.bins != nullptr; }

inline bool ChiSquareSkips(int a, int b) { return static_cast<std::int64_t>(a) + b == 0; }

}  // namespace vx
