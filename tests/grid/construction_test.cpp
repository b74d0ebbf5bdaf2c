// Laying grid lines over a quadrilateral, and the grid's lifecycle.
#include <gtest/gtest.h>

#include <climits>

#include "vexolith.h"

namespace {

// The 100 x 100 square with p1 at the origin and p3 below it.
constexpr FOUR_FIG_Pd kSquare{{0, 0}, {100, 100}, {0, 100}, {100, 0}};

void ExpectLine(const F_LINE& line, int dir, double k, double b) {
  EXPECT_EQ(line.dir, dir);
  EXPECT_EQ(line.k, k);
  EXPECT_EQ(line.b, b);
}

F_LINE Model(double k, double b) { return F_LINE{0, 0, k, b}; }

TEST(GridConstruction, EqualDivisionThreeWays) {
  GRID doubles(4, 2), ints(4, 2), spaced(4, 2);
  doubles.CreateGrid(kSquare);
  ints.CreateGrid(FOUR_FIG_P{{0, 0}, {100, 100}, {0, 100}, {100, 0}});
  spaced.CreateGrid(kSquare, Model(0, 25), Model(0, 50), Model(0, 50), Model(0, 25), nullptr);
  for (GRID* g : {&doubles, &ints, &spaced}) {
    ExpectLine(g->sides[0], 2, 0, 0);
    ExpectLine(g->sides[1], 1, 0, 100);
    ExpectLine(g->GetLine(0), 1, 0, 25);
    ExpectLine(g->GetLine(1), 1, 0, 50);
    ExpectLine(g->GetLine(2), 1, 0, 75);
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

TEST(GridConstruction, FreshGridIsZeroedAndGetLineStaysInside) {
  GRID g(3, 9);
  EXPECT_EQ(g.cells[0], 0.0);
  ExpectLine(g.GetLine(0), 0, 0, 0);
  g.CreateGrid(kSquare);
  ExpectLine(g.GetLine(4), 2, 0, 300.0 / 9);  // 3 * 100 / 9, not 3 * (100 / 9)
  for (int n : {-1, 10, INT_MAX, INT_MIN}) ExpectLine(g.GetLine(n), 0, 0, 0);
}

TEST(GridConstruction, UnusableCountsGiveGridWithoutCells) {
  // Counts below 1, a product past int range, and a sum past int range.
  for (auto [rows, columns] : {std::pair{0, 5}, {5, -3}, {1 << 20, 1 << 20}, {INT_MAX, INT_MAX}}) {
    SCOPED_TRACE(testing::Message() << rows << " x " << columns);
    GRID g(rows, columns);
    EXPECT_EQ(g.cells, nullptr);
    EXPECT_EQ(g.CreateGrid(kSquare), 0);
    EXPECT_EQ(g.corners.p2.x, 100);
    ExpectLine(g.GetLine(0), 0, 0, 0);
    bool flags[2] = {true, true};
    g.ReturnGrid(-1.0, flags[0]);
    g.ReturnGrid1(-1.0, flags[0]);
    EXPECT_TRUE(flags[0] && flags[1]);
    EXPECT_EQ(g.ReturnBlackCells(-1.0), 0);
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
  ExpectLine(target.GetLine(0), 1, 0, 25);
  EXPECT_EQ(target.cells[5], 0.75);
  target = target;
  ExpectLine(target.GetLine(3), 2, 0, 50);
  target = GRID(0, 0);
  EXPECT_EQ(target.lines, nullptr);
}

}  // namespace
