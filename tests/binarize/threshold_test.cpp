// Plain, block-mean and window-mean thresholds, and the exact sum the windows
// are measured with.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "binarize/exact_sum.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

double Value(const Image& img, int x, int y) {
  if (img.img().gray) return img.at(x, y);
  return (img.at(x, y, 0) * 0.071 + img.at(x, y, 1) * 0.707) + img.at(x, y, 2) * 0.222;
}

// The window mean by brute force: the gray values (whole multiples of 2^-56)
// summed exactly, converted once, divided by their count, minus 2.
bool ReferenceAbove(const Image& img, int x, int y, int window) {
  __extension__ unsigned __int128 sum = 0;
  const int half = (window - 1) / 2;
  long count = 0;
  for (int j = std::max(0, y - half); j <= std::min(img.img().height - 1, y + half); ++j)
    for (int i = std::max(0, x - half); i <= std::min(img.img().width - 1, x + half); ++i, ++count)
      sum += static_cast<std::uint64_t>(Value(img, i, j) * 0x1p56);
  return Value(img, x, y) > static_cast<double>(sum) * 0x1p-56 / static_cast<double>(count) - 2.0;
}

}  // namespace

// Gray value 100.5 (B 3, G 69, R 232, gray byte 100) is above 100; 100.0 is not.
TEST(ThresholdImage, ColorComparesTheUnroundedValue) {
  Image img = Image::Color(2, 1, 100, 100, 100);
  img.at(0, 0, 0) = 3, img.at(0, 0, 1) = 69, img.at(0, 0, 2) = 232;
  ThresholdImage(img.img(), 100, RECT{0, 0, 2, 1});
  EXPECT_EQ(std::vector<int>(img.img().bits, img.img().bits + 6), (std::vector<int>{255, 255, 255, 0, 0, 0}));
}

// Threshold 0 keeps only 0 black, 255 makes everything black; only the
// region (cut to the image) changes, and padding keeps its garbage.
TEST(ThresholdImage, ExtremesRegionAndPadding) {
  for (bool gray : {true, false}) {
    Image img = gray ? Image::Gray(5, 3, 1) : Image::Color(5, 3, 1, 1, 1);
    for (int y = 0; y < 3; ++y) img.row(y)[gray ? 5 : 15] = 0xEE;
    img.at(4, 2, 0) = img.at(4, 2, 1) = img.at(4, 2, 2) = 0;
    ThresholdImage(img.img(), 0, RECT{2, 1, 99, 99});
    EXPECT_EQ(img.Art(), (std::vector<std::string>{".....", ".....", "....#"}));
    EXPECT_EQ(img.at(1, 1), 1);  // outside the region
    ThresholdImage(img.img(), 255, RECT{-3, -3, 5, 1});
    EXPECT_EQ(img.Art(), (std::vector<std::string>{"#####", ".....", "....#"}));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(img.row(y)[gray ? 5 : 15], 0xEE) << gray;
  }
}

// Against a plain loop (gray and 24-bit, garbage padding): blocks from the
// region's corner, threshold (level - gain) + m * gain / 128 (m the truncated
// mean) wrapped to a byte; partial strips use the last block.
TEST(Adaptive2ThresholdImage, MatchesPlainLoop) {
  std::mt19937 rng(99);
  auto below = [&](int n) { return static_cast<int>(rng() % n); };
  for (int trial = 0; trial < 80; ++trial) {
    SCOPED_TRACE(trial);
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
    std::vector<unsigned char> table, expected(img.img().bits, img.img().bits + stride * h);
    for (int b = 0; b < nbx * nby; ++b) {
      double sum = 0;
      for (int y = top + b / nbx * block; y < top + (b / nbx + 1) * block; ++y)
        for (int x = left + b % nbx * block; x < left + (b % nbx + 1) * block; ++x) sum += Value(img, x, y);
      table.push_back((level - gain) + (static_cast<int>(sum / (block * block)) & 255) * gain / 128);
    }
    for (int y = top; y < r.bottom; ++y)
      for (int x = left; x < r.right; ++x) {
        const int t =
            table[std::min((y - top) / block, nby - 1) * nbx + std::min((x - left) / block, nbx - 1)];
        for (int c = 0; c < (gray ? 1 : 3); ++c)
          expected[y * stride + (gray ? x : 3 * x + c)] = Value(img, x, y) > t ? 255 : 0;
      }
    Adaptive2ThresholdImage(img.img(), level, gain, r, block);
    ASSERT_EQ(std::vector<unsigned char>(img.img().bits, img.img().bits + stride * h), expected);
  }
}

