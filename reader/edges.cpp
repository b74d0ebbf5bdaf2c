#include "reader/edges.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vx::reader {

bool RefineEdges(const PictureView& picture, Quad& outline, double reach) {
  const double sign = TwiceSignedArea(outline) >= 0.0 ? 1.0 : -1.0;
  std::array<Line, 4> sides{};
  for (int s = 0; s < 4; ++s) {
    const Point a = outline[s], b = outline[(s + 1) % 4];
    const double len = Distance(a, b);
    const Point dir{(b.x - a.x) / len, (b.y - a.y) / len};
    // Outward normal: left of the direction for a clockwise outline.
    const Point out{sign * dir.y, -sign * dir.x};
    sides[s] = {a, dir};
    const int count = std::clamp(static_cast<int>(len / 3.0), 6, 48);
    const double step = 0.5;
    const int half = std::max(2, static_cast<int>(std::ceil(reach / step)));
    std::vector<double> profile(2 * half + 1);
    std::vector<Point> edge;
    for (int k = 0; k < count; ++k) {
      const double t = 0.12 + 0.76 * (k + 0.5) / count;
      const Point c{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
      // Profile from outside (index 0) to inside.
      if (!picture.Inside(c.x + out.x * half * step, c.y + out.y * half * step) ||
          !picture.Inside(c.x - out.x * half * step, c.y - out.y * half * step))
        continue;
      double lo = 1e9, hi = -1e9;
      for (int i = 0; i <= 2 * half; ++i) {
        const double d = (half - i) * step;
        profile[i] = picture.Sample(c.x + out.x * d, c.y + out.y * d);
        lo = std::min(lo, profile[i]);
        hi = std::max(hi, profile[i]);
      }
      if (hi - lo < 8.0) continue;
      // The first crossing of the middle level going inward, after light.
      const double mid = (lo + hi) / 2.0;
      int i = 0;
      while (i <= 2 * half && profile[i] < mid) ++i;  // skip a dark start (clutter outside)
      while (i <= 2 * half && profile[i] >= mid) ++i;
      if (i == 0 || i > 2 * half) continue;
      const double f = (profile[i - 1] - mid) / (profile[i - 1] - profile[i]);
      const double d = (half - (i - 1 + f)) * step;
      edge.push_back({c.x + out.x * d, c.y + out.y * d});
    }
    if (edge.size() < 4) continue;
    Line fit{};
    if (!FitLine(edge, fit)) continue;
    std::vector<Point> close;
    for (const Point& p : edge)
      if (std::fabs(SignedDistance(fit, p)) <= std::max(0.75, reach * 0.3)) close.push_back(p);
    if (close.size() >= 4) FitLine(close, fit);
    if (fit.dir.x * dir.x + fit.dir.y * dir.y < 0.0) fit.dir = {-fit.dir.x, -fit.dir.y};
    sides[s] = fit;
  }
  Quad refined{};
  for (int k = 0; k < 4; ++k)
    if (!Cross(sides[(k + 3) % 4], sides[k], refined[k])) return false;
  if (!IsConvex(refined)) return false;
  for (int k = 0; k < 4; ++k)
    if (Distance(refined[k], outline[k]) > 2.0 * reach + 1.0) return false;
  outline = refined;
  return true;
}

}  // namespace vx::reader
