#include <gtest/gtest.h>

#include "vexolith.h"

namespace {

constexpr F_LINE Line(int dir, double k, double b) { return F_LINE{3, dir, k, b}; }

TEST(Intersection, CrossesEveryPairOfForms) {
  struct Case {
    F_LINE first, second;
    double x, y;
  };
  const Case cases[] = {
      {Line(1, 1.0, 0.0), Line(1, -1.0, 4.0), 2.0, 2.0}, {Line(2, 0.5, 1.0), Line(2, -0.5, 3.0), 2.0, 2.0},
      {Line(1, 0.0, 2.0), Line(2, 0.0, 3.0), 3.0, 2.0},  {Line(2, 0.0, 3.0), Line(1, 0.0, 2.0), 3.0, 2.0},
      {Line(1, 0.5, 1.0), Line(2, -0.5, 6.0), 4.4, 3.2},
  };
  for (const Case& c : cases) {
    double x = -99.0, y = -99.0;
    EXPECT_EQ(Intersection(c.first, c.second, &x, &y), 0);
    EXPECT_DOUBLE_EQ(x, c.x);
    EXPECT_DOUBLE_EQ(y, c.y);
  }
}

TEST(Intersection, ParallelOrUnknownFormsWriteNothing) {
  double x = -99.0, y = -99.0;
  EXPECT_EQ(Intersection(Line(1, 0.5, 0.0), Line(1, 0.505, 3.0), &x, &y), 1);
  EXPECT_EQ(Intersection(Line(1, 1.0, 0.0), Line(2, 1.0, 0.0), &x, &y), 1);  // 1 - k1*k2 = 0
  EXPECT_EQ(Intersection(Line(2, 0.3, 0.0), Line(2, 0.3, 5.0), &x, &y), 1);
  EXPECT_EQ(Intersection(Line(0, 1.0, 0.0), Line(1, 2.0, 5.0), &x, &y), 0);
  EXPECT_EQ(x, -99.0);
  EXPECT_EQ(y, -99.0);
  // A caller that wants only one coordinate passes null for the other.
  EXPECT_EQ(Intersection(Line(1, 0.0, 2.0), Line(2, 0.0, 3.0), &x, nullptr), 0);
  EXPECT_EQ(x, 3.0);
}

}  // namespace
