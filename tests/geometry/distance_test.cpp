#include <gtest/gtest.h>

#include <cmath>

#include "vexolith.h"

namespace {

TEST(RToLine, FlatLinesUseThePlainGap) {
  EXPECT_EQ(RToLine(F_LINE{3, 1, 0.0, 1.0}, 3.0, 4.0), 3.0);
  EXPECT_EQ(RToLine(F_LINE{3, 1, 0.0005, 1.0}, 3.0, 4.0), 3.0);  // below 0.001: taken as horizontal
  EXPECT_EQ(RToLine(F_LINE{3, 2, -0.0009, 2.0}, C_POINTd{7.0, 100.0}), 5.0);
}

TEST(RToLine, SlantedLinesGiveThePerpendicularDistance) {
  const double expected = std::sqrt(0.5);
  EXPECT_NEAR(RToLine(F_LINE{3, 1, 1.0, 0.0}, 0.0, 1.0), expected, 1e-15);
  EXPECT_NEAR(RToLine(F_LINE{3, 2, 1.0, 0.0}, 1.0, 0.0), expected, 1e-15);
  // 3-4-5 triangle: y = 0.75x, point (0, 3): gaps 3 and 4, height 12/5.
  EXPECT_NEAR(RToLine(F_LINE{3, 1, 0.75, 0.0}, 0.0, 3.0), 2.4, 1e-14);
}

TEST(RToLine, PointOnTheLineIsAtZeroNotNaN) {
  EXPECT_EQ(RToLine(F_LINE{3, 1, 0.5, 0.0}, 2.0, 1.0), 0.0);
  EXPECT_EQ(RToLine(F_LINE{3, 2, 0.5, 0.0}, 1.0, 2.0), 0.0);
  EXPECT_TRUE(std::isnan(RToLine(F_LINE{3, 5, 0.5, 0.0}, 1.0, 2.0)));  // no equation
}

}  // namespace
