// Polar angle and length of a vector, lines from a point and a direction,
// turning a line about a point and the signed angle between two lines.
//
// Angles of vectors are taken in single precision (the refinement searches
// compare angles that came through these float steps, so the rounding is
// part of the result); everything after that is double.
#include <cmath>

#include "vexolith/geometry.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kQuarterPi = 0.7853981633974483;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kThreeQuarterPi = 2.356194490192345;
constexpr double kThreeHalfPi = 4.71238898038469;

// The line with no equation: what the polar forms give for an angle they
// cannot place or a line whose dir is neither 1 nor 2. Nothing can be
// interpreted from it, and no caller can mistake it for a real line.
constexpr F_LINE kNoLine{0, 0, 0.0, 0.0};

// Direction angle of a line in [0, pi), from its slope rounded to float:
// the angle of (1, slope) for dir 1, of (slope, 1) for dir 2.
double DirectionAngle(int dir, float slope) {
  double theta = dir == 1 ? MakePolarF(1.0f, slope) : MakePolarF(slope, 1.0f);
  if (theta >= kPi) theta -= kPi;
  return theta;
}

}  // namespace

float MakePolarF(float x, float y) {
  // The quotient and its arctangent are float; the quadrant offset is added
  // in double and the sum rounded back to float on return.
  if (x > 0 && y >= 0) return std::atan(y / x);
  if (x <= 0 && y > 0) return static_cast<float>(std::atan(-x / y) + kHalfPi);
  if (x < 0 && y <= 0) return static_cast<float>(std::atan(y / x) + kPi);
  if (x >= 0 && y < 0) return static_cast<float>(std::atan(-x / y) + kThreeHalfPi);
  return 0.0f;  // (0, 0) and NaN components
}

float MakePolarR(float x, float y) { return std::sqrt(x * x + y * y); }

F_LINE MakeLineFromPolar(double x, double y, double angle) {
  if (angle >= kPi) angle -= kPi;
  if (angle < 0) angle += kPi;
  F_LINE line = kNoLine;
  if (angle >= 0 && angle < kQuarterPi) {
    line.dir = 1;
    line.k = std::tan(angle);
  } else if (angle >= kQuarterPi && angle < kHalfPi) {
    line.dir = 2;
    line.k = std::tan(kHalfPi - angle);
  } else if (angle >= kHalfPi && angle < kThreeQuarterPi) {
    line.dir = 2;
    line.k = -std::tan(angle - kHalfPi);
  } else if (angle >= kThreeQuarterPi && angle < kPi) {
    line.dir = 1;
    line.k = -std::tan(kPi - angle);
  } else {
    // An angle outside [-pi, 2pi) (or NaN) has no line: dir 0, never a guess.
    return kNoLine;
  }
  line.b = line.dir == 1 ? y - line.k * x : x - line.k * y;
  return line;
}

F_LINE TurnLine(F_LINE line, double angle, double px, double py) {
  if (line.dir != 1 && line.dir != 2) return kNoLine;
  // A point of the line and its rise over one unit of the free coordinate;
  // the rise is measured as (k + b) - b, which carries b's rounding.
  const float rise = static_cast<float>((line.k + line.b) - line.b);
  const double origin_x = line.dir == 1 ? 0.0 : line.b;
  const double origin_y = line.dir == 1 ? line.b : 0.0;
  double theta = DirectionAngle(line.dir, rise);
  theta -= angle;  // a positive angle turns from +y toward +x
  const F_LINE turned = MakeLineFromPolar(origin_x, origin_y, theta);
  return MakeParallelLine(turned, px, py);
}

double FoundInclination(F_LINE first, F_LINE second) {
  // A line without an equation has no direction to compare.
  if ((first.dir != 1 && first.dir != 2) || (second.dir != 1 && second.dir != 2)) return std::nan("");
  const double t1 = DirectionAngle(first.dir, static_cast<float>(first.k));
  const double t2 = DirectionAngle(second.dir, static_cast<float>(second.k));
  double sign = 1.0;
  if ((t1 < t2 && t2 - t1 < kHalfPi) || (t1 > t2 && t1 - t2 > kHalfPi)) sign = -1.0;
  double d = std::fabs(t1 - t2);
  if (d > kHalfPi) d = kPi - d;
  return sign * d;
}

bool DirectPoint(C_POINT* points, int n, unsigned char mode) {
  // No corners (or no array) make no edges, so no turn can fail.
  if (points == nullptr || n <= 0) return true;
  const bool decreasing = (mode & 1) != 0;
  const bool increasing = (mode & 2) != 0;
  // Edge i runs from point i to the next; edge n - 1 closes the polygon.
  // The array is not limited to 100 corners: angles are taken as needed.
  auto edge_angle = [&](int i) {
    const C_POINT a = points[i];
    const C_POINT b = points[i + 1 < n ? i + 1 : 0];
    return MakePolarF(static_cast<float>(b.x - a.x), static_cast<float>(b.y - a.y));
  };
  for (int i = 0; i < n; ++i) {
    const float ai = edge_angle(i);
    const float aj = edge_angle(i + 1 < n ? i + 1 : 0);
    if (decreasing && !((ai > aj && ai - aj <= kPi) || (ai < aj && aj - ai > kPi))) return false;
    if (increasing && !((ai < aj && aj - ai <= kPi) || (ai > aj && ai - aj > kPi))) return false;
  }
  return true;
}

namespace {

// Steps along the line's slope that make a distance d: the free coordinate
// moves d / sqrt(k^2 + 1), the other |k| times that.
bool Steps(F_LINE line, double d, double& sx, double& sy) {
  if (line.dir == 1) {
    sx = d / std::sqrt(line.k * line.k + 1);
    sy = std::fabs(line.k * sx);
    return true;
  }
  if (line.dir == 2) {
    sy = d / std::sqrt(line.k * line.k + 1);
    sx = std::fabs(line.k * sy);
    return true;
  }
  return false;
}

}  // namespace

C_POINTd FindPointContinue(C_POINTd p1, C_POINTd p2, F_LINE line, double d) {
  double sx = 0, sy = 0;
  // Without a slope there is no direction to step in: the start point.
  if (!Steps(line, d, sx, sy)) return p1;
  return C_POINTd{p1.x < p2.x ? p1.x - sx : p1.x + sx, p1.y < p2.y ? p1.y - sy : p1.y + sy};
}

C_POINTd FindPointContinue_(C_POINTd p1, C_POINTd p2, F_LINE line, double d) {
  double sx = 0, sy = 0;
  if (!Steps(line, d, sx, sy)) return p1;
  return C_POINTd{p1.x < p2.x ? p1.x + sx : p1.x - sx, p1.y < p2.y ? p1.y + sy : p1.y - sy};
}
