// The search's thresholds against plain loops written here, over random
// planes and edge sizes.
#include <gtest/gtest.h>

#include <random>

#include "reader/binarize.h"

namespace vx::reader {
namespace {

Plane Random(int w, int h, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Plane p(w, h);
  for (auto& v : p.px) v = static_cast<std::uint8_t>(rng() % 256);
  return p;
}

TEST(Binarize, LocalMeanMatchesAPlainLoop) {
  const int sizes[][3] = {{1, 1, 1}, {7, 3, 5}, {40, 31, 9}, {64, 64, 63}, {33, 17, 101}};
  for (const auto& s : sizes) {
    const Plane p = Random(s[0], s[1], s[0] * 131 + s[2]);
    const Integral sums(p);
    const Plane got = ThresholdLocal(p, sums, s[2], 3);
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        long sum = 0, n = 0;
        for (int yy = y - s[2] / 2; yy < y - s[2] / 2 + s[2]; ++yy)
          for (int xx = x - s[2] / 2; xx < x - s[2] / 2 + s[2]; ++xx)
            if (xx >= 0 && yy >= 0 && xx < p.width && yy < p.height) sum += p.Row(yy)[xx], ++n;
        const bool black = (p.Row(y)[x] + 3) * n < sum;
        ASSERT_EQ(got.Row(y)[x], black)
            << s[0] << "x" << s[1] << " window " << s[2] << " at " << x << "," << y;
      }
    }
  }
}

// Sums past 2^32 in the table still give exact box sums.
TEST(Binarize, BoxSumsSurviveTableWrapAround) {
  Plane p(4200, 4200, 255);  // 4.5e9 in total
  const Integral sums(p);
  EXPECT_EQ(sums.Box(4100, 4100, 4200, 4200), 255u * 100 * 100);
  EXPECT_EQ(sums.Box(0, 0, 10, 10), 255u * 100);
}

TEST(Binarize, OtsuSplitsTwoLevelsAndBlockFollowsTheLight) {
  Plane p(100, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 100; ++x) p.Row(y)[x] = x < 30 ? 40 : 200;
  const int level = OtsuLevel(p);
  EXPECT_GE(level, 40);
  EXPECT_LT(level, 200);
  // Left half dim (paper 140, ink 40), right half bright (paper 240, ink 120):
  // the block level (m + 128) / 2 keeps each half's ink black and paper white.
  Plane q(40, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) q.Row(y)[x] = x < 20 ? (y < 4 ? 40 : 140) : (y < 4 ? 120 : 240);
  const Plane b = ThresholdBlock(q, Integral(q), 20);
  EXPECT_EQ(b.Row(0)[5], 1) << "dim ink";
  EXPECT_EQ(b.Row(10)[5], 0) << "dim paper";
  EXPECT_EQ(b.Row(0)[30], 1) << "bright ink";
  EXPECT_EQ(b.Row(10)[30], 0) << "bright paper";
}

// Opening takes away black strips narrower than the window and gives back
// the rest as it was; the window does not look past the plane's edge.
TEST(Binarize, OpenStripsCutsThinBridgesOnly) {
  Plane p(40, 20);
  for (int y = 4; y < 16; ++y)
    for (int x = 4; x < 16; ++x) p.Row(y)[x] = 1;                 // a block
  for (int x = 16; x < 37; ++x) p.Row(10)[x] = p.Row(11)[x] = 1;  // a bridge 2 wide, to the edge
  for (int y = 0; y < 20; ++y)
    for (int x = 37; x < 40; ++x) p.Row(y)[x] = 1;  // a strip 3 wide along the edge
  const Plane open = OpenStrips(p, 5);
  EXPECT_EQ(open.Row(10)[25], 0) << "bridge";
  EXPECT_EQ(open.Row(4)[4], 1) << "the block's corner";
  EXPECT_EQ(open.Row(15)[15], 1) << "the block's other corner";
  EXPECT_EQ(open.Row(16)[10], 0) << "beside the block";
  EXPECT_EQ(open.Row(5)[39], 1) << "strip along the plane's edge, unpadded";
}

}  // namespace
}  // namespace vx::reader
