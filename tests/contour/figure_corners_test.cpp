// End to end: a dark bordered grid drawn at an angle, thresholded, collected
// by Find and handed to the corner finder.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

constexpr double kFigW = 180, kFigH = 140;  // figure size before turning
constexpr int kCols = 5, kRows = 4;         // white cells inside it
constexpr double kBorder = 8, kLine = 5;    // dark frame and inner line widths
constexpr double kCx = 150.3, kCy = 149.6;  // its centre in the picture

struct Figure {
  double c, s;                          // cosine and sine of the turn
  Image image = Image::Gray(300, 300);  // thresholded: 0 figure and dots, 255 background
  int figure_pixels = 0;                // black pixels of the figure alone

  // Is (x, y) inside the figure shrunk by margin? (u, v): in its unturned frame.
  bool Within(double x, double y, double margin, double* u = nullptr, double* v = nullptr) const {
    double a = c * (x - kCx) + s * (y - kCy), b = -s * (x - kCx) + c * (y - kCy);
    if (u) *u = a, *v = b;
    return std::abs(a) <= kFigW / 2 - margin && std::abs(b) <= kFigH / 2 - margin;
  }
  // Dark inside the figure unless in a cell.
  bool DarkAt(double x, double y) const {
    double u, v;
    if (!Within(x, y, 0, &u, &v)) return false;
    const double cell_w = (kFigW - 2 * kBorder - (kCols - 1) * kLine) / kCols;
    const double cell_h = (kFigH - 2 * kBorder - (kRows - 1) * kLine) / kRows;
    const double a = u + kFigW / 2 - kBorder, b = v + kFigH / 2 - kBorder;
    if (a < 0 || b < 0 || a > kFigW - 2 * kBorder || b > kFigH - 2 * kBorder) return true;
    return !(std::fmod(a, cell_w + kLine) < cell_w && std::fmod(b, cell_h + kLine) < cell_h);
  }
  // True corner k in pixel coordinates, in order around the outline.
  C_POINTd Corner(int k) const {
    const double u = k == 1 || k == 2 ? kFigW / 2 : -kFigW / 2, v = k >= 2 ? kFigH / 2 : -kFigH / 2;
    return C_POINTd{kCx + c * u - s * v, kCy + s * u + c * v};
  }
};

// 4 x 4 samples a pixel into gray 40 .. 230, thresholded at 128; four dots.
Figure Draw(double degrees) {
  const double t = degrees * std::numbers::pi / 180;
  Figure f{std::cos(t), std::sin(t)};
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 300; ++x) {
      int dark = 0;
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) dark += f.DarkAt(x - 0.375 + 0.25 * i, y - 0.375 + 0.25 * j);
      const int gray = 230 - (190 * dark) / 16;
      f.image.at(x, y) = gray < 128 ? 0 : 255;
      f.figure_pixels += gray < 128;
    }
  }
  for (auto [x, y] : {Pixel{5, 5}, {290, 12}, {8, 280}, {260, 291}})
    f.image.at(x, y) = f.image.at(x + 1, y) = f.image.at(x, y + 1) = 0;
  return f;
}

// Each corner near a true one; p1/p2 and p3/p4 opposite corners.
void ExpectCorners(const Figure& f, const C_POINTd (&found)[4], double tolerance) {
  int which[4];
  for (int k = 0; k < 4; ++k) {
    double best = 1e9;
    for (int t = 0; t < 4; ++t) {
      const double d = std::max(std::abs(found[k].x - f.Corner(t).x), std::abs(found[k].y - f.Corner(t).y));
      if (d < best) best = d, which[k] = t;
    }
    EXPECT_LE(best, tolerance) << "corner " << k + 1 << " at " << found[k].x << "," << found[k].y;
  }
  EXPECT_EQ((which[0] + 2) % 4, which[1]);
  EXPECT_EQ((which[2] + 2) % 4, which[3]);
}

// The figure is the largest contour, holding all its pixels. Its extreme
// pixels lie within 3 pixels of the corners; refined ones within 2.
TEST(FigureCorners, TurnedGridGivesItsFourCorners) {
  for (double degrees : {3.0, 11.0, 20.0, 27.5, 34.0, 41.0, -16.0}) {
    SCOPED_TRACE(testing::Message() << degrees << " degrees");
    Figure f = Draw(degrees);
    auto store = Found(f.image, 1);
    ASSERT_EQ(store->ReturnAllContours(), 5);  // the figure and four dots
    int figure = 0;
    for (int i = 1; i < 5; ++i) figure = store->AllPoints(i) > store->AllPoints(figure) ? i : figure;
    EXPECT_EQ(store->AllPoints(figure), f.figure_pixels);

    C_POINT corners[4] = {};
    ASSERT_EQ(store->Return4DistantPoints(corners[0], figure), 0);
    C_POINTd extreme[4], refined[4];
    for (int k = 0; k < 4; ++k) extreme[k] = C_POINTd{double(corners[k].x), double(corners[k].y)};
    ExpectCorners(f, extreme, 3.0);
    // Lines inside a filled frame all score alike, so refine on the outer
    // outline: figure pixels with a 4-neighbour in the background outside.
    Image ring = Image::Gray(300, 300);
    for (auto [x, y] : PointsOf(*store, figure)) {
      for (auto [dx, dy] : {Pixel{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        if (f.image.at(x + dx, y + dy) != 0 && !f.Within(x + dx, y + dy, 2)) ring.at(x, y) = 0;
    }
    auto outline = Found(ring, 1);
    ASSERT_EQ(outline->ReturnAllContours(), 1);  // one 8-connected ring
    ASSERT_EQ(outline->Return4DistantPoints(corners[0], 0), 0);
    F_LINE lines[4] = {};
    ASSERT_EQ(outline->Accuracy4RombPoints(corners[0], refined[0], lines[0], 0), 0);
    ExpectCorners(f, refined, 2.0);
  }
}

}  // namespace
}  // namespace vxtest
