#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "vexolith.h"

namespace {

TEST(SampleStatistics, MeanAndPopulationDispersion) {
  int a[] = {1, 2, 6};
  double d[] = {1.0, 2.0, 6.0};
  EXPECT_EQ(M_e(3, a), 3.0);
  EXPECT_EQ(M_e(3, d), 3.0);
  EXPECT_EQ(D_e(3, a, 3.0), 14.0 / 3.0);  // divisor n, not n - 1
  EXPECT_EQ(D_e(3, d, 2.0), 17.0 / 3.0);  // about the caller's mean
}

TEST(SampleStatistics, CorrelationOfAnArrayWithItselfAndItsNegation) {
  std::vector<int> a = {3, 9, 4, 4, 12, 0, 7};
  std::vector<int> neg;
  for (int v : a) neg.push_back(-v);
  const int n = static_cast<int>(a.size());
  const double ma = M_e(n, a.data()), da = D_e(n, a.data(), ma);
  const double mn = M_e(n, neg.data()), dn = D_e(n, neg.data(), mn);
  EXPECT_DOUBLE_EQ(KPK_e(n, a.data(), a.data(), ma, ma, da, da), 1.0);
  EXPECT_DOUBLE_EQ(KPK_e(n, a.data(), neg.data(), ma, mn, da, dn), -1.0);
}

TEST(SampleStatistics, EmptyOrConstantSamplesGiveZeroNotNaN) {
  int flat[] = {5, 5, 5};
  int rising[] = {1, 2, 3};
  double none[] = {0.0};
  EXPECT_EQ(M_e(0, flat), 0.0);
  EXPECT_EQ(D_e(0, none, 1.0), 0.0);
  EXPECT_EQ(KPK_e(3, flat, rising, 5.0, 2.0, 0.0, 2.0 / 3.0), 0.0);
  EXPECT_EQ(KPK_e(0, none, none, 0.0, 0.0, 1.0, 1.0), 0.0);
}

TEST(SampleStatistics, SignAndMidpoint) {
  EXPECT_EQ(pmu(0.0), -1.0);
  EXPECT_EQ(pmu(-0.0), -1.0);
  EXPECT_EQ(pmu(std::nan("")), -1.0);
  EXPECT_EQ(pmu(1e-300), 1.0);
  C_POINTd mid = Average(0, 0, 3, 5);
  EXPECT_EQ(mid.x, 1.5);
  EXPECT_EQ(mid.y, 2.5);
}

void ExpectFit(std::vector<int> y, double k, double b) {
  F_LINE line = Approximation(y.data(), static_cast<int>(y.size()));
  EXPECT_EQ(line.type, 3);
  EXPECT_EQ(line.dir, 1);
  EXPECT_EQ(line.k, k);
  EXPECT_EQ(line.b, b);
}

TEST(Approximation, LeastSquaresLine) {
  ExpectFit({1, 3, 5}, 2.0, 1.0);
  ExpectFit({4, 4, 4, 4}, 0.0, 4.0);
  ExpectFit({0, 2, 1, 3}, 0.8, 0.3);
  ExpectFit({-7}, 0.0, -7.0);  // one point: the horizontal line through it
  ExpectFit({}, 0.0, 0.0);
}

TEST(Approximation, LongAndLargeInputsAreNotWrapped) {
  // Sum of i^2 alone passes 2^31 from n = 1861 on.
  std::vector<int> y(5000);
  for (int i = 0; i < 5000; ++i) y[i] = 3 * i + 7;
  ExpectFit(y, 3.0, 7.0);
  ExpectFit({2000000000, 2000000000, 2000000000}, 0.0, 2e9);
  ExpectFit({-2147483647 - 1, 2147483647}, 4294967295.0, -2147483648.0);
}

}  // namespace
