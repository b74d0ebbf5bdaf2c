// Lines through two points, parallels, segment lengths and point conversion.
#include <cmath>

#include "image/numeric.h"
#include "vexolith/geometry.h"

F_LINE MakeLine(double x1, double y1, double x2, double y2) {
  F_LINE line;
  line.type = 3;
  // The free coordinate is the one that changes more, so |k| <= 1 and steep
  // lines never need an infinite slope; a 45-degree line stays in y = k*x + b.
  line.dir = std::fabs(y1 - y2) > std::fabs(x1 - x2) ? 2 : 1;
  if (line.dir == 1) {
    line.k = (y2 - y1) / (x2 - x1);
    line.b = y1 - x1 * line.k;
  } else {
    line.k = (x2 - x1) / (y2 - y1);
    line.b = x1 - y1 * line.k;
  }
  return line;
}

F_LINE MakeLine(C_POINT p1, C_POINT p2) {
  return MakeLine(static_cast<double>(p1.x), static_cast<double>(p1.y), static_cast<double>(p2.x),
                  static_cast<double>(p2.y));
}

F_LINE MakeLine(C_POINTd p1, C_POINTd p2) { return MakeLine(p1.x, p1.y, p2.x, p2.y); }

double LengthLine(double x1, double y1, double x2, double y2) {
  return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

F_LINE MakeParallelLine(F_LINE line, double x, double y) {
  // A line whose dir is neither 1 nor 2 has no equation to move; it comes
  // back as it went in rather than with an undefined intercept.
  F_LINE parallel = line;
  if (line.dir == 1) {
    parallel.b = y - line.k * x;
  } else if (line.dir == 2) {
    parallel.b = x - line.k * y;
  }
  return parallel;
}

C_POINT PointDI(double x, double y) {
  // A coordinate that is not a number or lies beyond the 32-bit range has no
  // pixel; the library's failed point (-1, -1) says so instead of an
  // undefined conversion.
  if (!vx::FitsRoundHalfUp(x) || !vx::FitsRoundHalfUp(y)) return C_POINT{-1, -1};
  return C_POINT{vx::RoundHalfUp(x), vx::RoundHalfUp(y)};
}

C_POINTd PointID(int x, int y) { return C_POINTd{static_cast<double>(x), static_cast<double>(y)}; }
