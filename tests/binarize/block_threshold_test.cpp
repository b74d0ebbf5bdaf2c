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

// Block thresholds as a plain loop, for a region at the origin: sums row by
// row then column by column in double, T wrapped to a byte.
std::vector<unsigned char> ReferenceTable(const Image& img, int level, int gain, int nbx, int nby,
                                          int block) {
  std::vector<unsigned char> table;
  for (int by = 0; by < nby; ++by) {
    for (int bx = 0; bx < nbx; ++bx) {
      double sum = 0;
      for (int y = by * block; y < (by + 1) * block; ++y) {
        for (int x = bx * block; x < (bx + 1) * block; ++x) sum += Value(img, x, y);
      }
      const int m = static_cast<int>(sum / (block * block)) & 255;
      table.push_back(static_cast<unsigned char>((level - gain) + m * gain / 128));
    }
  }
  return table;
}

}  // namespace

// Random gray and 24-bit pictures with garbage padding; the last, partial
// strips use the last block; bytes outside the region stay as they were.
TEST(Adaptive2ThresholdImage, MatchesPlainLoopAtOrigin) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 60; ++trial) {
    const bool gray = trial % 2 == 0;
    const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 30);
    const int block = 1 + static_cast<int>(rng() % std::min(w, h));
    const int right = block + static_cast<int>(rng() % (w - block + 1));
    const int bottom = block + static_cast<int>(rng() % (h - block + 1));
    const int level = static_cast<int>(rng() % 256), gain = static_cast<int>(rng() % 256);
    SCOPED_TRACE(testing::Message() << "trial " << trial << " block " << block << " gain " << gain);
    Image img = gray ? Image::Gray(w, h) : Image::Color(w, h);
    for (int i = 0; i < img.img().stride * h; ++i) img.img().bits[i] = static_cast<unsigned char>(rng());
    const int stride = img.img().stride;
    const std::vector<unsigned char> before(img.img().bits, img.img().bits + stride * h);
    std::vector<double> values;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) values.push_back(Value(img, x, y));
    }
    const int nbx = right / block, nby = bottom / block;
    const std::vector<unsigned char> table = ReferenceTable(img, level, gain, nbx, nby, block);
    Adaptive2ThresholdImage(img.img(), level, gain, RECT{0, 0, right, bottom}, block);
    for (int y = 0; y < h; ++y) {
      for (int i = 0; i < stride; ++i) {
        const int x = gray ? i : i / 3;
        const int t = table[std::min(y / block, nby - 1) * nbx + std::min(x / block, nbx - 1)];
        const bool inside = x < right && y < bottom;
        const int expected = inside ? (values[y * w + x] > t ? 255 : 0) : before[y * stride + i];
        ASSERT_EQ(img.row(y)[i], expected) << "byte " << i << " row " << y;
      }
    }
  }
}

// Level 10, gain 128 on a black block: T = -118, stored as 138. The partial
// strip in column 2 uses that block, so 138 there is black and 139 white.
TEST(Adaptive2ThresholdImage, ThresholdWrapsModulo256) {
  Image img = Image::Gray(3, 2, 0);
  img.at(2, 0) = 139;
  img.at(2, 1) = 138;
  Adaptive2ThresholdImage(img.img(), 10, 128, RECT{0, 0, 3, 2}, 2);
  EXPECT_EQ(img.Art(), (std::vector<std::string>{"##.", "###"}));
}

// Away from the origin the blocks are laid from the region's corner: the
// same result as the cut-out region thresholded at the origin. Regions with
// no whole block leave the image alone.
TEST(Adaptive2ThresholdImage, OffsetRegionsAndRegionsWithoutABlock) {
  std::mt19937 rng(5);
  Image img = Image::Gray(23, 19), part = Image::Gray(15, 12);
  for (int i = 0; i < 24 * 19; ++i) img.img().bits[i] = static_cast<unsigned char>(rng());
  for (int y = 0; y < 12; ++y) std::copy(img.row(y + 4) + 5, img.row(y + 4) + 20, part.row(y));
  Adaptive2ThresholdImage(img.img(), 140, 90, RECT{5, 4, 20, 16}, 4);
  Adaptive2ThresholdImage(part.img(), 140, 90, RECT{0, 0, 15, 12}, 4);
  for (int y = 0; y < 12; ++y)
    EXPECT_TRUE(std::equal(part.row(y), part.row(y) + 15, img.row(y + 4) + 5)) << y;

  Image flat = Image::Gray(10, 10, 77);
  Adaptive2ThresholdImage(flat.img(), 128, 128, RECT{0, 0, 10, 4}, 5);
  Adaptive2ThresholdImage(flat.img(), 128, 128, RECT{0, 0, 10, 10}, 0);
  EXPECT_EQ(std::count(flat.img().bits, flat.img().bits + 120, 77), 120);
}
