// Range guard for rounding doubles to integer pixel coordinates.
#pragma once

namespace vx {

// True when v is a number whose RoundHalfUp value fits in a 32-bit int: the
// truncation must fit, and t + 1 must not pass INT_MAX. NaN fails both tests.
inline bool FitsRoundHalfUp(double v) { return v > -2147483649.0 && v < 2147483647.5; }

}  // namespace vx
