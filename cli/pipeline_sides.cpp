#include "cli/pipeline_sides.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vxcli {
namespace {

// A line through `point` along the unit vector `dir`.
struct Line {
  Pt point;  // a point of the line
  Pt dir;    // unit direction
};

// Orthogonal least squares: the line through the centroid along the
// principal axis of the points' scatter.
bool FitLine(const std::vector<Pt>& pts, Line& line) {
  if (pts.size() < 4) return false;
  double mx = 0.0, my = 0.0;
  for (const Pt& p : pts) mx += p.x, my += p.y;
  mx /= pts.size();
  my /= pts.size();
  double sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (const Pt& p : pts) {
    sxx += (p.x - mx) * (p.x - mx);
    syy += (p.y - my) * (p.y - my);
    sxy += (p.x - mx) * (p.y - my);
  }
  const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
  line = {{mx, my}, {std::cos(angle), std::sin(angle)}};
  return true;
}

double Distance(const Line& l, Pt p) { return (p.x - l.point.x) * -l.dir.y + (p.y - l.point.y) * l.dir.x; }

bool Cross(const Line& a, const Line& b, Pt& out) {
  const double den = a.dir.x * b.dir.y - a.dir.y * b.dir.x;
  if (std::fabs(den) < 1e-6) return false;
  const double t = ((b.point.x - a.point.x) * b.dir.y - (b.point.y - a.point.y) * b.dir.x) / den;
  out = {a.point.x + t * a.dir.x, a.point.y + t * a.dir.y};
  return true;
}

}  // namespace

bool FitSides(const IMG& binary, const CONTOUR_ITEM& region, std::array<Pt, 4>& outline) {
  auto black = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < binary.width && y < binary.height &&
           binary.bits[static_cast<std::size_t>(y) * binary.stride + x] == 0;
  };
  std::vector<Pt> boundary;
  for (unsigned int n = 0; n < region.count; ++n) {
    const int x = region.points[n].x, y = region.points[n].y;
    if (!black(x - 1, y) || !black(x + 1, y) || !black(x, y - 1) || !black(x, y + 1))
      boundary.push_back({static_cast<double>(x), static_cast<double>(y)});
  }
  const double sign = TwiceSignedArea(outline) >= 0.0 ? 1.0 : -1.0;
  std::array<Line, 4> sides{};
  for (int i = 0; i < 4; ++i) {
    const Pt a = outline[i], b = outline[(i + 1) % 4];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len < 4.0) return false;
    const Line rough{a, {(b.x - a.x) / len, (b.y - a.y) / len}};
    const double band = 2.0 + 0.03 * len;
    std::vector<Pt> near;
    for (const Pt& p : boundary) {
      const double t = (p.x - a.x) * rough.dir.x + (p.y - a.y) * rough.dir.y;
      if (t >= 0.1 * len && t <= 0.9 * len && std::fabs(Distance(rough, p)) <= band) near.push_back(p);
    }
    Line fit{};
    if (!FitLine(near, fit)) return false;
    std::vector<Pt> close;
    for (const Pt& p : near)
      if (std::fabs(Distance(fit, p)) <= 1.2) close.push_back(p);
    if (!FitLine(close, fit)) return false;
    // Keep the side's direction, then move it outward (normal (dy, -dx) on a clockwise outline).
    if (fit.dir.x * rough.dir.x + fit.dir.y * rough.dir.y < 0.0) fit.dir = {-fit.dir.x, -fit.dir.y};
    const double shift = 0.5 * std::max(std::fabs(fit.dir.x), std::fabs(fit.dir.y));
    fit.point = {fit.point.x + sign * fit.dir.y * shift, fit.point.y - sign * fit.dir.x * shift};
    sides[i] = fit;
  }
  std::array<Pt, 4> corners{};
  for (int k = 0; k < 4; ++k)
    if (!Cross(sides[(k + 3) % 4], sides[k], corners[k])) return false;
  outline = corners;
  return true;
}

}  // namespace vxcli
