// Grid lines over a quadrilateral, copies, measuring cells and reading verdicts.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

using vxtest::Image;

constexpr FOUR_FIG_Pd kSquare{{0, 0}, {100, 100}, {0, 100}, {100, 0}};  // p1 at the origin, p3 below

// A line's form, slope and intercept, compared as one value.
using Form = std::tuple<int, double, double>;
Form FormOf(const F_LINE& line) { return {line.dir, line.k, line.b}; }

F_LINE Model(double k, double b) { return F_LINE{0, 0, k, b}; }

// From double corners and a flat spacing model alike.
TEST(GridConstruction, EqualDivisionTwoWays) {
  GRID doubles(4, 2), spaced(4, 2);
  doubles.CreateGrid(kSquare);
  spaced.CreateGrid(kSquare, Model(0, 25), Model(0, 50), Model(0, 50), Model(0, 25), nullptr);
  for (GRID* g : {&doubles, &spaced}) {
    for (int n = 0; n < 3; ++n) EXPECT_EQ(FormOf(g->GetLine(n)), Form(1, 0, 25 * (n + 1)));
    EXPECT_EQ(FormOf(g->GetLine(3)), Form(2, 0, 50));
  }
}

TEST(GridConstruction, SpacedDivisionSumsTheModel) {
  // Side 0 grows 12, 14, 16 (model index from 1); side 2 grows 10, 12, 14. Columns
  // count the model index down: the first cell takes index 2.
  GRID g(5, 3);
  int offsets[4] = {1, 0, 0, 0};
  g.CreateGrid(kSquare, Model(2, 10), Model(10, 5), Model(10, 5), Model(2, 10), offsets);
  const double side0[3] = {12, 26, 42}, side2[3] = {10, 22, 36};
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(g.GetLine(n).b, side0[n]) << "line " << n << " on side 0";
    EXPECT_NEAR(g.GetLine(n).k * 100 + g.GetLine(n).b, side2[n], 1e-9) << "line " << n << " on side 2";
  }
  for (int n : {4, 5}) EXPECT_EQ(FormOf(g.GetLine(n)), Form(2, 0, n == 4 ? 25 : 40));
}

// Out-of-range lines are zeroed; counts < 1 or whose product or sum overflow int give no cells.
TEST(GridConstruction, LineRangeAndUnusableCounts) {
  GRID g(3, 9);
  g.CreateGrid(kSquare);
  EXPECT_EQ(FormOf(g.GetLine(4)), Form(2, 0, 300.0 / 9));  // 3 * 100 / 9, not 3 * (100 / 9)
  for (int n : {-1, 10, INT_MAX, INT_MIN}) EXPECT_EQ(FormOf(g.GetLine(n)), Form(0, 0, 0));
  for (auto [rows, columns] : {std::pair{0, 5}, {5, -3}, {1 << 20, 1 << 20}, {INT_MAX, INT_MAX}}) {
    GRID none(rows, columns);
    SCOPED_TRACE(testing::Message() << rows << " x " << columns);
    EXPECT_EQ(none.cells, nullptr);
    EXPECT_EQ(none.CreateGrid(kSquare), 0);
    bool flag = true;
    none.ReturnGrid(-1.0, flag), none.ReturnGrid1(-1.0, flag);
    EXPECT_TRUE(flag) << "no flag written";
    EXPECT_EQ(none.ReturnBlackCells(-1.0), 0);
  }
}

TEST(GridConstruction, AssignmentMakesIndependentCopy) {
  GRID target(1, 1);
  {
    GRID source(4, 2);
    source.CreateGrid(kSquare);
    source.cells[5] = 0.75;
    target = source;
    source.cells[5] = 0.25;
  }
  EXPECT_EQ(FormOf(target.GetLine(0)), Form(1, 0, 25));
  EXPECT_EQ(target.cells[5], 0.75);
}

