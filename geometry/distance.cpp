// Distance from a point to a line.
#include <cmath>
#include <limits>

#include "vexolith/geometry.h"

namespace {

// Below this slope a line is taken as exactly horizontal (dir 1) or vertical
// (dir 2), and the distance is the plain gap along the other coordinate.
constexpr double kFlatSlope = 0.001;

// Height over the hypotenuse of the right triangle with legs `along` and
// `across`, in the form sin(atan(across / along)) * along. When `along` is 0
// the point is on the line (or the triangle is flat) and the height is 0;
// the quotient would be 0/0 when both legs vanish.
double TriangleHeight(double across, double along) {
  if (along == 0.0) return 0.0;
  return std::sin(std::atan(across / along)) * along;
}

}  // namespace

double RToLine(F_LINE line, double x, double y) {
  if (line.dir == 1) {
    if (std::fabs(line.k) < kFlatSlope) return std::fabs(y - line.b);
    double dv = std::fabs(line.k * x + line.b - y);
    double dh = std::fabs((y - line.b) / line.k - x);
    return TriangleHeight(dv, dh);
  }
  if (line.dir == 2) {
    if (std::fabs(line.k) < kFlatSlope) return std::fabs(x - line.b);
    double dh = std::fabs(line.k * y + line.b - x);
    double dv = std::fabs((x - line.b) / line.k - y);
    return TriangleHeight(dh, dv);
  }
  // A line with any other dir has no equation; its distance is not a number.
  return std::numeric_limits<double>::quiet_NaN();
}

double RToLine(F_LINE line, C_POINTd point) { return RToLine(line, point.x, point.y); }
