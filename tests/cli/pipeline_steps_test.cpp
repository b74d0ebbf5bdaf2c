#include <gtest/gtest.h>

#include <cmath>

#include "cli/pipeline_figure.h"
#include "cli/pipeline_image.h"
#include "cli/pipeline_marked.h"
#include "cli/pipeline_perspective.h"

namespace {

using vxcli::Pt;

TEST(PipelineSteps, ExpandMovesEverySideOutwardInEitherDirection) {
  const std::array<Pt, 4> square{{{10, 10}, {20, 10}, {20, 20}, {10, 20}}};
  for (const auto& q : {square, std::array<Pt, 4>{square[0], square[3], square[2], square[1]}}) {
    const std::array<Pt, 4> e = vxcli::Expand(q, 0.5);
    for (int k = 0; k < 4; ++k) {
      EXPECT_DOUBLE_EQ(e[k].x, q[k].x < 15 ? 9.5 : 20.5);
      EXPECT_DOUBLE_EQ(e[k].y, q[k].y < 15 ? 9.5 : 20.5);
    }
  }
  EXPECT_TRUE(vxcli::IsConvex({{{0, 0}, {10, 1}, {11, 9}, {1, 10}}}));
  EXPECT_FALSE(vxcli::IsConvex({{{0, 0}, {10, 0}, {3, 3}, {0, 10}}}));    // a dart
  EXPECT_FALSE(vxcli::IsConvex({{{0, 0}, {10, 10}, {10, 0}, {0, 10}}}));  // a bow tie
}

TEST(PipelineSteps, ReduceByMeanAveragesBlocksAndDropsTheRest) {
  // 5 x 3 gray image, stride 8: a 2 x 2 reduction keeps 2 x 1 pixels.
  std::vector<unsigned char> px(8 * 3, 0);
  const unsigned char rows[3][5] = {{0, 255, 10, 20, 99}, {255, 255, 30, 41, 99}, {7, 7, 7, 7, 7}};
  for (int y = 0; y < 3; ++y) std::copy(rows[y], rows[y] + 5, &px[y * 8]);
  const vxcli::GrayImage r = vxcli::ReduceByMean(IMG{px.data(), 5, 8, 3, 1, 1}, 2);
  ASSERT_EQ(r.width(), 2);
  ASSERT_EQ(r.height(), 1);
  EXPECT_EQ(r.row(0)[0], 191);  // 765 / 4 = 191.25
  EXPECT_EQ(r.row(0)[1], 25);   // 101 / 4 = 25.25, rounded
  EXPECT_EQ(vxcli::ReductionFactor(1200, 900, 1200), 1);
  EXPECT_EQ(vxcli::ReductionFactor(1201, 900, 1200), 2);
  EXPECT_EQ(vxcli::ReductionFactor(4000, 3000, 1200), 4);
}

TEST(PipelineSteps, PerspectiveGridRowsCrowdTowardTheFarSide) {
  // The map takes the unit square's corners to the figure's and its centre
  // to where the diagonals cross.
  const std::array<Pt, 4> c{{{0, 0}, {10, 0}, {12, 8}, {0, 10}}};
  for (const auto& t : {std::array{0., 0., 0., 0.},
                        {1., 0., 10., 0.},
                        {1., 1., 12., 8.},
                        {0., 1., 0., 10.},
                        {.5, .5, 6., 4.}}) {
    EXPECT_NEAR(vxcli::FigurePoint(c, t[0], t[1]).x, t[2], 1e-9);
    EXPECT_NEAR(vxcli::FigurePoint(c, t[0], t[1]).y, t[3], 1e-9);
  }
  // A square seen steeply from below: the top side is 0.6 of the bottom one
  // and its rows thinner. Each row line meets the left side within 1.5
  // pixels of the map's point; equal division would be 9 off.
  const std::array<Pt, 4> seen{{{40, 0}, {160, 0}, {200, 150}, {0, 150}}};
  GRID grid(6, 6);
  vxcli::CreatePerspectiveGrid(grid, seen);
  for (int i = 0; i < 5; ++i) {
    double x = 0, y = 0;
    ASSERT_EQ(Intersection(grid.GetLine(i), grid.sides[0], &x, &y), 0);
    EXPECT_NEAR(y, vxcli::FigurePoint(seen, 0, (i + 1) / 6.0).y, 1.5) << i;
    if (i == 0) {
      EXPECT_LT(y, 22.0);  // equal division puts it at 25
    }
  }
}

// A white picture with a dark ring-bordered square and, apart from it, a
// larger dark disc: the disc has more pixels but no quadrilateral outline.
TEST(PipelineSteps, FigureIsTheQuadrilateralNotTheLargestBlob) {
  vxcli::GrayImage g(200, 120);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool ring = x >= 20 && x < 70 && y >= 30 && y < 80 && !(x >= 30 && x < 60 && y >= 40 && y < 70);
      g.row(y)[x] = ring || std::hypot(x - 140.0, y - 60.0) < 45.0 ? 0 : 255;
    }
  }
  const vxcli::Figure f = vxcli::FindFigure(g.img());
  ASSERT_TRUE(f.found) << f.fault;
  EXPECT_EQ(f.candidates, 2);
  double minx = 1e9, maxx = -1e9;
  for (const Pt& p : f.outline) minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
  EXPECT_NEAR(minx, 20, 1.0);
  EXPECT_NEAR(maxx, 69, 1.0);
  EXPECT_FALSE(vxcli::FindFigure(vxcli::GrayImage(50, 50).img()).found);
}

}  // namespace
