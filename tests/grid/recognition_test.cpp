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

double SingleCell(const Image& image) {
  GRID g(1, 1);
  g.CreateGrid(kDiamond);
  EXPECT_EQ(g.RecogCells(image.img()), 0);
  return g.cells[0];
}

TEST(CellRecognition, WeightedShareOfBlack) {
  Image image = Image::Gray(20, 20);
  image.at(10, 10) = 0;
  EXPECT_EQ(SingleCell(image), 0.5);
  image.at(10, 10) = 255;
  image.at(8, 9) = 0;  // distance 3 weighs -0.5
  EXPECT_EQ(SingleCell(image), -0.25);
  EXPECT_EQ(SingleCell(Image::Gray(20, 20, 0)), 1.0);

  // A window cut by the image's last row still counts that row.
  GRID edge(1, 1);
  edge.CreateGrid(FOUR_FIG_Pd{{0, 0}, {10, 10}, {0, 10}, {10, 0}});
  Image bottom = Image::Gray(20, 10);
  for (int x = 0; x < 20; ++x) bottom.at(x, 9) = 0;
  ASSERT_EQ(edge.RecogCells(bottom.img()), 0);
  EXPECT_GT(edge.cells[0], 0.0);

  for (unsigned char fill : {0, 7}) {  // any non-zero byte is white
    GRID g(4, 2);
    g.CreateGrid(FOUR_FIG_Pd{{0, 0}, {100, 100}, {0, 100}, {100, 0}});
    ASSERT_EQ(g.RecogCells(Image::Gray(120, 120, fill).img()), 0);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(g.cells[c], fill == 0 ? 1.0 : 0.0) << c;
  }
}

TEST(CellRecognition, FailuresKeepCellsMeasuredBefore) {
  GRID g(2, 2);
  // Column 1 reaches x = -400: column 0 is measured, the rest kept.
  g.CreateGrid(FOUR_FIG_Pd{{100, 0}, {-400, 40}, {100, 40}, {-400, 0}});
  for (int c = 0; c < 4; ++c) g.cells[c] = 7.0;
  EXPECT_EQ(g.RecogCells(Image::Color(200, 50).img()), 1);
  EXPECT_EQ(g.cells[0], 7.0);
  EXPECT_EQ(g.RecogCells(Image::Gray(200, 50).img()), 2);
  EXPECT_EQ(g.cells[1], 0.0);
  EXPECT_EQ(g.cells[2], 7.0);

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

TEST(CellRecognition, DegenerateAndFarCellsStayDefined) {
  Image image = Image::Gray(200, 50, 0);
  Image display = Image::Color(200, 50);
  GRID g(1, 1);
  // All corners equal: every line is NaN, so is the value, and it reads white.
  g.CreateGrid(FOUR_FIG_Pd{{5, 5}, {5, 5}, {5, 5}, {5, 5}});
  EXPECT_EQ(g.RecogCells(image.img(), display.img()), 0);
  EXPECT_TRUE(std::isnan(g.cells[0]));
  EXPECT_EQ(g.ReturnBlackCells(-1.0), 0);
  // Corners far below the image (y is not range-checked): no window rows.
  g.CreateGrid(FOUR_FIG_Pd{{0, 1e12}, {100, 1e12 + 100}, {0, 1e12 + 100}, {100, 1e12}});
  EXPECT_EQ(g.RecogCells(image.img(), display.img()), 2);
  g.CreateGrid(FOUR_FIG_Pd{{0, -1e300}, {100, 1e300}, {0, 1e300}, {100, -1e300}});
  EXPECT_EQ(g.RecogCells(image.img(), display.img()), 3);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 200; ++x) ASSERT_EQ(display.at(x, y, 2), 255) << x << "," << y;
  }
}

TEST(CellRecognition, DisplayGetsOutlinesAndCrosses) {
  Image image = Image::Gray(20, 20);
  image.at(10, 10) = 0;  // value exactly 0.5: crossed
  Image display = Image::Color(20, 20), plain = Image::Color(20, 20);
  GRID g(1, 1);
  g.CreateGrid(kDiamond);
  ASSERT_EQ(g.RecogCells(image.img(), display.img()), 0);
  image.at(10, 10) = 255;  // value 0: outline only
  ASSERT_EQ(g.RecogCells(image.img(), plain.img()), 0);
  auto bgr = [](const Image& im, int x, int y) {
    return im.at(x, y, 0) << 16 | im.at(x, y, 1) << 8 | im.at(x, y, 2);
  };
  for (auto [x, y] : {std::pair{11, 9}, {11, 11}, {9, 11}, {9, 9}}) EXPECT_EQ(bgr(display, x, y), 0x000040);
  EXPECT_EQ(bgr(display, 10, 9), 0xff0000);  // diagonal p1 -> p2
  EXPECT_EQ(bgr(display, 9, 10), 0xff0000);  // diagonal p3 -> p4
  EXPECT_EQ(bgr(display, 3, 3), 0xffffff);
  EXPECT_EQ(bgr(plain, 11, 9), 0x000040);
  EXPECT_EQ(bgr(plain, 10, 9), 0xffffff);
}

TEST(CellRecognition, CellValueIgnoresLargerCellsBefore) {
  // Column 0 is a big cell (r = 30), column 1 a small one (r ~ 5.4) centred
  // near (50, 30). Black lies only at city-block distance 7 or more from that
  // centre, beyond the small cell's r + 1, so it weighs 0 there, although the
  // big cell measured first gave distance 7 a weight of 0.77.
  Image image = Image::Gray(100, 60);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) image.at(x, y) = std::abs(x - 50) + std::abs(y - 30) >= 7 ? 0 : 255;
  }
  GRID pair(1, 2), alone(1, 1);
  pair.CreateGrid(FOUR_FIG_Pd{{0, 0}, {52, 34}, {0, 60}, {52, 26}}, F_LINE{0, 0, 0, 1}, F_LINE{0, 0, 0, 48},
                  F_LINE{0, 0, 0, 48}, F_LINE{0, 0, 0, 1}, nullptr);
  alone.CreateGrid(FOUR_FIG_Pd{{48, 24}, {52, 34}, {48, 36}, {52, 26}});
  ASSERT_EQ(pair.RecogCells(image.img()), 0);
  ASSERT_EQ(alone.RecogCells(image.img()), 0);
  EXPECT_GT(pair.cells[0], 0.1);
  EXPECT_EQ(alone.cells[0], 0.0);
  EXPECT_EQ(pair.cells[1], alone.cells[0]);
}

}  // namespace
