#include <gtest/gtest.h>

#include <vector>

#include "vexolith.h"

namespace {

TEST(SampleStatistics, MeanDispersionCorrelation) {
  int a[] = {1, 2, 6}, neg[] = {-1, -2, -6};
  const double d = 14.0 / 3.0;
  EXPECT_EQ(M_e(3, a), 3.0);
  EXPECT_EQ(D_e(3, a, 3.0), d);  // divisor n
  EXPECT_DOUBLE_EQ(KPK_e(3, a, neg, 3.0, -3.0, d, d), -1.0);
  // No samples or a constant series: 0.0 rather than a division by zero.
  EXPECT_EQ(M_e(0, a), 0.0);
  EXPECT_EQ(KPK_e(3, a, a, 3.0, 3.0, 0.0, d), 0.0);
  EXPECT_EQ(pmu(0.0), -1.0);
}

TEST(SampleStatistics, Approximation) {
  auto fit = [](std::vector<int> y) { return Approximation(y.data(), static_cast<int>(y.size())); };
  EXPECT_EQ(fit({0, 2, 1, 3}).k, 0.8);
  EXPECT_EQ(fit({0, 2, 1, 3}).b, 0.3);
  EXPECT_EQ(fit({-7}).b, -7.0);  // one point: the horizontal line through it
  EXPECT_EQ(fit({}).type, 3);    // tagged like the lines built from points
  // Sums past 2^31 (from n = 1861, or with large samples) are not wrapped.
  std::vector<int> y(5000);
  for (int i = 0; i < 5000; ++i) y[i] = 3 * i + 7;
  EXPECT_EQ(fit(y).k, 3.0);
  EXPECT_EQ(fit(y).b, 7.0);
  EXPECT_EQ(fit({-2147483647 - 1, 2147483647}).k, 4294967295.0);
}

}  // namespace
