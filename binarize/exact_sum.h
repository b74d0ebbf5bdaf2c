// Exact sums of 24-bit gray values.
//
// Every gray value g = (B*0.071 + G*0.707) + R*0.222 is a double that is a
// whole multiple of 2^-56 and below 256: each weight is a double whose last
// bit is worth at least 2^-56 (0.071 lies in [2^-4, 2^-3)), a non-zero
// product or sum of such terms is at least 0.071, where doubles are spaced
// 2^-56 or wider, so rounding never leaves that grid. Hence g * 2^56 is an
// integer below 2^64, and sums of them in 128 bits are exact whatever the
// order of the terms. A window mean then rounds only once, when the exact
// sum becomes a double.
#pragma once

#include <bit>
#include <cstdint>

namespace vx {

__extension__ typedef unsigned __int128 ExactSum;

// One gray value in units of 2^-56 (the multiplication by 2^56 is exact).
inline std::uint64_t ExactGray(double gray) { return static_cast<std::uint64_t>(gray * 0x1p56); }

// The sum in units of 2^-56 as a double, rounded once to nearest (ties to
// even): the top 64 significant bits go through the hardware conversion with
// any lower non-zero bits folded into a sticky bit, then the power of two is
// put back exactly. Same result as the compiler's 128-bit conversion, without
// its library call.
inline double ExactSumToDouble(ExactSum sum) {
  const std::uint64_t high = static_cast<std::uint64_t>(sum >> 64);
  if (high == 0) return static_cast<double>(static_cast<std::uint64_t>(sum)) * 0x1p-56;
  const int shift = 64 - std::countl_zero(high);  // 1..64
  const std::uint64_t top = static_cast<std::uint64_t>(sum >> shift);
  const std::uint64_t dropped = static_cast<std::uint64_t>(sum) & ((~std::uint64_t{0}) >> (64 - shift));
  // 2^(shift - 56), built from its exponent bits; shift - 56 lies in -55..8.
  const double scale = std::bit_cast<double>(static_cast<std::uint64_t>(1023 + shift - 56) << 52);
  return static_cast<double>(top | (dropped != 0 ? 1 : 0)) * scale;
}

}  // namespace vx
