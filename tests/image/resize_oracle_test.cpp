// Enlargement and gray conversion against plain loops over random pictures:
// odd and tiny widths, wide strides with garbage padding, every factor path.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

TEST(IncreaseImgOracle, EveryFactorCopiesTheSourcePixelOfItsBlock) {
  for (unsigned seed = 1; seed <= 90; ++seed) {
    std::mt19937 rng(seed);
    const bool gray = seed % 2;
    const int bpp = gray ? 1 : 3;
    const int w = 1 + static_cast<int>(rng() % 37), h = 1 + static_cast<int>(rng() % 9);
    const int factor = 1 + static_cast<int>(seed / 2 % 7);
    Image src = gray ? Image::Gray(w, h) : Image::Color(w, h);
    for (int i = 0; i < src.img().stride * h; ++i) src.img().bits[i] = static_cast<unsigned char>(rng());
    const Image big = Image::Adopt(IncreaseImg(src.img(), factor));
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(w) + " x " + std::to_string(h) +
                 ", factor " + std::to_string(factor));
    ASSERT_EQ(big.img().width, w * factor);
    ASSERT_EQ(big.img().stride, (w * factor * bpp + 3) / 4 * 4);
    for (int y = 0; y < h * factor; ++y)
      for (int i = 0; i < big.img().stride; ++i) {
        const int x = i / bpp, c = i % bpp;
        const int expected =
            x < w * factor ? src.row(y / factor)[(x / factor) * bpp + c] : 0;  // padding is 0
        ASSERT_EQ(big.row(y)[i], expected) << "byte " << i << " of row " << y;
      }
  }
}

// Widths across the vector part and its tail; garbage padding is not read,
// and the new padding is 0.
TEST(Img24To8Oracle, RandomRowsTruncateTheFormula) {
  std::mt19937 rng(3);
  for (int w = 1; w <= 70; ++w) {
    Image src = Image::Color(w, 2);
    for (int i = 0; i < src.img().stride * 2; ++i) src.img().bits[i] = static_cast<unsigned char>(rng());
    const Image gray = Image::Adopt(Img24To8(src.img()));
    ASSERT_EQ(gray.img().stride, (w + 3) / 4 * 4);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < gray.img().stride; ++x) {
        if (x >= w) {
          ASSERT_EQ(gray.at(x, y), 0) << "padding of width " << w;
          continue;
        }
        const double v = (src.at(x, y, 0) * 0.071 + src.at(x, y, 1) * 0.707) + src.at(x, y, 2) * 0.222;
        ASSERT_EQ(gray.at(x, y), static_cast<int>(v)) << "width " << w << ", pixel " << x << ", " << y;
      }
  }
}
