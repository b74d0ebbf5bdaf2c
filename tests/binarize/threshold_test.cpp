// Plain, block-mean and window-mean thresholds at their edges, and the exact window sum
// (the vector paths and the exported window-mean call against brute force: vector_paths_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "binarize/exact_sum.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

static double Value(const Image& img, int x, int y) {
  return img.img().gray ? img.at(x, y)
                        : (img.at(x, y, 0) * 0.071 + img.at(x, y, 1) * 0.707) + img.at(x, y, 2) * 0.222;
}

// Threshold 0 keeps only 0 black, 255 makes all black; only the region (cut to the image) changes.
TEST(ThresholdImage, ExtremesAndRegion) {
  Image img = Image::Gray(5, 3, 1);
  img.at(4, 2) = 0;
  ThresholdImage(img.img(), 0, RECT{2, 1, 99, 99});
  EXPECT_EQ(img.Art(), (std::vector<std::string>{".....", ".....", "....#"}));
  EXPECT_EQ(img.at(1, 1), 1);  // outside the region
  ThresholdImage(img.img(), 255, RECT{-3, -3, 5, 1});
  EXPECT_EQ(img.Art(), (std::vector<std::string>{"#####", ".....", "....#"}));
}

// Against a plain loop (gray and 24-bit, garbage padding): blocks from the region's corner, threshold
// (level - gain) + m * gain / 128 (m the truncated mean) wrapped to a byte; partial strips use the last
// block.
TEST(Adaptive2ThresholdImage, MatchesPlainLoop) {
  std::mt19937 rng(99);
  auto below = [&](int n) { return static_cast<int>(rng() % n); };
  for (int trial = 0; trial < 80; ++trial) {
    const bool gray = trial % 2 == 0;
    const int w = 1 + below(40), h = 1 + below(30), left = trial < 40 ? 0 : below(w),
              top = trial < 40 ? 0 : below(h), block = 1 + below(std::min(w - left, h - top));
    const RECT r{left, top, left + block + below(w - left - block + 1),
                 top + block + below(h - top - block + 1)};
    const int level = below(256), gain = below(256), nbx = (r.right - left) / block,
              nby = (r.bottom - top) / block;
    Image img = gray ? Image::Gray(w, h) : Image::Color(w, h);
    const int stride = img.img().stride;
    for (int i = 0; i < stride * h; ++i) img.img().bits[i] = static_cast<unsigned char>(rng());
    std::vector<double> sums(nbx * nby);  // each block's, row by row
    for (int y = top; y < top + nby * block; ++y)
      for (int x = left; x < left + nbx * block; ++x)
        sums[(y - top) / block * nbx + (x - left) / block] += Value(img, x, y);
    std::vector<unsigned char> expected(img.img().bits, img.img().bits + stride * h);
    for (int y = top; y < r.bottom; ++y)
      for (int x = left; x < r.right; ++x) {
        const double sum =
            sums[std::min((y - top) / block, nby - 1) * nbx + std::min((x - left) / block, nbx - 1)];
        const unsigned char t = (level - gain) + (static_cast<int>(sum / (block * block)) & 255) * gain / 128;
        for (int c = 0; c < (gray ? 1 : 3); ++c)
          expected[y * stride + (gray ? x : 3 * x + c)] = Value(img, x, y) > t ? 255 : 0;
      }
    Adaptive2ThresholdImage(img.img(), level, gain, r, block);
    ASSERT_EQ(std::vector<unsigned char>(img.img().bits, img.img().bits + stride * h), expected) << trial;
  }
}

// Level 10, gain 128 on a black block: T = -118, stored as 138, used by the
// partial strip too.
TEST(Adaptive2ThresholdImage, ThresholdWraps) {
  Image img = Image::Gray(3, 2, 0);
  img.at(2, 0) = 139, img.at(2, 1) = 138;
  Adaptive2ThresholdImage(img.img(), 10, 128, RECT{0, 0, 3, 2}, 2);
  EXPECT_EQ(img.Art(), (std::vector<std::string>{"##.", "###"}));
}

// Corner 197 amid 200: window 3 holds 4 pixels, t = 197.25: black (9 with zeros or repeated edges: white).
// Gray sources and empty windows are refused; the region is cut to the image.
TEST(AdaptiveThresholdImage, WindowEdgesRefusalsAndClippedRegion) {
  Image src = Image::Color(4, 4, 200, 200, 200);
  for (int c = 0; c < 3; ++c) src.at(0, 0, c) = 197;
  EXPECT_EQ(Image::Adopt(AdaptiveThresholdImage(src.img(), 3, RECT{0, 0, 1, 1}, 0)).at(0, 0), 0);
  EXPECT_FALSE(AdaptiveThresholdImage(Image::Gray(4, 4).img(), 3, RECT{0, 0, 4, 4}, 0).valid);
  EXPECT_FALSE(AdaptiveThresholdImage(src.img(), 0, RECT{0, 0, 4, 4}, 0).valid);
  Image cut = Image::Adopt(AdaptiveThresholdImage(src.img(), 3, RECT{2, 2, 40, 40}, 0));
  EXPECT_EQ(cut.at(1, 1), 200) << "outside the region: copied";
  EXPECT_EQ(cut.at(3, 3), 255) << "uniform: every pixel is above mean - 2";
}

// Against the compiler's conversion: random sums of every length.
TEST(ExactSumToDouble, RoundsOnceToNearestEven) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const vx::ExactSum s = ((vx::ExactSum{rng()} << 64) | rng()) >> (rng() % 128);
    ASSERT_EQ(vx::ExactSumToDouble(s), static_cast<double>(s) * 0x1p-56) << i;
  }
}
