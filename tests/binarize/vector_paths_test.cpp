// The vector paths of the thresholds against plain loops: random pictures
// with odd widths, tiny sizes, garbage padding, random regions and windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "binarize/exact_sum.h"
#include "binarize/local_mean.h"
#include "image/gray.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

double Gray(const Image& img, int x, int y) {
  return (img.at(x, y, 0) * 0.071 + img.at(x, y, 1) * 0.707) + img.at(x, y, 2) * 0.222;
}

// The window mean by brute force: exact 128-bit sum, one rounding, / count - 2.
bool AboveWindowMean(const Image& img, int x, int y, int half) {
  vx::ExactSum sum = 0;
  std::int64_t count = 0;
  for (int j = std::max(0, y - half); j <= std::min(img.img().height - 1, y + half); ++j)
    for (int i = std::max(0, x - half); i <= std::min(img.img().width - 1, x + half); ++i, ++count)
      sum += vx::ExactGray(Gray(img, i, j));
  return Gray(img, x, y) > vx::ExactSumToDouble(sum) / static_cast<double>(count) - 2.0;
}

Image RandomColour(std::mt19937& rng, int w, int h, int kind) {
  Image img = Image::Color(w, h);
  // Padding bytes get garbage too; the thresholds must leave them alone.
  for (int i = 0; i < img.img().stride * h; ++i) {
    const unsigned v = rng();
    img.img().bits[i] = static_cast<unsigned char>(kind == 0 ? v : kind == 1 ? 250 + v % 6 : 100 + v % 3);
  }
  return img;
}

RECT RandomRegion(std::mt19937& rng, int w, int h) {
  if (rng() % 3 == 0) return RECT{0, 0, w, h};
  const int left = static_cast<int>(rng() % w), top = static_cast<int>(rng() % h);
  return RECT{left, top, left + 1 + static_cast<int>(rng() % (w - left)),
              top + 1 + static_cast<int>(rng() % (h - top))};
}

std::vector<unsigned char> Bytes(const IMG& img) {
  return std::vector<unsigned char>(img.bits, img.bits + static_cast<size_t>(img.stride) * img.height);
}

// Runs a check once per kernel level the processor has (AVX-512, AVX2,
// baseline), lowering the run-time choice in turn.
template <class Check>
void AtEveryLevel(Check&& check) {
  for (int level = 2; level >= 0; --level) {
    vx::LimitVectorPaths(level);
    SCOPED_TRACE("vector level " + std::to_string(level));
    check();
  }
  vx::LimitVectorPaths(2);
}

}  // namespace

// Both sum widths, and the exported call, write the region exactly as the
// brute-force rule, and nothing outside it.
TEST(LocalMeanPaths, SplitAndWideSumsMatchBruteForce) {
  AtEveryLevel([] {
    for (unsigned seed = 1; seed <= 120; ++seed) {
      std::mt19937 rng(seed);
      const int w = 1 + static_cast<int>(rng() % (seed % 4 ? 45 : 3)),
                h = 1 + static_cast<int>(rng() % (seed % 5 ? 30 : 3));
      const Image src = RandomColour(rng, w, h, seed % 3);
      const RECT r = RandomRegion(rng, w, h);
      const int half = static_cast<int>(rng() % (seed % 6 ? 6 : 40));
      const bool inverted = seed % 2;
      SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(w) + " x " + std::to_string(h) +
                   ", half " + std::to_string(half));
      std::vector<unsigned char> expected = Bytes(src.img());
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
          for (int c = 0; c < 3; ++c)
            expected[y * src.img().stride + 3 * x + c] = (AboveWindowMean(src, x, y, half) != inverted) * 255;
      // Split sums with the ring of gray rows and without it (rows computed again), then wide sums.
      for (int path = 0; path < 3; ++path) {
        std::vector<unsigned char> out = Bytes(src.img());
        const IMG dst{out.data(), w, src.img().stride, h, 1, 0};
        ASSERT_TRUE(path == 2 ? vx::LocalMeanThresholdWide(src.img(), dst, r, half, inverted)
                              : vx::LocalMeanThresholdSplit(src.img(), dst, r, half, inverted,
                                                            path ? 0 : vx::kRingBudget));
        EXPECT_EQ(out, expected) << (path == 0   ? "split sums, ring"
                                     : path == 1 ? "split sums, no ring"
                                                 : "wide sums");
      }
      // The exported call: an even window has the half of the odd one below
      // it, mode bit 0 inverts, bytes outside the region are the source's.
      const int window = 2 * half + 1 + static_cast<int>(seed / 2 % 2);
      const Image made = Image::Adopt(AdaptiveThresholdImage(src.img(), window, r, inverted ? 3 : 2));
      ASSERT_EQ(made.img().valid, 1);
      EXPECT_EQ(Bytes(made.img()), expected) << "AdaptiveThresholdImage, window " << window;
    }
  });
}

// At the largest window the split sums take (1023 x 1023 pixels of values
// near 255, each part's sum just below 2^52) they still round like 128-bit sums.
TEST(LocalMeanPaths, SplitSumsHoldAtTheirLargestWindow) {
  std::mt19937 rng(5);
  const Image src = RandomColour(rng, 1030, 1026, 1);
  const int half = 511;
  ASSERT_LE(std::int64_t{2 * half + 1} * (2 * half + 1), vx::kSplitSumMaxPixels);
  const RECT r{500, 500, 530, 526};
  std::vector<unsigned char> split = Bytes(src.img()), wide = split;
  ASSERT_TRUE(vx::LocalMeanThresholdSplit(src.img(), IMG{split.data(), 1030, src.img().stride, 1026, 1, 0}, r,
                                          half, false));
  ASSERT_TRUE(vx::LocalMeanThresholdWide(src.img(), IMG{wide.data(), 1030, src.img().stride, 1026, 1, 0}, r,
                                         half, false));
  EXPECT_EQ(split, wide);
  for (int y = r.top; y < r.bottom; y += 5)
    for (int x = r.left; x < r.right; x += 7)
      EXPECT_EQ(split[y * src.img().stride + 3 * x], AboveWindowMean(src, x, y, half) * 255)
          << x << ", " << y;
}

// The global threshold over random rows (widths across the vector chunks'
// edges), gray and 24-bit, against the per-pixel rule.
TEST(ThresholdPaths, RandomRowsMatchThePerPixelRule) {
  AtEveryLevel([] {
    for (unsigned seed = 1; seed <= 80; ++seed) {
      std::mt19937 rng(seed);
      const bool gray = seed % 2;
      const int w = 1 + static_cast<int>(rng() % (seed % 8 ? 70 : 1200)), h = 1 + static_cast<int>(rng() % 6);
      Image img = gray ? Image::Gray(w, h) : RandomColour(rng, w, h, seed % 3);
      if (gray)
        for (int i = 0; i < img.img().stride * h; ++i) img.img().bits[i] = static_cast<unsigned char>(rng());
      const RECT r = RandomRegion(rng, w, h);
      const unsigned char threshold = static_cast<unsigned char>(seed % 3 ? rng() : 100);
      std::vector<unsigned char> expected = Bytes(img.img());
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
          const double v = gray ? img.at(x, y) : Gray(img, x, y);
          for (int c = 0; c < (gray ? 1 : 3); ++c)
            expected[y * img.img().stride + (gray ? x : 3 * x + c)] = v > threshold ? 255 : 0;
        }
      ThresholdImage(img.img(), threshold, r);
      EXPECT_EQ(Bytes(img.img()), expected) << "seed " << seed << ", " << w << " x " << h;
    }
  });
}