std::vector<int> Flags(GRID& g, double threshold, bool by_rows) {
  bool out[7] = {true, true, true, true, true, true, true};  // the last one is never written
  by_rows ? g.ReturnGrid1(threshold, out[0]) : g.ReturnGrid(threshold, out[0]);
  return std::vector<int>(out, out + 7);
}

TEST(GridReadout, OrdersThresholdAndCount) {
  GRID g(2, 3);  // cells column by column: (0,0) 0.9, (1,0) 0.1, (0,1) 0.2, ...
  const double values[6] = {0.9, 0.1, 0.2, 0.8, 0.6, 0.4};
  for (int i = 0; i < 6; ++i) g.cells[i] = values[i];
  EXPECT_EQ(Flags(g, 0.5, false), (std::vector<int>{1, 0, 0, 1, 1, 0, 1}));
  EXPECT_EQ(Flags(g, 0.5, true), (std::vector<int>{1, 0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(Flags(g, 0.7, true), (std::vector<int>{0, 0, 1, 0, 1, 0, 1}));  // each row from its last column
  EXPECT_EQ(g.ReturnBlackCells(0.5), 3);
  EXPECT_EQ(g.ReturnBlackCells(0.9), 0) << "equal is white";
  g.cells[1] = std::nan(""), g.cells[2] = 0.0;
  EXPECT_EQ(Flags(g, -1.0, false), (std::vector<int>{1, 0, 1, 1, 1, 1, 1}));
  EXPECT_EQ(g.ReturnBlackCells(-1e300), 5);
}

constexpr FOUR_FIG_Pd kDiamond{{10, 8}, {10, 12}, {12, 10}, {8, 10}};  // around (10, 10), diagonals 4: r = 2

double Measured(const Image& image, FOUR_FIG_Pd corners = kDiamond) {
  GRID g(1, 1);
  g.CreateGrid(corners);
  EXPECT_EQ(g.RecogCells(image.img()), 0);
  return g.cells[0];
}

// Black at the centre weighs 1, at distance 3 (past r) -0.5; a window cut by
// the image's last row still counts that row.
TEST(CellRecognition, WeightedShareOfBlack) {
  Image image = Image::Gray(20, 20);
  image.at(10, 10) = 0;
  EXPECT_EQ(Measured(image), 0.5);
  image.at(10, 10) = 255, image.at(8, 9) = 0;
  EXPECT_EQ(Measured(image), -0.25);
  EXPECT_EQ(Measured(Image::Gray(20, 20, 0)), 1.0);
  Image bottom = Image::Gray(20, 10);
  for (int x = 0; x < 20; ++x) bottom.at(x, 9) = 0;
  EXPECT_GT(Measured(bottom, FOUR_FIG_Pd{{0, 0}, {10, 10}, {0, 10}, {10, 0}}), 0.0);
}

// Weights come from each cell's own size: black only at city-block distance
// >= 7 from the small cell's centre (50, 30) is past its r + 1 (r ~ 5.4), so
// weighs 0, though the big cell (r = 30) measured first gave 7 a weight 0.77.
TEST(CellRecognition, CellValueIgnoresLargerCellsBefore) {
  Image image = Image::Gray(100, 60);
  for (int i = 0; i < 6000; ++i)
    image.at(i % 100, i / 100) = std::abs(i % 100 - 50) + std::abs(i / 100 - 30) >= 7 ? 0 : 255;
  GRID pair(1, 2);
  pair.CreateGrid(FOUR_FIG_Pd{{0, 0}, {52, 34}, {0, 60}, {52, 26}}, F_LINE{0, 0, 0, 1}, F_LINE{0, 0, 0, 48},
                  F_LINE{0, 0, 0, 48}, F_LINE{0, 0, 0, 1}, nullptr);
  ASSERT_EQ(pair.RecogCells(image.img()), 0);
  EXPECT_GT(pair.cells[0], 0.1) << "big cell";
  EXPECT_EQ(pair.cells[1], 0.0) << "small cell";
}

TEST(CellRecognition, FailuresKeepCellsMeasuredBefore) {
  GRID g(2, 2);
  // Column 1 reaches x = -400: column 0 is measured, the rest kept.
  g.CreateGrid(FOUR_FIG_Pd{{100, 0}, {-400, 40}, {100, 40}, {-400, 0}});
  for (int c = 0; c < 4; ++c) g.cells[c] = 7.0;
  EXPECT_EQ(g.RecogCells(Image::Color(200, 50).img()), 1);
  EXPECT_EQ(g.cells[0], 7.0) << "refused picture, cells kept";
  EXPECT_EQ(g.RecogCells(Image::Gray(200, 50).img()), 2);
  EXPECT_EQ(g.cells[1], 0.0) << "column 0 measured";
  EXPECT_EQ(g.cells[2], 7.0) << "column 1 kept";
  // Shorter diagonal 70 against width 20 (tall, so no row passes both).
  GRID big(1, 1);
  big.CreateGrid(FOUR_FIG_Pd{{0, 0}, {50, 50}, {0, 50}, {50, 0}});
  big.cells[0] = 7.0;
  EXPECT_EQ(big.RecogCells(Image::Gray(20, 100).img()), 3);
  EXPECT_EQ(big.cells[0], 7.0);
  // Never built: zeroed lines have no form to intersect. Equal corners: NaN
  // lines and value, read as white.
  EXPECT_EQ(GRID(1, 1).RecogCells(Image::Gray(20, 20).img()), 2);
  big.CreateGrid(FOUR_FIG_Pd{{5, 5}, {5, 5}, {5, 5}, {5, 5}});
  EXPECT_EQ(big.RecogCells(Image::Gray(200, 50, 0).img()), 0);
  EXPECT_TRUE(std::isnan(big.cells[0]));
  EXPECT_EQ(big.ReturnBlackCells(-1.0), 0) << "NaN reads as white";
}

// The display gets each cell's outline, and its diagonals for values >= 0.5.
TEST(CellRecognition, DisplayGetsOutlinesAndCrosses) {
  GRID g(1, 1);
  g.CreateGrid(kDiamond);
  for (bool black : {true, false}) {
    Image image = Image::Gray(20, 20), display = Image::Color(20, 20);
    image.at(10, 10) = black ? 0 : 255;  // value 0.5 or 0
    ASSERT_EQ(g.RecogCells(image.img(), display.img()), 0);
    EXPECT_NE(display.at(11, 9, 2), 255);                                          // outline
    EXPECT_EQ(display.at(10, 9, 0) == 255 && display.at(10, 9, 2) != 255, black);  // diagonal
  }
}

// Gray records that cannot be read (null bits, a stride 0, negative or below
// the width) are refused with 1 and leave the cells alone; a display with
// such a stride gets no drawing, however far its rows would reach.
TEST(CellRecognition, UnreadableRecordsAreRefused) {
  GRID g(1, 1);
  g.CreateGrid(kDiamond);
  Image image = Image::Gray(20, 20, 0);
  for (int stride : {0, -20, 19}) {
    IMG bad = image.img();
    bad.stride = stride;
    g.cells[0] = 7.0;
    EXPECT_EQ(g.RecogCells(bad), 1) << stride;
    EXPECT_EQ(g.cells[0], 7.0) << stride;
  }
  IMG null_bits = image.img();
  null_bits.bits = nullptr;
  EXPECT_EQ(g.RecogCells(null_bits), 1) << "null bits";
  std::vector<unsigned char> block(3 * 60 * 20, 200);
  IMG display{block.data() + 60 * 20, 20, -60, 20, 1, 0};
  EXPECT_EQ(g.RecogCells(image.img(), display), 0);
  EXPECT_EQ(std::count(block.begin(), block.end(), 200), static_cast<long>(block.size()))
      << "display bytes painted";
}

}  // namespace
