// The quadrilateral from a region's straight runs: a figure joined to
// specks, notched, or joined to a wedge running to the plane's edge keeps
// its four sides; a disc has none.
#include <gtest/gtest.h>

#include <cmath>

#include "reader/components.h"
#include "reader/geometry.h"
#include "reader/quad_lines.h"

namespace vx::reader {
namespace {

// A quadrilateral turned 20 degrees about (100, 100), 110 x 80.
Quad Turned() {
  const double a = 20.0 * M_PI / 180.0;
  const double corners[4][2] = {{-55, -40}, {55, -40}, {55, 40}, {-55, 40}};
  Quad q{};
  for (int k = 0; k < 4; ++k)
    q[k] = {100 + corners[k][0] * std::cos(a) - corners[k][1] * std::sin(a),
            100 + corners[k][0] * std::sin(a) + corners[k][1] * std::cos(a)};
  return q;
}

// Fits the largest region of `p` and compares its corners with `truth`.
void ExpectCorners(const Plane& p, const Quad& truth) {
  const Labels l = LabelRegions(p);
  ASSERT_FALSE(l.regions.empty());
  int largest = 0;
  for (int i = 1; i < static_cast<int>(l.regions.size()); ++i)
    if (l.regions[i].area > l.regions[largest].area) largest = i;
  Quad q{};
  ASSERT_TRUE(FitQuadByLines(TraceOuterBoundary(l, largest), p.width, p.height, q));
  EXPECT_GT(TwiceSignedArea(q), 0.0);  // clockwise as seen
  const Quad seen = SeenCorners(q), want = SeenCorners(truth);
  for (int k = 0; k < 4; ++k) EXPECT_LE(Distance(seen[k], want[k]), 1.0) << "corner " << k;
}

TEST(QuadLines, SpecksAndNotchesLeaveTheSides) {
  const Quad truth = Turned();
  Plane p(200, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) {
      const Point c{double(x), double(y)};
      bool black = Contains(truth, c);
      // Specks of 3 x 3 pixels touching the top side, and a notch cut in
      // the bottom side, as noise and a blurred white cell leave them.
      for (double t : {0.3, 0.6}) {
        const Point s{truth[0].x + t * (truth[1].x - truth[0].x),
                      truth[0].y + t * (truth[1].y - truth[0].y) - 2};
        black = black || (std::fabs(c.x - s.x) <= 1.5 && std::fabs(c.y - s.y) <= 1.5);
      }
      const Point n{(truth[2].x + truth[3].x) / 2, (truth[2].y + truth[3].y) / 2};
      if (Distance(c, n) < 6) black = false;
      p.Row(y)[x] = black;
    }
  ExpectCorners(p, truth);
}

TEST(QuadLines, AWedgeToThePlanesEdgeIsNoSide) {
  const Quad truth = Turned();
  Plane p(200, 200);
  // A shadow's dark wedge from the left-hand corner to the plane's edge.
  const Quad wedge{{{0, 150}, truth[3], {truth[3].x + 8, truth[3].y + 4}, {0, 199}}};
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) {
      const Point c{double(x), double(y)};
      p.Row(y)[x] = Contains(truth, c) || Contains(wedge, c);
    }
  ExpectCorners(p, truth);
}

TEST(QuadLines, ADiscHasNoSides) {
  Plane p(200, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) p.Row(y)[x] = std::hypot(x - 100, y - 100) < 60;
  Quad q{};
  EXPECT_FALSE(FitQuadByLines(TraceOuterBoundary(LabelRegions(p), 0), 200, 200, q));
}

}  // namespace
}  // namespace vx::reader
