// Fitting one edge of a stored contour: the line through the contour pixels
// near a segment, with its support and spread, or a check that the contour
// runs straight between two of its points.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <span>
#include <vector>

#include "vexolith/contour.h"
#include "vexolith/geometry.h"
#include "vexolith/statistics.h"

namespace {

constexpr int kNoSuchContour = -1;  // as the corner finder answers a bad index
// The straightness check between two equal ends has no straight path to
// compare with (the ratio would be 0 / 0).
constexpr int kEndsCoincide = 7;

constexpr double kNearDistance = 5.0;  // contour pixels closer than this to the segment are near
constexpr int kMinNear = 8;            // eight samples are drawn from them
constexpr double kMinNearShare = 0.5;  // near pixels per pixel of length
constexpr double kMinSupport = 0.1;    // pixels on the fitted line per pixel of length
// Largest turn of the fitted line against the segment. It is tested in
// both senses: a fit turned too far is as wrong one way as the other.
constexpr double kMaxTurn = 0.39269908169872414;  // pi / 8
constexpr double kOnLine = 2.0;  // a pixel this close (across) to the fitted line supports it
constexpr double kMaxPathRatio = 1.5;

constexpr int kSamplePairs[8][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}, {0, 1}, {2, 3}, {4, 5}, {6, 7}};

double Distance(C_POINT a, C_POINT b) { return LengthLine(a.x, a.y, b.x, b.y); }

bool OnLine(F_LINE line, C_POINT q) {
  if (line.dir == 1) return std::fabs(q.y - (line.k * (q.x + 0.5) + line.b)) <= kOnLine;
  return std::fabs(q.x - (line.k * (q.y + 0.5) + line.b)) <= kOnLine;
}

}  // namespace

int CONTOUR::AccuracyLine(C_POINT& ends, C_POINTd& newEnds, F_LINE& line, int index, int& tally,
                          double& measure, unsigned long mode) {
  if (index < 0 || index >= number || index >= static_cast<int>(std::size(items))) return kNoSuchContour;
  const CONTOUR_ITEM& item = items[index];
  const std::span<const C_POINT> points =
      item.points == nullptr ? std::span<const C_POINT>() : std::span<const C_POINT>(item.points, item.count);
  const C_POINT p0 = (&ends)[0];
  const C_POINT p1 = (&ends)[1];
  C_POINTd* out_ends = &newEnds;
  const F_LINE segment = MakeLine(p0, p1);
  const bool straightness = (mode & 2) != 0;

  if (straightness) {
    auto position = [&](C_POINT p) -> std::int64_t {
      for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].x == p.x && points[i].y == p.y) return static_cast<std::int64_t>(i);
      }
      return -1;
    };
    std::int64_t i0 = position(p0), i1 = position(p1);
    if (i0 < 0 || i1 < 0) return 6;
    if (i0 > i1) std::swap(i0, i1);
    // The list read as a closed loop: the shorter way round.
    const std::int64_t count = static_cast<std::int64_t>(points.size());
    const std::int64_t arc = std::min(i1 - i0, count - i1 + i0);
    const std::int64_t chord = std::max(std::llabs(static_cast<long long>(p0.x) - p1.x),
                                        std::llabs(static_cast<long long>(p0.y) - p1.y));
    if (chord == 0) return kEndsCoincide;
    if (arc < chord) return 11;
    if (kMaxPathRatio * static_cast<double>(chord) < static_cast<double>(arc)) return 12;
    tally = static_cast<int>(arc);
    measure = static_cast<double>(arc) / static_cast<double>(chord);
    out_ends[0] = PointID(p0.x, p0.y);
    out_ends[1] = PointID(p1.x, p1.y);
    line = segment;
    return 0;
  }

  const double length = LengthLine(p0.x, p0.y, p1.x, p1.y);
  std::vector<C_POINT> near;
  near.reserve(points.size());
  for (const C_POINT q : points) {
    if (RToLine(segment, q.x, q.y) < kNearDistance) near.push_back(q);
  }
  const std::size_t m = near.size();
  if (m < static_cast<std::size_t>(kMinNear)) return 2;
  if (static_cast<double>(m) < kMinNearShare * length) return 5;

  // The spread along the edge: how many near pixels lie at each whole
  // distance from p0, up to the segment's length. Taken after the checks
  // above, so its len + 1 cells never outnumber twice the near pixels.
  const std::int64_t len = static_cast<std::int64_t>(length);
  // Its cells are counted in an int; so many near pixels no contour holds.
  if (len >= INT_MAX) return 5;
  std::vector<int> spread(static_cast<std::size_t>(len) + 1, 0);
  for (const C_POINT q : near) {
    const std::int64_t pos = static_cast<std::int64_t>(Distance(p0, q));
    if (pos <= len) ++spread[static_cast<std::size_t>(pos)];
  }

  C_POINT sample[8];
  for (std::size_t r = 0; r < 8; ++r) sample[r] = near[m * r / 8];
  F_LINE best = MakeLine(sample[kSamplePairs[0][0]], sample[kSamplePairs[0][1]]);
  int support = PointsInLine(best, index);
  for (int c = 1; c < 8; ++c) {
    const F_LINE candidate = MakeLine(sample[kSamplePairs[c][0]], sample[kSamplePairs[c][1]]);
    const int score = PointsInLine(candidate, index);
    if (score > support) {
      support = score;
      best = candidate;
    }
  }
  if (support < kMinSupport * length) return 3;
  if (std::fabs(FoundInclination(segment, best)) > kMaxTurn) return 4;

  // The supporting pixels' extent: the one farthest from each end, the
  // first found on ties.
  const C_POINT* far_from_p0 = nullptr;
  const C_POINT* far_from_p1 = nullptr;
  double d0 = 0.0, d1 = 0.0;
  for (const C_POINT& q : points) {
    if (!OnLine(best, q)) continue;
    const double a = Distance(p0, q), b = Distance(p1, q);
    if (far_from_p0 == nullptr || a > d0) {
      d0 = a;
      far_from_p0 = &q;
    }
    if (far_from_p1 == nullptr || b > d1) {
      d1 = b;
      far_from_p1 = &q;
    }
  }
  // The samples the line passes through are on it; a line through two equal
  // samples (a list with repeated pixels) may have no support at all.
  if (far_from_p0 == nullptr) return 3;

  const int cells = static_cast<int>(len) + 1;
  measure = D_e(cells, spread.data(), M_e(cells, spread.data()));
  line = best;
  out_ends[0] = PointID(far_from_p1->x, far_from_p1->y);
  out_ends[1] = PointID(far_from_p0->x, far_from_p0->y);
  tally = static_cast<int>(m);
  return 0;
}
