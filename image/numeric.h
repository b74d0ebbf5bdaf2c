// Numeric helpers used inside the library; the exported forms forward here.
#pragma once

#include <cstdint>

namespace vx {

// Halves go up for non-negative values; negative values are truncated
// toward zero because the test t <= v - 0.5 never holds for them.
inline int RoundHalfUp(double v) {
  int t = static_cast<int>(v);
  return (t <= v - 0.5) ? t + 1 : t;
}

// The stride rule: row bytes rounded up to whole 4-byte units, in 64 bits.
inline std::int64_t StrideFor(std::int64_t width, int bytes_per_pixel) {
  return (width * bytes_per_pixel + 3) / 4 * 4;
}

}  // namespace vx
