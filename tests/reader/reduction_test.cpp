// The search plane of a very large picture read small: factors whose square,
// or whose block sum, is past what 32 bits hold.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "reader/plane.h"

namespace vx::reader {
namespace {

TEST(Reduction, FactorsOfVeryLongSidesDoNotOverflow) {
  EXPECT_EQ(ReductionFactor(800000, 12, 16), 50000);
  EXPECT_EQ(ReductionFactor(std::numeric_limits<int>::max(), 12, 1000000), 2148);
  EXPECT_EQ(ReductionFactor(1200, 900, 1200), 1) << "a picture that fits";
}

TEST(Reduction, LargeBlocksAverageWithoutOverflow) {
  const struct {
    int width, height, factor;
    int reduced_width, reduced_height;
  } cases[] = {
      {800000, 12, 50000, 16, 0},  // 50000 * 50000 > 2^31
      {4105, 4105, 4105, 1, 1},    // 4105 * 4105 * 255 > 2^32
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    const int stride = (c.width + 3) / 4 * 4;
    std::vector<unsigned char> white(static_cast<std::size_t>(stride) * c.height, 255);
    const IMG gray{white.data(), c.width, stride, c.height, 1, 1};
    const Plane reduced = ReduceToGray(PictureView(gray, true), c.factor);
    EXPECT_EQ(reduced.width, c.reduced_width);
    ASSERT_EQ(reduced.height, c.reduced_height);
    if (c.reduced_height > 0) {
      EXPECT_EQ(reduced.Row(0)[0], 255) << "the mean of white pixels";
    }
  }
}

}  // namespace
}  // namespace vx::reader
