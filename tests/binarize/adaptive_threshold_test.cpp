// Window-mean threshold, and the exact sum its windows are measured with.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "binarize/exact_sum.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

double Gray(const Image& img, int x, int y) {
  return (img.at(x, y, 0) * 0.071 + img.at(x, y, 1) * 0.707) + img.at(x, y, 2) * 0.222;
}

// The window mean by brute force: the gray values in the window and the
// image (whole multiples of 2^-56) summed exactly, converted once, divided
// by their count, minus 2.
bool ReferenceAbove(const Image& img, int x, int y, int window) {
  __extension__ unsigned __int128 sum = 0;
  const int half = (window - 1) / 2;
  long count = 0;
  for (int j = std::max(0, y - half); j <= std::min(img.img().height - 1, y + half); ++j)
    for (int i = std::max(0, x - half); i <= std::min(img.img().width - 1, x + half); ++i, ++count)
      sum += static_cast<std::uint64_t>(Gray(img, i, j) * 0x1p56);
  return Gray(img, x, y) > static_cast<double>(sum) * 0x1p-56 / static_cast<double>(count) - 2.0;
}

}  // namespace

// Random pictures (even trials: four close levels, so pixels sit near their
// threshold; odd: any colour) with garbage padding, whole-image and random
// regions, both modes. Outside the region the result is the source.
TEST(AdaptiveThresholdImage, MatchesBruteForceWindows) {
  std::mt19937 rng(2024);
  const unsigned char levels[] = {20, 21, 23, 200};
  for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {13, 9}, {33, 20}, {6, 17}}) {
    for (int window : {1, 2, 3, 4, 5, 15}) {
      for (int trial = 0; trial < 4; ++trial) {
        SCOPED_TRACE(testing::Message() << w << "x" << h << " window " << window << " trial " << trial);
        Image src = Image::Color(w, h);
        for (int i = 0; i < src.img().stride * h; ++i)
          src.img().bits[i] = trial % 2 ? static_cast<unsigned char>(rng()) : levels[rng() % 4];
        const int left = trial ? static_cast<int>(rng() % w) : 0,
                  top = trial ? static_cast<int>(rng() % h) : 0;
        const RECT r{left, top, trial ? left + 1 + static_cast<int>(rng() % (w - left)) : w,
                     trial ? top + 1 + static_cast<int>(rng() % (h - top)) : h};
        const bool inverted = trial == 3;
        Image dst = Image::Adopt(AdaptiveThresholdImage(src.img(), window, r, inverted ? 3 : 2));
        ASSERT_EQ(dst.img().stride, src.img().stride);
        for (int y = 0; y < h; ++y) {
          for (int i = 0; i < src.img().stride; ++i) {
            const int x = i / 3;
            int expected = src.row(y)[i];
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
              expected = (ReferenceAbove(src, x, y, window) != inverted) ? 255 : 0;
            ASSERT_EQ(dst.row(y)[i], expected) << "byte " << i << " row " << y;
          }
        }
      }
    }
  }
}

// Corner (0, 0) = 197 with 200 around it. Window 3 there holds 4 pixels:
// t = (197 + 3 * 200) / 4 - 2 = 197.25, so the corner is black. Counting 9
// with zeros outside, or repeating the edge pixels, would make it white.
// Gray sources and empty windows are refused; the region is cut to the image.
TEST(AdaptiveThresholdImage, WindowEdgesRefusalsAndClippedRegion) {
  Image src = Image::Color(4, 4, 200, 200, 200);
  for (int c = 0; c < 3; ++c) src.at(0, 0, c) = 197;
  EXPECT_EQ(Image::Adopt(AdaptiveThresholdImage(src.img(), 3, RECT{0, 0, 1, 1}, 0)).at(0, 0), 0);
  EXPECT_EQ(AdaptiveThresholdImage(Image::Gray(4, 4).img(), 3, RECT{0, 0, 4, 4}, 0).valid, 0);
  EXPECT_EQ(AdaptiveThresholdImage(src.img(), 0, RECT{0, 0, 4, 4}, 0).valid, 0);
  Image cut = Image::Adopt(AdaptiveThresholdImage(src.img(), 3, RECT{2, 2, 40, 40}, 0));
  EXPECT_EQ(cut.at(1, 1), 200);
  EXPECT_EQ(cut.at(3, 3), 255);  // uniform: every pixel is above mean - 2
}

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
