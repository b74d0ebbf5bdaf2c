#include <gtest/gtest.h>

#include <cmath>

#include "vexolith.h"

namespace {

void ExpectLine(F_LINE line, int dir, double k, double b) {
  EXPECT_EQ(line.type, 3);
  EXPECT_EQ(line.dir, dir);
  EXPECT_DOUBLE_EQ(line.k, k);
  EXPECT_DOUBLE_EQ(line.b, b);
}

TEST(MakeLine, FreeCoordinateIsTheOneThatChangesMore) {
  ExpectLine(MakeLine(0.0, 0.0, 10.0, 10.0), 1, 1.0, 0.0);  // equal spans stay y = k*x + b
  ExpectLine(MakeLine(0.0, 0.0, 3.0, 10.0), 2, 0.3, 0.0);
  ExpectLine(MakeLine(C_POINT{5, 2}, C_POINT{5, 9}), 2, 0.0, 5.0);
  ExpectLine(MakeLine(C_POINTd{10.0, 3.0}, C_POINTd{0.0, 5.0}), 1, -0.2, 5.0);
  F_LINE same = MakeLine(4.0, 4.0, 4.0, 4.0);
  EXPECT_EQ(same.dir, 1);
  EXPECT_TRUE(std::isnan(same.k) && std::isnan(same.b));
}

TEST(MakeParallelLine, KeepsFormAndSlope) {
  F_LINE steep{7, 2, 0.5, 1.0};
  F_LINE moved = MakeParallelLine(steep, 4.0, 2.0);
  EXPECT_EQ(moved.type, 7);
  EXPECT_EQ(moved.dir, 2);
  EXPECT_EQ(moved.b, 3.0);  // x = 0.5*y + b through (4, 2)
  EXPECT_EQ(MakeParallelLine(F_LINE{3, 1, 2.0, 0.0}, 1.0, 5.0).b, 3.0);
  // No equation to move: the line comes back unchanged.
  EXPECT_EQ(MakeParallelLine(F_LINE{3, 0, 2.0, 9.0}, 1.0, 5.0).b, 9.0);
}

TEST(PointConversion, RoundsHalvesUpAndRefusesUnrepresentable) {
  EXPECT_EQ(LengthLine(1.0, 1.0, 4.0, 5.0), 5.0);
  C_POINT p = PointDI(2.5, 3.4);
  EXPECT_EQ(p.x, 3);
  EXPECT_EQ(p.y, 3);
  for (double bad : {std::nan(""), 3e9, -3e9}) {
    C_POINT q = PointDI(1.0, bad);
    EXPECT_EQ(q.x, -1);
    EXPECT_EQ(q.y, -1);
  }
  C_POINTd d = PointID(-7, 2147483647);
  EXPECT_EQ(d.x, -7.0);
  EXPECT_EQ(d.y, 2147483647.0);
}

}  // namespace
