#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "cli/pipeline_figure.h"
#include "cli/pipeline_image.h"
#include "cli/pipeline_marked.h"
#include "cli/pipeline_perspective.h"

namespace {

using vxcli::Pt;

TEST(PipelineSteps, ExpandMovesEverySideOutwardInEitherDirection) {
  const std::array<Pt, 4> square{{{10, 10}, {20, 10}, {20, 20}, {10, 20}}};
  const std::array<Pt, 4> reversed{{{10, 10}, {10, 20}, {20, 20}, {20, 10}}};
  for (const auto& q : {square, reversed}) {
    const std::array<Pt, 4> e = vxcli::Expand(q, 0.5);
    for (int k = 0; k < 4; ++k) {
      EXPECT_DOUBLE_EQ(e[k].x, q[k].x < 15 ? 9.5 : 20.5);
      EXPECT_DOUBLE_EQ(e[k].y, q[k].y < 15 ? 9.5 : 20.5);
    }
  }
  EXPECT_DOUBLE_EQ(vxcli::QuadArea(square), 100.0);
}

TEST(PipelineSteps, ConvexityRejectsDartsAndTwists) {
  EXPECT_TRUE(vxcli::IsConvex({{{0, 0}, {10, 1}, {11, 9}, {1, 10}}}));
  EXPECT_FALSE(vxcli::IsConvex({{{0, 0}, {10, 0}, {3, 3}, {0, 10}}}));    // a dart
  EXPECT_FALSE(vxcli::IsConvex({{{0, 0}, {10, 10}, {10, 0}, {0, 10}}}));  // a bow tie
}

TEST(PipelineSteps, ReduceByMeanAveragesBlocksAndDropsTheRest) {
  // 5 x 3 gray image, stride 8: a 2 x 2 reduction keeps 2 x 1 pixels.
  std::vector<unsigned char> px(8 * 3, 0);
  const unsigned char rows[3][5] = {{0, 255, 10, 20, 99}, {255, 255, 30, 41, 99}, {7, 7, 7, 7, 7}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) px[y * 8 + x] = rows[y][x];
  const IMG img{px.data(), 5, 8, 3, 1, 1};
  const vxcli::GrayImage r = vxcli::ReduceByMean(img, 2);
  ASSERT_EQ(r.width(), 2);
  ASSERT_EQ(r.height(), 1);
  EXPECT_EQ(r.row(0)[0], 191);  // 765 / 4 = 191.25
  EXPECT_EQ(r.row(0)[1], 25);   // 101 / 4 = 25.25, rounded
  EXPECT_EQ(vxcli::ReductionFactor(1200, 900, 1200), 1);
  EXPECT_EQ(vxcli::ReductionFactor(1201, 900, 1200), 2);
  EXPECT_EQ(vxcli::ReductionFactor(4000, 3000, 1200), 4);
}

TEST(PipelineSteps, OtsuLevelSeparatesTwoClusters) {
  vxcli::GrayImage g(40, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 40; ++x) g.row(y)[x] = static_cast<unsigned char>(x < 10 ? 30 + x % 5 : 200 + x % 7);
  const int level = vxcli::OtsuLevel(g);
  EXPECT_GE(level, 34);
  EXPECT_LT(level, 200);
}

TEST(PipelineSteps, FigurePointFollowsThePerspective) {
  const std::array<Pt, 4> c{{{0, 0}, {10, 0}, {12, 8}, {0, 10}}};
  // Under a perspective map the square's centre goes to where the diagonals cross.
  const Pt mid = vxcli::FigurePoint(c, 0.5, 0.5);
  EXPECT_NEAR(mid.x, 6.0, 1e-9);
  EXPECT_NEAR(mid.y, 4.0, 1e-9);
  for (int k = 0; k < 4; ++k) {
    const Pt p = vxcli::FigurePoint(c, k == 1 || k == 2, k >= 2);
    EXPECT_NEAR(p.x, c[k].x, 1e-9);
    EXPECT_NEAR(p.y, c[k].y, 1e-9);
  }
}

// Where grid line n meets the side x = k * y + b (dir 2) or y = k * x + b (dir 1).
Pt Meet(const F_LINE& line, const F_LINE& side) {
  double x = 0, y = 0;
  EXPECT_EQ(Intersection(line, side, &x, &y), 0);
  return {x, y};
}

TEST(PipelineSteps, PerspectiveGridOfAParallelogramIsTheEqualDivision) {
  const std::array<Pt, 4> seen{{{10, 20}, {110, 30}, {120, 90}, {20, 80}}};
  GRID spaced(5, 7), equal(5, 7);
  vxcli::CreatePerspectiveGrid(spaced, seen);
  equal.CreateGrid(FOUR_FIG_Pd{{10, 20}, {120, 90}, {20, 80}, {110, 30}});
  for (int n = 0; n < 5 + 7 - 2; ++n) {
    const F_LINE a = spaced.GetLine(n), b = equal.GetLine(n);
    EXPECT_EQ(a.dir, b.dir) << n;
    EXPECT_NEAR(a.k, b.k, 1e-9) << n;
    EXPECT_NEAR(a.b, b.b, 1e-6) << n;
  }
}

TEST(PipelineSteps, PerspectiveGridRowsCrowdTowardTheFarSide) {
  // A square seen steeply from below: the top side is 0.6 of the bottom one
  // and its rows thinner. The linear size model leaves at most 1.5 pixels
  // of the 9 that equal division would be off.
  const std::array<Pt, 4> seen{{{40, 0}, {160, 0}, {200, 150}, {0, 150}}};
  const int rows = 6;
  GRID grid(rows, 6);
  vxcli::CreatePerspectiveGrid(grid, seen);
  const vxcli::Perspective map(seen);
  for (int i = 0; i + 1 < rows; ++i) {
    const Pt expected = map.Apply(0, double(i + 1) / rows);
    const Pt got = Meet(grid.GetLine(i), grid.sides[0]);
    EXPECT_NEAR(got.y, expected.y, 1.5) << i;
  }
  // Equal division would put the first row line at y = 25; the far rows are thinner.
  EXPECT_LT(Meet(grid.GetLine(0), grid.sides[0]).y, 22.0);
}

// A white picture with a dark ring-bordered square and, apart from it, a
// larger dark disc: the disc has more pixels but no quadrilateral outline.
TEST(PipelineSteps, FigureIsTheQuadrilateralNotTheLargestBlob) {
  vxcli::GrayImage g(200, 120);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool ring = x >= 20 && x < 70 && y >= 30 && y < 80 && !(x >= 30 && x < 60 && y >= 40 && y < 70);
      const bool disc = std::hypot(x - 140.0, y - 60.0) < 45.0;
      g.row(y)[x] = ring || disc ? 0 : 255;
    }
  }
  const vxcli::Figure f = vxcli::FindFigure(g.img());
  ASSERT_TRUE(f.found) << f.fault;
  EXPECT_EQ(f.candidates, 2);
  double minx = 1e9, maxx = -1e9;
  for (const Pt& p : f.outline) minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
  EXPECT_NEAR(minx, 20, 1.0);
  EXPECT_NEAR(maxx, 69, 1.0);

  vxcli::GrayImage blank(50, 50);
  EXPECT_FALSE(vxcli::FindFigure(blank.img()).found);
}

}  // namespace
