// Crossing point of two lines.
#include <cmath>

#include "vexolith/geometry.h"

namespace {

// Slopes (or 1 - k1*k2 for lines of different form) closer than this count
// as parallel: the crossing would lie 100 or more times farther out than the
// intercepts differ, which no caller can use.
constexpr double kParallel = 0.01;

}  // namespace

int Intersection(F_LINE first, F_LINE second, double* x, double* y) {
  const double k1 = first.k, b1 = first.b, k2 = second.k, b2 = second.b;
  double px, py;
  if (first.dir == 1 && second.dir == 1) {
    if (std::fabs(k1 - k2) < kParallel) return 1;
    px = (b2 - b1) / (k1 - k2);
    py = k1 * px + b1;
  } else if (first.dir == 2 && second.dir == 2) {
    if (std::fabs(k1 - k2) < kParallel) return 1;
    py = (b2 - b1) / (k1 - k2);
    px = k1 * py + b1;
  } else if (first.dir == 1 && second.dir == 2) {
    // y = k1*(k2*y + b2) + b1
    double d = 1 - k1 * k2;
    if (std::fabs(d) < kParallel) return 1;
    py = (k1 * b2 + b1) / d;
    px = k2 * py + b2;
  } else if (first.dir == 2 && second.dir == 1) {
    // y = k2*(k1*y + b1) + b2
    double d = 1 - k1 * k2;
    if (std::fabs(d) < kParallel) return 1;
    py = (k2 * b1 + b2) / d;
    px = k1 * py + b1;
  } else {
    return 0;  // a dir outside 1 and 2: nothing to intersect, nothing written
  }
  // A null output pointer means the caller does not want that coordinate.
  if (x != nullptr) *x = px;
  if (y != nullptr) *y = py;
  return 0;
}
