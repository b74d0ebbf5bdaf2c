// Region labelling, outer boundaries and the quadrilateral fit, on small
// pictures drawn as ASCII art ('#' black, '.' white).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "reader/components.h"
#include "reader/geometry.h"
#include "reader/quad_fit.h"

namespace vx::reader {
namespace {

Plane Parse(const std::vector<std::string>& art) {
  Plane p(static_cast<int>(art[0].size()), static_cast<int>(art.size()));
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) p.Row(y)[x] = art[y][x] == '#';
  return p;
}

TEST(Regions, EightConnectedRegionsWithBoxesAndFirstPixels) {
  const Labels l = LabelRegions(Parse({
      "##....#.",
      ".#...#..",
      "..#.....",  // the diagonal joins the first region
      "......##",
      "#.....##",
  }));
  ASSERT_EQ(l.regions.size(), 4u);
  EXPECT_EQ(l.regions[0].area, 4) << "the diagonal run";
  EXPECT_EQ(l.regions[0].right, 2);
  EXPECT_EQ(l.regions[1].area, 2) << "the anti-diagonal pair";
  EXPECT_EQ(l.regions[1].first.x, 6);
  EXPECT_EQ(l.regions[2].area, 4) << "the block";
  EXPECT_EQ(l.regions[3].area, 1) << "the lone pixel";
  EXPECT_EQ(l.regions[3].top, 4);
}

// A U beside a bar, both joined only at the bottom, is one region, labelled the same
// throughout (the arms get provisional labels of their own first).
TEST(Regions, ArmsJoinedBelowShareOneLabel) {
  const Labels l = LabelRegions(Parse({
      "#...#.#",
      "#...#.#",
      "#####.#",
      "#.....#",
      "#######",
  }));
  ASSERT_EQ(l.regions.size(), 1u);
  EXPECT_EQ(l.regions[0].area, 21);
}

// One solid region of 250 000 pixels stays whole, however large.
TEST(Regions, LargeRegionIsNotCut) {
  Plane p(600, 600);
  for (int y = 50; y < 550; ++y)
    for (int x = 50; x < 550; ++x) p.Row(y)[x] = 1;
  const Labels l = LabelRegions(p);
  ASSERT_EQ(l.regions.size(), 1u);
  EXPECT_EQ(l.regions[0].area, 250000);
  const std::vector<PixelPoint> b = TraceOuterBoundary(l, 0);
  EXPECT_EQ(b.size(), 4u * 499) << "each border pixel once";
}

// The outer boundary skips holes and runs clockwise as seen from the first pixel.
TEST(Regions, OuterBoundaryRunsClockwiseAroundAFrame) {
  const Labels l = LabelRegions(Parse({
      ".....",
      ".###.",
      ".#.#.",
      ".###.",
  }));
  const std::vector<PixelPoint> b = TraceOuterBoundary(l, 0);
  ASSERT_EQ(b.size(), 8u);
  EXPECT_EQ(b[0].x, 1);
  EXPECT_EQ(b[1].x, 2) << "east first";
  EXPECT_EQ(b[1].y, 1);
  EXPECT_EQ(b[4].x, 3) << "then down the right side";
  EXPECT_EQ(b[4].y, 3);
}

struct QuadCase {
  const char* name;
  double angle;  // degrees
  double w, h;   // rectangle size in pixels; w 0: a disc, w -1, -2: the quadrilaterals below
  bool fits;
};

// A figure seen steeply from the side: its two boundary points farthest
// apart (bottom-right, top-right) end one side rather than a diagonal.
constexpr Quad kSteep{{{61.5, 14.7}, {138.3, 19.2}, {70.5, 166.2}, {9.9, 120.7}}};

// A long narrow figure (16 x 4 cells) seen square on, in slight
// perspective: its right side is longer than either diagonal, so the two
// boundary points farthest apart end that side.
constexpr Quad kNarrow{{{65.2, 8.7}, {94.6, 14.7}, {40.0, 174.8}, {14.1, 159.9}}};

class QuadFit : public testing::TestWithParam<QuadCase> {};

// Filled rectangles turned at several angles, and a quadrilateral in strong
// perspective, give their corners within a pixel (the fit lands on the edge,
// half a pixel outside the pixel centres); a disc and a thin stroke give no
// quadrilateral.
TEST_P(QuadFit, CornersOfTurnedRectangles) {
  const QuadCase& c = GetParam();
  const double a = c.angle * M_PI / 180.0, cx = 100, cy = 100;
  Quad truth{};
  const double corners[4][2] = {
      {-c.w / 2, -c.h / 2}, {c.w / 2, -c.h / 2}, {c.w / 2, c.h / 2}, {-c.w / 2, c.h / 2}};
  for (int k = 0; k < 4; ++k)
    truth[k] = {cx + corners[k][0] * std::cos(a) - corners[k][1] * std::sin(a),
                cy + corners[k][0] * std::sin(a) + corners[k][1] * std::cos(a)};
  if (c.w < 0) truth = c.w == -1 ? kSteep : kNarrow;
  Plane p(200, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x)
      p.Row(y)[x] = c.w != 0 ? Contains(truth, {double(x), double(y)}) : std::hypot(x - cx, y - cy) < 60;
  const Labels l = LabelRegions(p);
  ASSERT_EQ(l.regions.size(), 1u);
  Quad q{};
  const bool fitted = FitQuad(TraceOuterBoundary(l, 0), q);
  ASSERT_EQ(fitted, c.fits);
  if (!fitted) return;
  const Quad seen = SeenCorners(q), want = SeenCorners(truth);
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(seen[k].x, want[k].x, 0.8) << "corner " << k;
    EXPECT_NEAR(seen[k].y, want[k].y, 0.8) << "corner " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, QuadFit,
    testing::Values(QuadCase{"square", 0, 101, 101, true}, QuadCase{"turned", 17, 120, 80, true},
                    QuadCase{"steep", 63, 90, 140, true}, QuadCase{"perspective", 0, -1, -1, true},
                    QuadCase{"narrow", 0, -2, -2, true}, QuadCase{"long", 30, 20, 150, true},
                    QuadCase{"disc", 0, 0, 0, false}, QuadCase{"stroke", 30, 150, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx::reader
