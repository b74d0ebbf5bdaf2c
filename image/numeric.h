// Numeric helpers used inside the library; the exported forms forward here.
#pragma once

#include <climits>
#include <cstdint>

namespace vx {

// True when v is a number whose truncation toward zero fits in a 32-bit int
// (NaN fails), so static_cast<int>(v) is defined.
inline bool FitsTruncation(double v) { return v > -2147483649.0 && v < 2147483648.0; }

// True when RoundHalfUp(v) is the exact rounding of v (halves up), not a
// saturated value: the truncation fits and t + 1 does not pass INT_MAX.
inline bool FitsRoundHalfUp(double v) { return v > -2147483649.0 && v < 2147483647.5; }

// Halves go up for non-negative values; negative values are truncated
// toward zero because the test t <= v - 0.5 never holds for them.
// Values beyond the 32-bit range saturate and NaN gives 0, so a stray
// coordinate gives a defined result instead of an undefined conversion.
inline int RoundHalfUp(double v) {
  if (!FitsTruncation(v)) {
    if (v > 0) return INT_MAX;
    return v < 0 ? INT_MIN : 0;
  }
  int t = static_cast<int>(v);
  return (t <= v - 0.5 && t < INT_MAX) ? t + 1 : t;
}

// The stride rule: row bytes rounded up to whole 4-byte units, in 64 bits.
inline std::int64_t StrideFor(std::int64_t width, int bytes_per_pixel) {
  return (width * bytes_per_pixel + 3) / 4 * 4;
}

}  // namespace vx
