// Plain, block-mean and window-mean thresholds, and the exact window sum.
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

// Window mean by brute force: gray values (multiples of 2^-56) summed exactly, converted once, / count - 2.
static bool ReferenceAbove(const Image& img, int x, int y, int window) {
  vx::ExactSum sum = 0, count = 0;
  const int half = (window - 1) / 2;
  for (int j = std::max(0, y - half); j <= std::min(img.img().height - 1, y + half); ++j)
    for (int i = std::max(0, x - half); i <= std::min(img.img().width - 1, x + half); ++i, ++count)
      sum += static_cast<std::uint64_t>(Value(img, i, j) * 0x1p56);
  return Value(img, x, y) > static_cast<double>(sum) * 0x1p-56 / static_cast<double>(count) - 2.0;
}

// Gray value 100.5 (B 3, G 69, R 232, gray byte 100) is above 100; 100.0 is not.
TEST(ThresholdImage, ColorComparesTheUnroundedValue) {
  Image img = Image::Color(2, 1, 100, 100, 100);
  img.at(0, 0, 0) = 3, img.at(0, 0, 1) = 69, img.at(0, 0, 2) = 232;
  ThresholdImage(img.img(), 100, RECT{0, 0, 2, 1});
  EXPECT_EQ(std::vector<int>(img.img().bits, img.img().bits + 6), (std::vector<int>{255, 255, 255, 0, 0, 0}));
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

// Random pictures (even trials: four close levels, near their threshold; odd:
// any colour), garbage padding, whole and random regions, both modes.
TEST(AdaptiveThresholdImage, MatchesBruteForceWindows) {
  std::mt19937 rng(2024);
  auto below = [&](int n) { return static_cast<int>(rng() % n); };
  const unsigned char levels[] = {20, 21, 23, 200};
  for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {13, 9}, {33, 20}, {6, 17}})
    for (int window : {1, 2, 3, 4, 5, 15})
      for (int trial = 0; trial < 4; ++trial) {
        Image src = Image::Color(w, h);
        for (int i = 0; i < src.img().stride * h; ++i)
          src.img().bits[i] = trial % 2 ? static_cast<unsigned char>(rng()) : levels[rng() % 4];
        const int left = trial ? below(w) : 0, top = trial ? below(h) : 0;
        const RECT r{left, top, trial ? left + 1 + below(w - left) : w, trial ? top + 1 + below(h - top) : h};
        const bool inverted = trial == 3;
        Image dst = Image::Adopt(AdaptiveThresholdImage(src.img(), window, r, inverted ? 3 : 2));
        for (int y = 0; y < h; ++y)
          for (int i = 0; i < src.img().stride; ++i) {
            const int x = i / 3, in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            ASSERT_EQ(dst.row(y)[i],
                      in ? (ReferenceAbove(src, x, y, window) != inverted) * 255 : src.row(y)[i])
                << w << "x" << h << " window " << window << " trial " << trial << " byte " << i << " row "
                << y;
          }
      }
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
  EXPECT_TRUE(cut.at(1, 1) == 200 && cut.at(3, 3) == 255);  // uniform: every pixel is above mean - 2
}

// Against the compiler's conversion: random sums of every length.
TEST(ExactSumToDouble, RoundsOnceToNearestEven) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const vx::ExactSum s = ((vx::ExactSum{rng()} << 64) | rng()) >> (rng() % 128);
    ASSERT_EQ(vx::ExactSumToDouble(s), static_cast<double>(s) * 0x1p-56) << i;
  }
}
