#include <gtest/gtest.h>

#include <cmath>

#include "image/buffer.h"
#include "vexolith.h"

TEST(Numeric, RoundHalvesAndTies) {
  EXPECT_EQ(vexolith::round(2.5), 3);
  EXPECT_EQ(vexolith::round(2.4999), 2);
  EXPECT_EQ(vexolith::round(0.5), 1);
  EXPECT_EQ(vexolith::round(-2.6), -2);
  EXPECT_TRUE(std::signbit(absf(-0.0)));       // -0.0 is not below 0
  EXPECT_TRUE(std::signbit(max_(0.0, -0.0)));  // equal arguments give the second
  EXPECT_TRUE(std::signbit(min_(0.0, -0.0)));
}

TEST(Numeric, StrideRuleIn64Bits) {
  EXPECT_EQ(vx::StrideFor(5, 3), 16);
  EXPECT_EQ(vx::StrideFor(4, 3), 12);
  EXPECT_EQ(vx::StrideFor(5, 1), 8);
  EXPECT_EQ(vx::StrideFor(8, 1), 8);
  EXPECT_EQ(vx::NewImage(1'000'000'000, 1, false).valid, 0);  // stride 3e9: refused, not wrapped
  EXPECT_EQ(vx::NewImage(5, 0, true).valid, 0);
}
