// Corner finding and refinement: corners, side lines, result codes, what
// survives failures; end to end on a turned grid, thresholded and found.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

Pixels Of(const C_POINT* c) {
  return {{c[0].x, c[0].y}, {c[1].x, c[1].y}, {c[2].x, c[2].y}, {c[3].x, c[3].y}};
}

const C_POINT kRect[4] = {{10, 10}, {60, 40}, {10, 40}, {60, 10}};

// Refined, each side line of a ring runs through all pixels of one side.
TEST(CornerFinding, RingCornersAndSideLines) {
  Image image = Image::Gray(100, 100, 255);
  for (C_POINT p : Ring(10, 10, 60, 40)) image.at(p.x, p.y) = 0;
  auto store = Found(image, 0);
  C_POINT c[4] = {};
  C_POINTd cd[4];
  F_LINE lines[4];
  ASSERT_EQ(store->Return4DistantPoints(c[0], 0), 0);
  EXPECT_EQ(Of(c), Of(kRect));
  ASSERT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], 0), 0);
  const int dirs[4] = {2, 1, 1, 2}, scores[4] = {31, 51, 51, 31}, intercepts[4] = {10, 10, 40, 60};
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(lines[s].dir, dirs[s]) << "side " << s;
    EXPECT_EQ(lines[s].b, intercepts[s]) << "side " << s;
    EXPECT_EQ(store->PointsInLine(lines[s], 0), scores[s]);
  }
  EXPECT_EQ(Of(c), Of(kRect));
  EXPECT_EQ(cd[3].x, 60.0);
}

TEST(CornerFinding, DegenerateContoursAndBadIndices) {
  Store store;
  const int dot = store.Add({{5, 5}});
  const int run = store.Add({{3, 7}, {4, 7}, {5, 7}, {6, 7}, {5, 5}});  // nothing below the diagonal
  const int rows = store.Add({{0, 4}, {1, 4}, {2, 5}, {3, 5}, {4, 5}});
  C_POINT c[4] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
  for (auto [index, result] : {std::pair{dot, 1}, {run, 2}, {3, -1}})
    EXPECT_EQ(store.s->Return4DistantPoints(c[0], index), result);
  EXPECT_EQ(Of(c), Pixels(4, {1, 1}));
  for (auto [k, b, points] : {std::tuple{0.0, 5.0, 3}, {0.0, 4.9, 2}, {std::nan(""), 5.0, 0}})
    EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, k, b}, rows), points) << b;
}

TEST(Accuracy4RombPoints, FailuresKeepTheCornersAndEarlierLines) {
  Store store;
  // An L: side 2 (p2 to p3, along y = 40) finds no points in its box.
  Points ell = Ring(10, 10, 60, 40);
  std::erase_if(ell, [](C_POINT p) { return p.y == 40 && p.x > 10; });
  // Side 0's box holds one pixel listed 20 times: every candidate is 0/0.
  Points doubled = Ring(10, 10, 60, 40);
  std::erase_if(doubled, [](C_POINT p) { return p.x == 10 && p.y >= 12 && p.y <= 38; });
  doubled.insert(doubled.end(), 20, C_POINT{10, 20});
  // Sides 0 and 1 both run along y = 10: p1 has no intersection.
  Points vee;
  for (int i = 0; i <= 40; ++i) vee.insert(vee.end(), {{10 + 2 * i, 10}, {10 + i, 10 + i}, {90 - i, 10 + i}});
  const std::tuple<int, Points, int> cases[] = {
      {store.Add(ell), {{10, 10}, {60, 40}, {16, 16}, {60, 10}}, 1},  // side 0 spans 6 by 6
      {store.Add(ell), {kRect, kRect + 4}, 2},
      {store.Add(doubled), {kRect, kRect + 4}, 4},
      {store.Add(vee), {{50, 10}, {50, 50}, {10, 10}, {90, 10}}, 3},
      {9, {kRect, kRect + 4}, -1}};
  for (const auto& [index, corners, result] : cases) {
    Points c = corners;
    C_POINTd cd[4] = {};
    F_LINE lines[4] = {};
    EXPECT_EQ(store.s->Accuracy4RombPoints(c[0], cd[0], lines[0], index), result);
    EXPECT_EQ(Of(c.data()), Of(corners.data()));
    EXPECT_EQ(cd[0].x, 0.0) << "refined corners written on failure " << result;
    EXPECT_EQ(lines[1].type, result >= 2 ? 3 : 0) << "side 1 line, result " << result;
    EXPECT_EQ(lines[2].type, result > 2 ? 3 : 0) << "side 2 line, result " << result;
  }
}

// Figure size before turning, its white cells, frame and line widths, centre.
constexpr double kW = 180, kH = 140, kCols = 5, kRows = 4, kBorder = 8, kLine = 5, kCx = 150.3, kCy = 149.6;
constexpr double kInW = kW - 2 * kBorder, kInH = kH - 2 * kBorder,
                 kCellW = (kInW - (kCols - 1) * kLine) / kCols, kCellH = (kInH - (kRows - 1) * kLine) / kRows;

