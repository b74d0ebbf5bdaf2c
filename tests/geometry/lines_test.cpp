#include <gtest/gtest.h>

#include <cmath>

#include "vexolith.h"

namespace {

constexpr F_LINE Line(int dir, double k, double b) { return F_LINE{3, dir, k, b}; }

TEST(Lines, MakeLineFormsDistancesAndPoints) {
  EXPECT_EQ(MakeLine(0.0, 0.0, 10.0, 10.0).dir, 1);  // equal spans stay y = k*x + b
  F_LINE steep = MakeLine(C_POINT{3, 10}, C_POINT{0, 0});
  EXPECT_EQ(steep.dir, 2);
  EXPECT_DOUBLE_EQ(steep.k, 0.3);
  EXPECT_EQ(MakeLine(C_POINTd{10.0, 3.0}, C_POINTd{0.0, 5.0}).b, 5.0);
  EXPECT_EQ(MakeParallelLine(Line(2, 0.5, 1.0), 4.0, 2.0).b, 3.0);
  EXPECT_EQ(RToLine(Line(1, 0.0005, 1.0), 3.0, 4.0), 3.0);  // below 0.001: taken as horizontal
  EXPECT_NEAR(RToLine(Line(2, 0.75, 0.0), C_POINTd{3.0, 0.0}), 2.4, 1e-14);
  EXPECT_EQ(RToLine(Line(1, 0.5, 0.0), 2.0, 1.0), 0.0);  // both gaps 0: not 0/0
  EXPECT_EQ(PointDI(2.5, 3.4).x, 3);
  EXPECT_EQ(PointDI(1.0, std::nan("")).x, -1);  // no pixel: the failed point
  EXPECT_EQ(PointDI(3e9, 1.0).y, -1);
}

TEST(Lines, IntersectionOfMixedFormsAndParallelsLeftUntouched) {
  double x = 0, y = 0;
  EXPECT_EQ(Intersection(Line(1, 0.5, 1.0), Line(2, -0.5, 6.0), &x, &y), 0);
  EXPECT_DOUBLE_EQ(x, 4.4);
  EXPECT_DOUBLE_EQ(y, 3.2);
  EXPECT_EQ(Intersection(Line(2, -0.5, 6.0), Line(1, 0.5, 1.0), &x, &y), 0);
  EXPECT_DOUBLE_EQ(x, 4.4);
  x = y = -9;
  EXPECT_EQ(Intersection(Line(1, 0.5, 0.0), Line(1, 0.505, 3.0), &x, &y), 1);
  EXPECT_EQ(Intersection(Line(1, 1.0, 0.0), Line(2, 1.0, 0.0), &x, &y), 1);  // 1 - k1*k2 = 0
  EXPECT_EQ(Intersection(Line(0, 1.0, 0.0), Line(1, 2.0, 5.0), &x, &y), 0);
  EXPECT_EQ(x + y, -18);
}

}  // namespace
