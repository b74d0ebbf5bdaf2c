// Measuring cells: weighted share of black pixels, result codes, drawings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "support/images.h"
#include "vexolith.h"

namespace {

using vxtest::Image;

// A diamond around (10, 10) whose diagonals have length 4: r = 2.
constexpr FOUR_FIG_Pd kDiamond{{10, 8}, {10, 12}, {12, 10}, {8, 10}};

double Measured(const Image& image, FOUR_FIG_Pd corners = kDiamond) {
  GRID g(1, 1);
  g.CreateGrid(corners);
  EXPECT_EQ(g.RecogCells(image.img()), 0);
  return g.cells[0];
}

// Black at the centre weighs 1, at distance 3 (past r) -0.5; a window cut by
// the image's last row still counts that row; any non-zero byte is white.
TEST(CellRecognition, WeightedShareOfBlack) {
  Image image = Image::Gray(20, 20);
  image.at(10, 10) = 0;
  EXPECT_EQ(Measured(image), 0.5);
  image.at(10, 10) = 255;
  image.at(8, 9) = 0;
  EXPECT_EQ(Measured(image), -0.25);
  EXPECT_EQ(Measured(Image::Gray(20, 20, 0)), 1.0);
  EXPECT_EQ(Measured(Image::Gray(20, 20, 7)), 0.0);
  Image bottom = Image::Gray(20, 10);
  for (int x = 0; x < 20; ++x) bottom.at(x, 9) = 0;
  EXPECT_GT(Measured(bottom, FOUR_FIG_Pd{{0, 0}, {10, 10}, {0, 10}, {10, 0}}), 0.0);
}

// Each cell's weights come from its own size: column 0 is a big cell (r = 30),
// column 1 a small one (r ~ 5.4) centred near (50, 30). Black lies only at
// city-block distance 7 or more from that centre, beyond the small cell's
// r + 1, so it weighs 0 there, although the big cell measured first gave
// distance 7 a weight of 0.77.
TEST(CellRecognition, CellValueIgnoresLargerCellsBefore) {
  Image image = Image::Gray(100, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) image.at(x, y) = std::abs(x - 50) + std::abs(y - 30) >= 7 ? 0 : 255;
  GRID pair(1, 2);
  pair.CreateGrid(FOUR_FIG_Pd{{0, 0}, {52, 34}, {0, 60}, {52, 26}}, F_LINE{0, 0, 0, 1}, F_LINE{0, 0, 0, 48},
                  F_LINE{0, 0, 0, 48}, F_LINE{0, 0, 0, 1}, nullptr);
  ASSERT_EQ(pair.RecogCells(image.img()), 0);
  EXPECT_GT(pair.cells[0], 0.1);
  EXPECT_EQ(pair.cells[1], 0.0);
  EXPECT_EQ(Measured(image, FOUR_FIG_Pd{{48, 24}, {52, 34}, {48, 36}, {52, 26}}), 0.0);
}

TEST(CellRecognition, FailuresKeepCellsMeasuredBefore) {
  GRID g(2, 2);
  // Column 1 reaches x = -400: column 0 is measured, the rest kept.
  g.CreateGrid(FOUR_FIG_Pd{{100, 0}, {-400, 40}, {100, 40}, {-400, 0}});
  for (int c = 0; c < 4; ++c) g.cells[c] = 7.0;
  EXPECT_EQ(g.RecogCells(Image::Color(200, 50).img()), 1);
  EXPECT_EQ(g.cells[0], 7.0);
  EXPECT_EQ(g.RecogCells(Image::Gray(200, 50).img()), 2);
  EXPECT_TRUE(g.cells[1] == 0.0 && g.cells[2] == 7.0);
  // Shorter diagonal 70 against width 20 (the image is tall enough that no
  // window row reaches past both width and height).
  GRID big(1, 1);
  big.CreateGrid(FOUR_FIG_Pd{{0, 0}, {50, 50}, {0, 50}, {50, 0}});
  big.cells[0] = 7.0;
  EXPECT_EQ(big.RecogCells(Image::Gray(20, 100).img()), 3);
  EXPECT_EQ(big.cells[0], 7.0);
  // Never built: zeroed lines have no form to intersect.
  EXPECT_EQ(GRID(1, 1).RecogCells(Image::Gray(20, 20).img()), 2);
}

// All corners equal: every line is NaN, so is the value, and it reads white.
// Corners far outside the image (y is not range-checked) fail without
// drawing anything.
TEST(CellRecognition, DegenerateAndFarCellsStayDefined) {
  Image image = Image::Gray(200, 50, 0), display = Image::Color(200, 50);
  GRID g(1, 1);
  g.CreateGrid(FOUR_FIG_Pd{{5, 5}, {5, 5}, {5, 5}, {5, 5}});
  EXPECT_EQ(g.RecogCells(image.img(), display.img()), 0);
  EXPECT_TRUE(std::isnan(g.cells[0]));
  EXPECT_EQ(g.ReturnBlackCells(-1.0), 0);
  g.CreateGrid(FOUR_FIG_Pd{{0, 1e12}, {100, 1e12 + 100}, {0, 1e12 + 100}, {100, 1e12}});
  EXPECT_EQ(g.RecogCells(image.img(), display.img()), 2);
  g.CreateGrid(FOUR_FIG_Pd{{0, -1e300}, {100, 1e300}, {0, 1e300}, {100, -1e300}});
  EXPECT_EQ(g.RecogCells(image.img(), display.img()), 3);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(display.at(x, y, 2), 255) << x << "," << y;
}

// The display gets each cell's outline, and its diagonals when the value is
// at least 0.5.
TEST(CellRecognition, DisplayGetsOutlinesAndCrosses) {
  GRID g(1, 1);
  g.CreateGrid(kDiamond);
  for (bool black : {true, false}) {
    Image image = Image::Gray(20, 20), display = Image::Color(20, 20);
    image.at(10, 10) = black ? 0 : 255;  // value 0.5 or 0
    ASSERT_EQ(g.RecogCells(image.img(), display.img()), 0);
    auto bgr = [&](int x, int y) {
      return display.at(x, y, 0) << 16 | display.at(x, y, 1) << 8 | display.at(x, y, 2);
    };
    for (auto [x, y] : {std::pair{11, 9}, {11, 11}, {9, 11}, {9, 9}}) EXPECT_EQ(bgr(x, y), 0x000040);
    EXPECT_EQ(bgr(10, 9), black ? 0xff0000 : 0xffffff);  // diagonal p1 -> p2
    EXPECT_EQ(bgr(9, 10), black ? 0xff0000 : 0xffffff);  // diagonal p3 -> p4
    EXPECT_EQ(bgr(3, 3), 0xffffff);
  }
}

}  // namespace