struct Figure {
  double c, s;                          // cosine and sine of the turn
  Image image = Image::Gray(300, 300);  // 0 figure and dots, 255 background
  int figure_pixels = 0;                // black pixels of the figure alone: dark unless in a cell
  std::pair<double, double> Unturned(double x, double y) const {
    return {c * (x - kCx) + s * (y - kCy), -s * (x - kCx) + c * (y - kCy)};
  }
  bool Within(double x, double y, double margin) const {
    auto [u, v] = Unturned(x, y);
    return std::abs(u) <= kW / 2 - margin && std::abs(v) <= kH / 2 - margin;
  }
  bool DarkAt(double x, double y) const {
    auto [u, v] = Unturned(x, y);
    const double a = u + kW / 2 - kBorder, b = v + kH / 2 - kBorder;
    return Within(x, y, 0) &&
           (a < 0 || b < 0 || a > kInW || b > kInH || std::fmod(a, kCellW + kLine) >= kCellW ||
            std::fmod(b, kCellH + kLine) >= kCellH);
  }
  // True corner k in pixel coordinates, in order around the outline.
  C_POINTd Corner(int k) const {
    const double u = k == 1 || k == 2 ? kW / 2 : -kW / 2, v = k >= 2 ? kH / 2 : -kH / 2;
    return C_POINTd{kCx + c * u - s * v, kCy + s * u + c * v};
  }
};

// 4 x 4 samples a pixel into gray 40 .. 230, thresholded at 128; four dots.
Figure Draw(double degrees) {
  const double t = degrees * std::numbers::pi / 180;
  Figure f{std::cos(t), std::sin(t)};
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) {
      int dark = 0;
      for (int j = 0; j < 16; ++j) dark += f.DarkAt(x - 0.375 + 0.25 * (j % 4), y - 0.375 + 0.25 * (j / 4));
      f.figure_pixels += (f.image.at(x, y) = 230 - (190 * dark) / 16 < 128 ? 0 : 255) == 0;
    }
  for (auto [x, y] : {Pixel{5, 5}, {290, 12}, {8, 280}, {260, 291}})
    f.image.at(x, y) = f.image.at(x + 1, y) = f.image.at(x, y + 1) = 0;
  return f;
}

// The figure is the largest contour, holding all its pixels. Refined corners
// lie within 2 pixels of true ones, p1/p2 and p3/p4 opposite corners.
TEST(FigureCorners, TurnedGridGivesItsFourCorners) {
  for (double degrees : {3.0, 11.0, 20.0, 27.5, 34.0, 41.0, -16.0}) {
    SCOPED_TRACE(testing::Message() << degrees << " degrees");
    Figure f = Draw(degrees);
    auto store = Found(f.image, 1);
    ASSERT_EQ(store->ReturnAllContours(), 5);  // the figure and four dots
    int figure = 0;
    for (int i = 1; i < 5; ++i) figure = store->AllPoints(i) > store->AllPoints(figure) ? i : figure;
    EXPECT_EQ(store->AllPoints(figure), f.figure_pixels);
    // Lines inside a filled frame all score alike, so refine on the outer
    // outline: figure pixels with a 4-neighbour in the background outside.
    Image ring = Image::Gray(300, 300);
    for (auto [x, y] : PointsOf(*store, figure))
      for (auto [dx, dy] : {Pixel{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        if (f.image.at(x + dx, y + dy) != 0 && !f.Within(x + dx, y + dy, 2)) ring.at(x, y) = 0;
    auto outline = Found(ring, 1);
    ASSERT_EQ(outline->ReturnAllContours(), 1);  // one 8-connected ring
    C_POINT corners[4] = {};
    C_POINTd found[4];
    F_LINE lines[4] = {};
    ASSERT_EQ(outline->Return4DistantPoints(corners[0], 0), 0);
    ASSERT_EQ(outline->Accuracy4RombPoints(corners[0], found[0], lines[0], 0), 0);
    auto dist = [&](int k, int t) {
      return std::max(std::abs(found[k].x - f.Corner(t).x), std::abs(found[k].y - f.Corner(t).y));
    };
    int which[4] = {};
    for (int k = 0; k < 4; ++k) {
      for (int t = 1; t < 4; ++t) which[k] = dist(k, t) < dist(k, which[k]) ? t : which[k];
      EXPECT_LE(dist(k, which[k]), 2.0) << "corner " << k + 1 << " at " << found[k].x << "," << found[k].y;
    }
    EXPECT_EQ((which[0] + 2) % 4, which[1]) << "p1 and p2 opposite";
    EXPECT_EQ((which[2] + 2) % 4, which[3]) << "p3 and p4 opposite";
  }
}

}  // namespace
}  // namespace vxtest
