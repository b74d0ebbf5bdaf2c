// Built without builtins and linked with vexolith before the math library:
// the host's round() is still the C library's, vexolith::round is the library's.
#include <gtest/gtest.h>

#include <cmath>
#include <math.h>

#include "vexolith.h"

TEST(RoundHost, CLibraryRoundIsUnchanged) {
  volatile double v = -2.6;
  EXPECT_EQ(::round(v), -3.0);
  EXPECT_EQ(std::round(v), -3.0);
  volatile double neg_half = -0.5;
  EXPECT_EQ(::round(neg_half), -1.0);
}

TEST(RoundHost, LibraryRoundTruncatesNegatives) {
  volatile double v = -2.6;
  EXPECT_EQ(vexolith::round(v), -2);
  EXPECT_EQ(vexolith::round(2.5), 3);
  EXPECT_EQ(vexolith::round(2.4999), 2);
  EXPECT_EQ(vexolith::round(-0.5), 0);
}

TEST(RoundHost, LibraryRoundSaturatesOutsideTheIntRange) {
  EXPECT_EQ(vexolith::round(2147483647.7), 2147483647);
  EXPECT_EQ(vexolith::round(1e300), 2147483647);
  EXPECT_EQ(vexolith::round(-1e300), -2147483647 - 1);
  EXPECT_EQ(vexolith::round(std::nan("")), 0);
}
