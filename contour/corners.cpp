// Corner finding on one stored contour: four distant points as first
// corners, the score of a line against the contour's pixels, and the
// refinement of the corners from lines fitted to the four sides.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

#include "image/numeric.h"
#include "vexolith/contour.h"
#include "vexolith/geometry.h"

namespace {

// Result of Return4DistantPoints and Accuracy4RombPoints for an index that
// names no stored contour. The index is the caller's promise; refusing a bad
// one with a code of its own is cheaper than reading a stray record.
constexpr int kNoSuchContour = -1;

// Accuracy4RombPoints: two neighbouring side lines are parallel within the
// tolerance of Intersection, so the corner between them does not exist.
// All four lines are written; the corners stay unchanged.
constexpr int kParallelSides = 3;

// Accuracy4RombPoints: a corner is not a number or lies beyond the 32-bit
// range (a side line through two equal samples, which contours that list
// their pixels twice can give). Lines written, corners unchanged.
constexpr int kCornerOutOfRange = 4;

// A side spanning fewer pixels than this in both x and y is too short to fit,
// and its box needs at least this many contour points.
constexpr std::int64_t kMinSide = 8;
// The side box is trimmed along the side by this much at both ends, so the
// neighbouring sides' pixels near the corners stay out, and widened across
// by the same amount when it is thin.
constexpr std::int64_t kBoxMargin = 2;

// Pairs of the eight samples through which the candidate lines of a side are
// drawn, in the order they are tried: the four long chords first.
constexpr int kSamplePairs[8][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}, {0, 1}, {2, 3}, {4, 5}, {6, 7}};

// Corner indices (p1, p2, p3, p4 = 0, 1, 2, 3) at the ends of sides 0..3.
constexpr int kSideEnds[4][2] = {{0, 2}, {0, 3}, {1, 2}, {1, 3}};
// The two sides meeting at corners p1, p2, p3, p4.
constexpr int kCornerSides[4][2] = {{0, 1}, {2, 3}, {0, 2}, {1, 3}};

bool HasContour(const CONTOUR& store, int index) {
  return index >= 0 && index < store.number && index < static_cast<int>(std::size(store.items));
}

// The contour's points; never more than its count, none for a null array.
std::span<const C_POINT> PointsOf(const CONTOUR_ITEM& item) {
  if (item.points == nullptr) return {};
  return {item.points, item.count};
}

bool SamePoint(C_POINT a, C_POINT b) { return a.x == b.x && a.y == b.y; }

double Distance(C_POINT a, C_POINT b) { return LengthLine(a.x, a.y, b.x, b.y); }

// Inclusive box around a side, in 64 bits so that far-out host corners
// cannot overflow the widths or the margins.
struct Box {
  std::int64_t x0, x1;  // smallest and largest x, inclusive
  std::int64_t y0, y1;  // smallest and largest y, inclusive

  bool Contains(C_POINT p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
};

Box SideBox(C_POINT a, C_POINT b) {
  return Box{std::min<std::int64_t>(a.x, b.x), std::max<std::int64_t>(a.x, b.x),
             std::min<std::int64_t>(a.y, b.y), std::max<std::int64_t>(a.y, b.y)};
}

// Trims the box along the side's free coordinate and widens a thin box
// across it.
void TrimAndWiden(Box& box, bool x_free) {
  std::int64_t& along0 = x_free ? box.x0 : box.y0;
  std::int64_t& along1 = x_free ? box.x1 : box.y1;
  std::int64_t& across0 = x_free ? box.y0 : box.x0;
  std::int64_t& across1 = x_free ? box.y1 : box.x1;
  along0 += kBoxMargin;
  along1 -= kBoxMargin;
  if (across1 - across0 < kMinSide) {
    across0 -= kBoxMargin;
    across1 += kBoxMargin;
  }
}

}  // namespace

