// Laying grid lines over a quadrilateral, the grid's lifecycle, and reading
// verdicts out of cell values.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "vexolith.h"

namespace {

// The 100 x 100 square with p1 at the origin and p3 below it.
constexpr FOUR_FIG_Pd kSquare{{0, 0}, {100, 100}, {0, 100}, {100, 0}};

void ExpectLine(const F_LINE& line, int dir, double k, double b) {
  EXPECT_TRUE(line.dir == dir && line.k == k && line.b == b) << line.dir << " " << line.k << " " << line.b;
}

F_LINE Model(double k, double b) { return F_LINE{0, 0, k, b}; }

// From double corners, int corners and a flat spacing model alike.
TEST(GridConstruction, EqualDivisionThreeWays) {
  GRID doubles(4, 2), ints(4, 2), spaced(4, 2);
  doubles.CreateGrid(kSquare);
  ints.CreateGrid(FOUR_FIG_P{{0, 0}, {100, 100}, {0, 100}, {100, 0}});
  spaced.CreateGrid(kSquare, Model(0, 25), Model(0, 50), Model(0, 50), Model(0, 25), nullptr);
  for (GRID* g : {&doubles, &ints, &spaced}) {
    for (int n = 0; n < 3; ++n) ExpectLine(g->GetLine(n), 1, 0, 25 * (n + 1));
    ExpectLine(g->GetLine(3), 2, 0, 50);
  }
}

TEST(GridConstruction, SpacedDivisionSumsTheModel) {
  // Side 0 grows 12, 14, 16 (model index from 1); side 2 grows 10, 12, 14.
  GRID g(5, 3);
  int offsets[4] = {1, 0, 0, 0};
  g.CreateGrid(kSquare, Model(2, 10), Model(10, 5), Model(10, 5), Model(2, 10), offsets);
  const double side0[3] = {12, 26, 42}, side2[3] = {10, 22, 36};
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(g.GetLine(n).b, side0[n]);
    EXPECT_DOUBLE_EQ(g.GetLine(n).k * 100 + g.GetLine(n).b, side2[n]);
  }
  // Columns count the model index down: the first cell takes index 2.
  ExpectLine(g.GetLine(4), 2, 0, 25);
  ExpectLine(g.GetLine(5), 2, 0, 40);
  // p3 above p1: distances are subtracted from p1's y.
  GRID up(4, 1);
  up.CreateGrid(FOUR_FIG_Pd{{0, 100}, {100, 0}, {0, 0}, {100, 100}}, Model(0, 25), Model(0, 1), Model(0, 1),
                Model(0, 25), nullptr);
  ExpectLine(up.GetLine(0), 1, 0, 75);
  ExpectLine(up.GetLine(2), 1, 0, 25);
}

// GetLine answers zeroed lines outside its range. Counts below 1, or whose
// product or sum passes int range, give no cells, and every call on such a
// grid is harmless.
TEST(GridConstruction, LineRangeAndUnusableCounts) {
  GRID g(3, 9);
  g.CreateGrid(kSquare);
  ExpectLine(g.GetLine(4), 2, 0, 300.0 / 9);  // 3 * 100 / 9, not 3 * (100 / 9)
  for (int n : {-1, 10, INT_MAX, INT_MIN}) ExpectLine(g.GetLine(n), 0, 0, 0);
  for (auto [rows, columns] : {std::pair{0, 5}, {5, -3}, {1 << 20, 1 << 20}, {INT_MAX, INT_MAX}}) {
    GRID none(rows, columns);
    EXPECT_EQ(none.cells, nullptr);
    EXPECT_EQ(none.CreateGrid(kSquare), 0);
    ExpectLine(none.GetLine(0), 0, 0, 0);
    bool flags[2] = {true, true};
    none.ReturnGrid(-1.0, flags[0]);
    none.ReturnGrid1(-1.0, flags[0]);
    EXPECT_TRUE(flags[0] && flags[1] && none.ReturnBlackCells(-1.0) == 0) << rows << " x " << columns;
  }
}

TEST(GridConstruction, AssignmentMakesIndependentCopy) {
  GRID target(1, 1);
  {
    GRID source(4, 2);
    source.CreateGrid(kSquare);
    source.cells[5] = 0.75;
    target = source;
    source.CreateGrid(FOUR_FIG_Pd{{0, 0}, {40, 40}, {0, 40}, {40, 0}});
    source.cells[5] = 0.25;
  }
  GRID& same = target;
  target = same;
  ExpectLine(target.GetLine(0), 1, 0, 25);
  EXPECT_EQ(target.cells[5], 0.75);
}

std::vector<int> Flags(GRID& g, double threshold, bool by_rows) {
  bool out[7] = {true, true, true, true, true, true, true};  // the last one is never written
  by_rows ? g.ReturnGrid1(threshold, out[0]) : g.ReturnGrid(threshold, out[0]);
  return std::vector<int>(out, out + 7);
}

TEST(GridReadout, OrdersThresholdAndCount) {
  // Two rows, three columns; by (row, column): (0,0) 0.9, (1,0) 0.1,
  // (0,1) 0.2, (1,1) 0.8, (0,2) 0.6, (1,2) 0.4.
  GRID g(2, 3);
  const double values[6] = {0.9, 0.1, 0.2, 0.8, 0.6, 0.4};
  for (int c = 0; c < 6; ++c) g.cells[c] = values[c];
  EXPECT_EQ(Flags(g, 0.5, false), (std::vector<int>{1, 0, 0, 1, 1, 0, 1}));
  EXPECT_EQ(Flags(g, 0.5, true), (std::vector<int>{1, 0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(Flags(g, 0.7, true), (std::vector<int>{0, 0, 1, 0, 1, 0, 1}));  // each row from its last column
  EXPECT_EQ(g.ReturnBlackCells(0.5), 3);
  EXPECT_EQ(g.ReturnBlackCells(0.9), 0);  // equal is white
  g.cells[1] = std::nan("");
  g.cells[2] = 0.0;
  EXPECT_EQ(Flags(g, -1.0, false), (std::vector<int>{1, 0, 1, 1, 1, 1, 1}));
  EXPECT_EQ(g.ReturnBlackCells(-1e300), 5);
}

}  // namespace
