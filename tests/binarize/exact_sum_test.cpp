#include <gtest/gtest.h>

#include <random>

#include "binarize/exact_sum.h"

// Against the compiler's 128-bit conversion: random sums of every length,
// and exact ties (2^53 + 1 and 2^53 + 3 sit halfway between doubles) that
// a 1 in the lowest bit, below the top 64 bits once long enough, breaks.
TEST(ExactSumToDouble, RoundsOnceToNearestEven) {
  auto compiler = [](vx::ExactSum s) { return static_cast<double>(s) * 0x1p-56; };
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const vx::ExactSum s = ((vx::ExactSum{rng()} << 64) | rng()) >> (rng() % 128);
    ASSERT_EQ(vx::ExactSumToDouble(s), compiler(s)) << i;
  }
  for (int shift = 0; shift <= 74; ++shift) {
    for (std::uint64_t base : {(std::uint64_t{1} << 53) + 1, (std::uint64_t{1} << 53) + 3}) {
      const vx::ExactSum tie = vx::ExactSum{base} << shift;
      for (vx::ExactSum s : {tie, tie + 1, tie - 1}) ASSERT_EQ(vx::ExactSumToDouble(s), compiler(s)) << shift;
    }
  }
}
