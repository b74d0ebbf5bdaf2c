// A host that includes the public header beside the math and algorithm
// headers compiles without warnings (this file is built with -Werror) and can
// use the records and names together with the standard ones.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <math.h>

#include "vexolith.h"

#include <gtest/gtest.h>

TEST(HeaderHost, StandardAndLibraryNamesCoexist) {
  EXPECT_EQ(std::max(1, 2), 2);
  EXPECT_EQ(std::abs(-3), 3);
  EXPECT_EQ(round(2.5), 3.0);
  EXPECT_EQ(vexolith::round(2.5), 3);
  EXPECT_EQ(max_(1.0, 2.0), 2.0);
  EXPECT_EQ(min_(1.0, 2.0), 1.0);
  EXPECT_EQ(absf(-1.5), 1.5);
  EXPECT_EQ(sizeof(IMG), 24u);
  EXPECT_EQ(sizeof(F_LINE), 24u);
  EXPECT_EQ(sizeof(RECT), 16u);
}
