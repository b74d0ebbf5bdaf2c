#include "reader/geometry.h"

#include <algorithm>
#include <cmath>

namespace vx::reader {
namespace {

double Turn(Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

}  // namespace

bool FitLine(const std::vector<Point>& pts, Line& line) {
  if (pts.size() < 2) return false;
  double mx = 0.0, my = 0.0;
  for (const Point& p : pts) mx += p.x, my += p.y;
  mx /= pts.size();
  my /= pts.size();
  double sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (const Point& p : pts) {
    sxx += (p.x - mx) * (p.x - mx);
    syy += (p.y - my) * (p.y - my);
    sxy += (p.x - mx) * (p.y - my);
  }
  const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
  line = {{mx, my}, {std::cos(angle), std::sin(angle)}};
  return true;
}

bool Cross(const Line& a, const Line& b, Point& out) {
  const double den = a.dir.x * b.dir.y - a.dir.y * b.dir.x;
  if (std::fabs(den) < 1e-3) return false;
  const double t = ((b.point.x - a.point.x) * b.dir.y - (b.point.y - a.point.y) * b.dir.x) / den;
  out = {a.point.x + t * a.dir.x, a.point.y + t * a.dir.y};
  return std::isfinite(out.x) && std::isfinite(out.y);
}

double TwiceSignedArea(const Quad& q) {
  double sum = 0.0;
  for (int i = 0; i < 4; ++i) sum += q[i].x * q[(i + 1) % 4].y - q[(i + 1) % 4].x * q[i].y;
  return sum;
}

double MeanCellPixels(const Quad& q, int rows, int cols) {
  return std::sqrt(std::fabs(TwiceSignedArea(q)) / 2.0 / (static_cast<double>(rows) * cols));
}

bool IsConvex(const Quad& q) {
  int pos = 0, neg = 0;
  for (int i = 0; i < 4; ++i) {
    const double c = Turn(q[i], q[(i + 1) % 4], q[(i + 2) % 4]);
    pos += c > 0.0;
    neg += c < 0.0;
  }
  return pos == 4 || neg == 4;
}

double ShortestSide(const Quad& q) {
  double s = Distance(q[0], q[1]);
  for (int i = 1; i < 4; ++i) s = std::min(s, Distance(q[i], q[(i + 1) % 4]));
  return s;
}

double LongestSide(const Quad& q) {
  double s = Distance(q[0], q[1]);
  for (int i = 1; i < 4; ++i) s = std::max(s, Distance(q[i], q[(i + 1) % 4]));
  return s;
}

bool Contains(const Quad& q, Point p) {
  const double sign = TwiceSignedArea(q) >= 0.0 ? 1.0 : -1.0;
  for (int i = 0; i < 4; ++i)
    if (sign * Turn(q[i], q[(i + 1) % 4], p) < 0.0) return false;
  return true;
}

Quad SeenCorners(const Quad& outline) {
  const Quad cw =
      TwiceSignedArea(outline) >= 0.0 ? outline : Quad{outline[0], outline[3], outline[2], outline[1]};
  int best = 0;
  double best_score = -2.0;
  for (int k = 0; k < 4; ++k) {
    const Point& a = cw[k];
    const Point& b = cw[(k + 1) % 4];
    const double len = Distance(a, b);
    const double score = len > 0.0 ? (b.x - a.x) / len : -2.0;
    // 1e-9 keeps an exact 45-degree tie from being decided by rounding noise.
    const bool tie = std::fabs(score - best_score) <= 1e-9;
    if (score > best_score + 1e-9 || (tie && a.y < cw[best].y)) {
      best = k;
      best_score = score;
    }
  }
  return {cw[best], cw[(best + 1) % 4], cw[(best + 2) % 4], cw[(best + 3) % 4]};
}

Homography::Homography(const Quad& q) {
  const double dx1 = q[1].x - q[2].x, dx2 = q[3].x - q[2].x, dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
  const double dy1 = q[1].y - q[2].y, dy2 = q[3].y - q[2].y, dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
  const double den = dx1 * dy2 - dx2 * dy1;
  const double g = den != 0.0 ? (dx3 * dy2 - dx2 * dy3) / den : 0.0;
  const double h = den != 0.0 ? (dx1 * dy3 - dx3 * dy1) / den : 0.0;
  const double m[9] = {q[1].x - q[0].x + g * q[1].x,
                       q[3].x - q[0].x + h * q[3].x,
                       q[0].x,
                       q[1].y - q[0].y + g * q[1].y,
                       q[3].y - q[0].y + h * q[3].y,
                       q[0].y,
                       g,
                       h,
                       1.0};
  std::copy(m, m + 9, m_);
}

Point Homography::Unapply(Point p) const {
  const double* m = m_;
  const double a[9] = {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                       m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                       m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
  const double w = a[6] * p.x + a[7] * p.y + a[8];
  return {(a[0] * p.x + a[1] * p.y + a[2]) / w, (a[3] * p.x + a[4] * p.y + a[5]) / w};
}

}  // namespace vx::reader
