#include "reader/quad_lines.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vx::reader {
namespace {

// A boundary point lies on a line within this distance, pixels: the
// boundary of a split edge wanders by a pixel either way.
constexpr double kOnLine = 1.5;
// Lines sought, the strongest first; four are sides, the rest give the
// choice room when a speck or a wedge makes a strong line of its own.
constexpr int kMostLines = 6;
// The least share of each side its points must cover (in 2-pixel steps).
constexpr double kCovered = 0.6;
// The most share of a side's points that may lie beyond its ends (the line
// running on along something else).
constexpr double kBeyond = 0.25;
// The most boundary points searched.
constexpr std::size_t kMostPoints = 1024;

struct Run {
  Line line;
  std::vector<Point> points;
};

// The line through two of the points (i, i + gap along the boundary) that
// most points not yet taken lie on, refitted to them.
bool StrongestLine(const std::vector<Point>& pts, const std::vector<bool>& taken, Run& run) {
  const std::size_t n = pts.size();
  std::size_t best = 0;
  Line best_line{};
  const std::size_t step = std::max<std::size_t>(1, n / 96);
  for (std::size_t gap : {std::max<std::size_t>(3, n / 40), std::max<std::size_t>(4, n / 16)}) {
    for (std::size_t i = 0; i < n; i += step) {
      const std::size_t j = (i + gap) % n;
      if (taken[i] || taken[j]) continue;
      const double len = Distance(pts[i], pts[j]);
      if (len < 3.0) continue;
      const Line l{pts[i], {(pts[j].x - pts[i].x) / len, (pts[j].y - pts[i].y) / len}};
      std::size_t count = 0;
      for (std::size_t k = 0; k < n; ++k)
        count += !taken[k] && std::fabs(SignedDistance(l, pts[k])) <= kOnLine;
      if (count > best) best = count, best_line = l;
    }
  }
  if (best < 8) return false;
  Line fit = best_line;
  for (int round = 0; round < 2; ++round) {
    run.points.clear();
    for (std::size_t k = 0; k < n; ++k)
      if (!taken[k] && std::fabs(SignedDistance(fit, pts[k])) <= kOnLine) run.points.push_back(pts[k]);
    if (run.points.size() < 8 || !FitLine(run.points, fit)) return false;
  }
  run.line = fit;
  return true;
}

// Angle between two lines' directions, degrees, 0..90.
double Between(const Line& a, const Line& b) {
  const double c = std::fabs(a.dir.x * b.dir.x + a.dir.y * b.dir.y);
  return std::acos(std::min(1.0, c)) * 180.0 / M_PI;
}

// True when the run covers the side a-b well and does not run on past it.
bool CoversSide(const Run& run, Point a, Point b) {
  const double len = Distance(a, b);
  if (len < 6.0) return false;
  const Point dir{(b.x - a.x) / len, (b.y - a.y) / len};
  const int bins = static_cast<int>(std::ceil(len / 2.0));
  std::vector<bool> hit(static_cast<std::size_t>(bins), false);
  std::size_t beyond = 0;
  for (const Point& p : run.points) {
    const double t = (p.x - a.x) * dir.x + (p.y - a.y) * dir.y;
    if (t < -0.15 * len - 2.0 || t > 1.15 * len + 2.0) ++beyond;
    if (t >= 0.0 && t < len)
      hit[static_cast<std::size_t>(std::min(bins - 1, static_cast<int>(t / 2.0)))] = true;
  }
  const double covered = static_cast<double>(std::count(hit.begin(), hit.end(), true)) / bins;
  return covered >= kCovered && beyond <= kBeyond * run.points.size();
}

}  // namespace

bool FitQuadByLines(const std::vector<PixelPoint>& boundary, int width, int height, Quad& quad) {
  std::vector<Point> pts;
  Point centre{0.0, 0.0};
  for (const PixelPoint& p : boundary) {
    centre.x += p.x, centre.y += p.y;
    if (p.x > 0 && p.y > 0 && p.x < width - 1 && p.y < height - 1)
      pts.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
  }
  if (pts.size() < 32) return false;
  centre.x /= boundary.size(), centre.y /= boundary.size();
  // Every k-th point of a long boundary: the search's cost grows with the
  // square of the points, and a thousand place a side as well.
  if (pts.size() > kMostPoints) {
    const std::size_t k = (pts.size() + kMostPoints - 1) / kMostPoints;
    std::vector<Point> fewer;
    for (std::size_t i = 0; i < pts.size(); i += k) fewer.push_back(pts[i]);
    pts = std::move(fewer);
  }
  std::vector<Run> runs;
  std::vector<bool> taken(pts.size(), false);
  while (static_cast<int>(runs.size()) < kMostLines) {
    Run run;
    if (!StrongestLine(pts, taken, run)) break;
    for (std::size_t k = 0; k < pts.size(); ++k)
      if (std::fabs(SignedDistance(run.line, pts[k])) <= kOnLine + 0.5) taken[k] = true;
    runs.push_back(std::move(run));
  }
  const int count = static_cast<int>(runs.size());
  if (count < 4) return false;
  double best = 0.0;
  for (int a = 0; a < count; ++a)
    for (int b = a + 1; b < count; ++b)
      for (int c = b + 1; c < count; ++c)
        for (int d = c + 1; d < count; ++d) {
          // The four in order round the region, by where their points lie.
          std::array<const Run*, 4> side{&runs[a], &runs[b], &runs[c], &runs[d]};
          std::array<double, 4> angle{};
          for (int k = 0; k < 4; ++k) {
            Point m{0.0, 0.0};
            for (const Point& p : side[k]->points) m.x += p.x, m.y += p.y;
            m.x /= side[k]->points.size(), m.y /= side[k]->points.size();
            angle[k] = std::atan2(m.y - centre.y, m.x - centre.x);
          }
          std::array<int, 4> order{0, 1, 2, 3};
          std::sort(order.begin(), order.end(), [&](int x, int y) { return angle[x] < angle[y]; });
          std::array<Line, 4> lines{};
          for (int k = 0; k < 4; ++k) lines[k] = side[order[k]]->line;
          bool ok = true;
          for (int k = 0; k < 4 && ok; ++k) ok = Between(lines[k], lines[(k + 1) % 4]) >= 25.0;
          Quad q{};
          for (int k = 0; k < 4 && ok; ++k) ok = Cross(lines[(k + 3) % 4], lines[k], q[k]);
          if (!ok || !IsConvex(q)) continue;
          double score = 0.0;
          for (int k = 0; k < 4 && ok; ++k) {
            ok = CoversSide(*side[order[k]], q[k], q[(k + 1) % 4]);
            score += side[order[k]]->points.size();
          }
          if (!ok || score <= best) continue;
          // Each side half a pixel out from the pixel centres, along the
          // nearer axis, as the region's edge lies.
          for (Line& l : lines) {
            const double shift = 0.5 * std::max(std::fabs(l.dir.x), std::fabs(l.dir.y));
            const double s = SignedDistance(l, centre) > 0.0 ? -1.0 : 1.0;
            l.point = {l.point.x - l.dir.y * shift * s, l.point.y + l.dir.x * shift * s};
          }
          for (int k = 0; k < 4 && ok; ++k) ok = Cross(lines[(k + 3) % 4], lines[k], q[k]);
          if (!ok || !IsConvex(q) || ShortestSide(q) < LongestSide(q) / 8.0) continue;
          if (TwiceSignedArea(q) < 0.0) std::reverse(q.begin(), q.end());
          best = score;
          quad = q;
        }
  return best > 0.0;
}

}  // namespace vx::reader