// Level 10, gain 128 on a black block: T = -118, stored as 138, used by the
// partial strip too. Regions without a whole block leave the image alone.
TEST(Adaptive2ThresholdImage, ThresholdWrapsAndRegionsWithoutABlock) {
  Image img = Image::Gray(3, 2, 0);
  img.at(2, 0) = 139, img.at(2, 1) = 138;
  Adaptive2ThresholdImage(img.img(), 10, 128, RECT{0, 0, 3, 2}, 2);
  EXPECT_EQ(img.Art(), (std::vector<std::string>{"##.", "###"}));
  Image flat = Image::Gray(10, 10, 77);
  Adaptive2ThresholdImage(flat.img(), 128, 128, RECT{0, 0, 10, 4}, 5);
  Adaptive2ThresholdImage(flat.img(), 128, 128, RECT{0, 0, 10, 10}, 0);
  EXPECT_EQ(std::count(flat.img().bits, flat.img().bits + 120, 77), 120);
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
        SCOPED_TRACE(testing::Message() << w << "x" << h << " window " << window << " trial " << trial);
        Image src = Image::Color(w, h);
        for (int i = 0; i < src.img().stride * h; ++i)
          src.img().bits[i] = trial % 2 ? static_cast<unsigned char>(rng()) : levels[rng() % 4];
        const int left = trial ? below(w) : 0, top = trial ? below(h) : 0;
        const RECT r{left, top, trial ? left + 1 + below(w - left) : w, trial ? top + 1 + below(h - top) : h};
        const bool inverted = trial == 3;
        Image dst = Image::Adopt(AdaptiveThresholdImage(src.img(), window, r, inverted ? 3 : 2));
        ASSERT_EQ(dst.img().stride, src.img().stride);
        for (int y = 0; y < h; ++y)
          for (int i = 0; i < src.img().stride; ++i) {
            const int x = i / 3;
            int expected = src.row(y)[i];
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
              expected = (ReferenceAbove(src, x, y, window) != inverted) ? 255 : 0;
            ASSERT_EQ(dst.row(y)[i], expected) << "byte " << i << " row " << y;
          }
      }
}

// Corner 197 amid 200: window 3 holds 4 pixels, t = 197.25, so it is black (9
// with zeros or repeated edges would make it white). Gray sources and empty
// windows are refused; the region is cut to the image.
TEST(AdaptiveThresholdImage, WindowEdgesRefusalsAndClippedRegion) {
  Image src = Image::Color(4, 4, 200, 200, 200);
  for (int c = 0; c < 3; ++c) src.at(0, 0, c) = 197;
  EXPECT_EQ(Image::Adopt(AdaptiveThresholdImage(src.img(), 3, RECT{0, 0, 1, 1}, 0)).at(0, 0), 0);
  EXPECT_EQ(AdaptiveThresholdImage(Image::Gray(4, 4).img(), 3, RECT{0, 0, 4, 4}, 0).valid +
                AdaptiveThresholdImage(src.img(), 0, RECT{0, 0, 4, 4}, 0).valid,
            0);
  Image cut = Image::Adopt(AdaptiveThresholdImage(src.img(), 3, RECT{2, 2, 40, 40}, 0));
  EXPECT_TRUE(cut.at(1, 1) == 200 && cut.at(3, 3) == 255);  // uniform: every pixel is above mean - 2
}

// Against the compiler's conversion: random sums of every length, and exact
// ties (2^53 + 1, 2^53 + 3) broken by a 1 in the lowest bit, past the top 64.
TEST(ExactSumToDouble, RoundsOnceToNearestEven) {
  auto compiler = [](vx::ExactSum s) { return static_cast<double>(s) * 0x1p-56; };
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const vx::ExactSum s = ((vx::ExactSum{rng()} << 64) | rng()) >> (rng() % 128);
    ASSERT_EQ(vx::ExactSumToDouble(s), compiler(s)) << i;
  }
  for (int shift = 0; shift <= 74; ++shift)
    for (std::uint64_t base : {(std::uint64_t{1} << 53) + 1, (std::uint64_t{1} << 53) + 3}) {
      const vx::ExactSum tie = vx::ExactSum{base} << shift;
      for (vx::ExactSum s : {tie, tie + 1, tie - 1}) ASSERT_EQ(vx::ExactSumToDouble(s), compiler(s)) << shift;
    }
}
