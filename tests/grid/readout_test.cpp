// Black/white verdicts from cell values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "vexolith.h"

namespace {

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