int CONTOUR::Return4DistantPoints(C_POINT& corners, int index) {
  if (!HasContour(*this, index)) return kNoSuchContour;
  const std::span<const C_POINT> points = PointsOf(items[index]);
  if (points.empty()) return 1;  // no points: no two distinct candidates

  // Candidates: 0 leftmost, 1 rightmost, 2 topmost, 3 bottommost, then the
  // points nearest to the search area's corners (0, 0), (R, 0), (0, B) and
  // (R, B). Only a strictly better point replaces one, so among equals the
  // earliest in collection order stays.
  const C_POINT far_corner[4] = {{0, 0}, {area.right, 0}, {0, area.bottom}, {area.right, area.bottom}};
  C_POINT cand[8];
  double nearest[4];
  for (C_POINT& c : cand) c = points[0];
  for (int q = 0; q < 4; ++q) nearest[q] = Distance(points[0], far_corner[q]);
  for (std::size_t n = 1; n < points.size(); ++n) {
    const C_POINT p = points[n];
    if (p.x < cand[0].x) cand[0] = p;
    if (p.x > cand[1].x) cand[1] = p;
    if (p.y < cand[2].y) cand[2] = p;
    if (p.y > cand[3].y) cand[3] = p;
    for (int q = 0; q < 4; ++q) {
      const double d = Distance(p, far_corner[q]);
      if (d < nearest[q]) {
        nearest[q] = d;
        cand[4 + q] = p;
      }
    }
  }

  // The diagonal: the two distinct candidates farthest apart, earliest pair
  // on ties.
  int di = -1, dj = -1;
  double longest = 0.0;
  for (int i = 0; i < 8; ++i) {
    for (int j = i + 1; j < 8; ++j) {
      if (SamePoint(cand[i], cand[j])) continue;
      const double d = Distance(cand[i], cand[j]);
      if (di < 0 || d > longest) {
        longest = d;
        di = i;
        dj = j;
      }
    }
  }
  if (di < 0) return 1;

  // The other two corners: on each side of the diagonal, the candidate with
  // the greatest sum of distances to the diagonal's ends. A candidate on the
  // diagonal line joins neither side.
  const F_LINE diagonal = MakeLine(cand[dj], cand[di]);
  const bool x_free = diagonal.dir == 1;
  int above = -1, below = -1;
  double above_sum = 0.0, below_sum = 0.0;
  for (int t = 0; t < 8; ++t) {
    if (t == di || t == dj) continue;
    const C_POINT c = cand[t];
    const double s = Distance(cand[dj], c) + Distance(cand[di], c);
    const double v = x_free ? c.y - diagonal.k * c.x : c.x - diagonal.k * c.y;
    if (v > diagonal.b && s > above_sum) {
      above_sum = s;
      above = t;
    } else if (v < diagonal.b && s > below_sum) {
      below_sum = s;
      below = t;
    }
  }
  if (above < 0 || below < 0) return 2;

  C_POINT* out = &corners;
  out[0] = cand[di];
  out[1] = cand[dj];
  out[2] = cand[above];
  out[3] = cand[below];
  return 0;
}

int CONTOUR::PointsInLine(F_LINE line, int index) {
  // No stored contour has no points on any line.
  if (!HasContour(*this, index)) return 0;
  if (line.dir != 1 && line.dir != 2) return 0;
  const bool x_free = line.dir == 1;
  int count = 0;
  // The line is evaluated at the centre of the pixel's column (or row) and
  // truncated toward zero.
  for (const C_POINT p : PointsOf(items[index])) {
    const int along = x_free ? p.x : p.y;
    const int other = x_free ? p.y : p.x;
    const double v = line.k * (static_cast<double>(along) + 0.5) + line.b;
    if (vx::FitsTruncation(v) && static_cast<int>(v) == other) ++count;
  }
  return count;
}

int CONTOUR::Accuracy4RombPoints(C_POINT& corners, C_POINTd& cornersd, F_LINE& lines, int index) {
  if (!HasContour(*this, index)) return kNoSuchContour;
  C_POINT* corner = &corners;
  C_POINTd* cornerd = &cornersd;
  F_LINE* side_line = &lines;
  const std::span<const C_POINT> points = PointsOf(items[index]);
  std::vector<C_POINT> gathered;
  gathered.reserve(points.size());

  for (int s = 0; s < 4; ++s) {
    const C_POINT a = corner[kSideEnds[s][0]];
    const C_POINT b = corner[kSideEnds[s][1]];
    const F_LINE side = MakeLine(a, b);
    Box box = SideBox(a, b);
    if (box.x1 - box.x0 < kMinSide && box.y1 - box.y0 < kMinSide) return 1;
    TrimAndWiden(box, side.dir == 1);

    gathered.clear();
    for (const C_POINT p : points) {
      if (box.Contains(p)) gathered.push_back(p);
    }
    const std::size_t m = gathered.size();
    if (m < static_cast<std::size_t>(kMinSide)) return 2;

    // Eight samples spread evenly over the gathered points: sample r is at
    // position floor(m * r / 8).
    C_POINT sample[8];
    for (std::size_t r = 0; r < 8; ++r) sample[r] = gathered[m * r / 8];

    // The candidate through the most contour pixels wins; the earlier one
    // on a tie.
    F_LINE best = MakeLine(sample[kSamplePairs[0][0]], sample[kSamplePairs[0][1]]);
    int best_score = PointsInLine(best, index);
    for (int c = 1; c < 8; ++c) {
      const F_LINE candidate = MakeLine(sample[kSamplePairs[c][0]], sample[kSamplePairs[c][1]]);
      const int score = PointsInLine(candidate, index);
      if (score > best_score) {
        best_score = score;
        best = candidate;
      }
    }
    side_line[s] = best;
  }

  // Every corner is checked before any is written, so a failure leaves all
  // four as they were.
  C_POINTd found[4];
  for (int q = 0; q < 4; ++q) {
    double x = 0.0, y = 0.0;
    if (Intersection(side_line[kCornerSides[q][0]], side_line[kCornerSides[q][1]], &x, &y) != 0) {
      return kParallelSides;
    }
    if (!vx::FitsRoundHalfUp(x) || !vx::FitsRoundHalfUp(y)) return kCornerOutOfRange;
    found[q] = C_POINTd{x, y};
  }
  for (int q = 0; q < 4; ++q) {
    cornerd[q] = found[q];
    corner[q] = C_POINT{vx::RoundHalfUp(found[q].x), vx::RoundHalfUp(found[q].y)};
  }
  return 0;
}
