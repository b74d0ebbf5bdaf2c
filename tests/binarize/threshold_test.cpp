// Plain and block-mean thresholds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

double Value(const Image& img, int x, int y) {
  if (img.img().gray) return img.at(x, y);
  return (img.at(x, y, 0) * 0.071 + img.at(x, y, 1) * 0.707) + img.at(x, y, 2) * 0.222;
}

}  // namespace

// Gray value 100.5 (B 3, G 69, R 232) is above threshold 100 although its
// gray byte would be 100; 100.0 (B = G = R = 100) is not.
TEST(ThresholdImage, ColorComparesTheUnroundedValue) {
  Image img = Image::Color(2, 1, 100, 100, 100);
  img.at(0, 0, 0) = 3;
  img.at(0, 0, 1) = 69;
  img.at(0, 0, 2) = 232;
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

// Against a plain loop on random gray and 24-bit pictures with garbage
// padding: blocks are laid from the region's corner; a block's threshold is
// (level - gain) + m * gain / 128, m its truncated mean, wrapped to a byte;
// the last, partial strips use the last block; bytes outside stay.
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
    for (int by = 0; by < nby; ++by) {
      for (int bx = 0; bx < nbx; ++bx) {
        double sum = 0;
        for (int y = top + by * block; y < top + (by + 1) * block; ++y)
          for (int x = left + bx * block; x < left + (bx + 1) * block; ++x) sum += Value(img, x, y);
        table.push_back((level - gain) + (static_cast<int>(sum / (block * block)) & 255) * gain / 128);
      }
    }
    for (int y = top; y < r.bottom; ++y) {
      for (int x = left; x < r.right; ++x) {
        const int t =
            table[std::min((y - top) / block, nby - 1) * nbx + std::min((x - left) / block, nbx - 1)];
        for (int c = 0; c < (gray ? 1 : 3); ++c)
          expected[y * stride + (gray ? x : 3 * x + c)] = Value(img, x, y) > t ? 255 : 0;
      }
    }
    Adaptive2ThresholdImage(img.img(), level, gain, r, block);
    ASSERT_EQ(std::vector<unsigned char>(img.img().bits, img.img().bits + stride * h), expected);
  }
}

// Level 10, gain 128 on a black block: T = -118, stored as 138. The partial
// strip in column 2 uses that block, so 138 there is black and 139 white.
// Regions without a whole block leave the image alone.
TEST(Adaptive2ThresholdImage, ThresholdWrapsAndRegionsWithoutABlock) {
  Image img = Image::Gray(3, 2, 0);
  img.at(2, 0) = 139;
  img.at(2, 1) = 138;
  Adaptive2ThresholdImage(img.img(), 10, 128, RECT{0, 0, 3, 2}, 2);
  EXPECT_EQ(img.Art(), (std::vector<std::string>{"##.", "###"}));
  Image flat = Image::Gray(10, 10, 77);
  Adaptive2ThresholdImage(flat.img(), 128, 128, RECT{0, 0, 10, 4}, 5);
  Adaptive2ThresholdImage(flat.img(), 128, 128, RECT{0, 0, 10, 10}, 0);
  EXPECT_EQ(std::count(flat.img().bits, flat.img().bits + 120, 77), 120);
}
