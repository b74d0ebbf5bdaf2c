// Rounding of computed line coordinates to pixels.
#pragma once

namespace vx {

// Drawing rounds a coordinate v to t + 1 when t + 0.5 < v, else to t, where
// t is v truncated toward zero: an exact half goes down (2.5 gives 2), unlike
// the library's round. Negative values are truncated (t + 0.5 < v never
// holds), so every v <= -1 rounds below 0 and every v >= limit to limit or
// more. Gives false for those, and for NaN, without converting them: only
// values in (-1, limit) are converted, which keeps huge or undefined line
// coordinates from an undefined double-to-int conversion.
inline bool RoundToPixel(double v, int limit, int& out) {
  if (!(v > -1.0 && v < static_cast<double>(limit))) return false;
  int t = static_cast<int>(v);
  int r = (t + 0.5 < v) ? t + 1 : t;
  if (r >= limit) return false;
  out = r;
  return true;
}

}  // namespace vx
