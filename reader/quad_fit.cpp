#include "reader/quad_fit.h"

#include <algorithm>
#include <cmath>

namespace vx::reader {
namespace {

// The least the other corners may stand off the chord between the two
// boundary points farthest apart, for its length: a figure of 16 x 4 cells
// seen tilted 55 degrees along its length is 7 times as long as wide, and
// its corners stand off its diagonal by a seventh of it; pixels and
// perspective take a little more. Thinner things are strokes.
constexpr double kBulge = 0.08;

Point P(const PixelPoint& p) { return {static_cast<double>(p.x), static_cast<double>(p.y)}; }

// Distance of p from the chord a-b (the line through them).
double FromChord(Point a, Point b, Point p) {
  const double len = Distance(a, b);
  if (len == 0.0) return Distance(a, p);
  return std::fabs((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / len;
}

// Index of the point of the arc from..to (forward, wrapping) farthest from the chord.
std::size_t FarthestOnArc(const std::vector<PixelPoint>& b, std::size_t from, std::size_t to, double& dist) {
  const std::size_t n = b.size();
  const Point a = P(b[from]), c = P(b[to]);
  std::size_t best = from;
  dist = -1.0;
  for (std::size_t i = from; i != to; i = (i + 1) % n) {
    const double d = FromChord(a, c, P(b[i]));
    if (d > dist) dist = d, best = i;
  }
  return best;
}

}  // namespace

bool FitQuad(const std::vector<PixelPoint>& b, Quad& quad) {
  const std::size_t n = b.size();
  if (n < 16) return false;
  double cx = 0.0, cy = 0.0;
  for (const PixelPoint& p : b) cx += p.x, cy += p.y;
  cx /= n;
  cy /= n;
  std::size_t c0 = 0;
  double far = -1.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double d = Distance({cx, cy}, P(b[i]));
    if (d > far) far = d, c0 = i;
  }
  std::size_t c2 = c0;
  far = -1.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double d = Distance(P(b[c0]), P(b[i]));
    if (d > far) far = d, c2 = i;
  }
  if (c2 == c0) return false;
  double d1 = 0.0, d3 = 0.0;
  std::size_t c1 = FarthestOnArc(b, c0, c2, d1);
  std::size_t c3 = FarthestOnArc(b, c2, c0, d3);
  std::size_t corner[4] = {c0, c1, c2, c3};
  if (std::min(d1, d3) < kBulge * far) {
    // Seen steeply from the side, the two points farthest apart can be the
    // ends of one side rather than a diagonal: then one arc hardly bulges
    // and the other holds both remaining corners, the point farthest from
    // the chord and the farthest from the chord of one of its two halves.
    if (std::max(d1, d3) < kBulge * far) return false;  // a stroke, not a quadrilateral
    const bool first = d1 >= d3;
    const std::size_t from = first ? c0 : c2, to = first ? c2 : c0, mid = first ? c1 : c3;
    double da = 0.0, db = 0.0;
    const std::size_t a = FarthestOnArc(b, from, mid, da), e = FarthestOnArc(b, mid, to, db);
    if (std::max(da, db) < kBulge * far) return false;  // a triangle
    corner[0] = from;
    corner[3] = to;
    if (std::min(da, db) >= std::max(4.0, 0.05 * far)) {
      // A long narrow figure seen square on, whose long side is as long as
      // its diagonal: the two points farthest apart end one long side, and
      // the point farthest from it is anywhere along the other, with a
      // corner either side of it.
      corner[1] = a;
      corner[2] = e;
    } else {
      corner[1] = da >= db ? a : mid;
      corner[2] = da >= db ? mid : e;
    }
  }

  std::array<Line, 4> sides{};
  for (int s = 0; s < 4; ++s) {
    const std::size_t from = corner[s], to = corner[(s + 1) % 4];
    const std::size_t len = (to + n - from) % n;
    const Point a = P(b[from]), e = P(b[to]);
    const double chord = Distance(a, e);
    if (len < 4 || chord < 6.0) return false;
    // Straight: no boundary pixel strays far from the chord. Blur rounds
    // corners by a pixel or two; a blob or a stroke strays by much more.
    const double tolerance = 2.0 + 0.06 * chord;
    std::vector<Point> middle;
    for (std::size_t k = 0; k <= len; ++k) {
      const Point p = P(b[(from + k) % n]);
      if (FromChord(a, e, p) > tolerance) return false;
      if (k >= len / 8 && k <= len - len / 8) middle.push_back(p);
    }
    Line fit{};
    if (!FitLine(middle, fit)) return false;
    std::vector<Point> close;
    for (const Point& p : middle)
      if (std::fabs(SignedDistance(fit, p)) <= 1.5) close.push_back(p);
    if (close.size() >= 4 && !FitLine(close, fit)) return false;
    if (fit.dir.x * (e.x - a.x) + fit.dir.y * (e.y - a.y) < 0.0) fit.dir = {-fit.dir.x, -fit.dir.y};
    sides[s] = fit;
  }
  // The boundary runs clockwise as seen, so the outside is to the left of
  // each side's direction. Pixel centres lie inside the edge by half a
  // pixel along the nearer axis.
  for (Line& l : sides) {
    const double shift = 0.5 * std::max(std::fabs(l.dir.x), std::fabs(l.dir.y));
    l.point = {l.point.x + l.dir.y * shift, l.point.y - l.dir.x * shift};
  }
  for (int k = 0; k < 4; ++k)
    if (!Cross(sides[(k + 3) % 4], sides[k], quad[k])) return false;
  if (!IsConvex(quad)) return false;
  // Corners must stay near the boundary's own corner pixels.
  for (int k = 0; k < 4; ++k)
    if (Distance(quad[k], P(b[corner[k]])) > 3.0 + 0.1 * far) return false;
  return ShortestSide(quad) >= LongestSide(quad) / 8.0;
}

}  // namespace vx::reader
