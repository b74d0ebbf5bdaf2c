#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/gray.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

// All 2^24 colours, a row of 65536 per blue value, through the scalar and
// (when the processor has it) the AVX2 kernels, against the formula as written.
TEST(GrayKernels, AllColoursMatchTheFormula) {
  using Values = void (*)(const unsigned char*, double*, int);
  using Bytes = void (*)(const unsigned char*, unsigned char*, int);
  std::vector<std::pair<Values, Bytes>> kernels{{vx::GrayRowValuesScalar, vx::GrayRowTo8Scalar}};
  if (vx::CpuHasAvx2()) kernels.emplace_back(vx::GrayRowValuesAvx2, vx::GrayRowTo8Avx2);
  std::vector<unsigned char> row(3 * 65536), bytes(65536);
  std::vector<double> expected(65536), values(65536);
  for (int blue = 0; blue < 256; ++blue) {
    for (int i = 0; i < 65536; ++i) {
      const int green = i >> 8, red = i & 255;
      row[3 * i] = static_cast<unsigned char>(blue);
      row[3 * i + 1] = static_cast<unsigned char>(green);
      row[3 * i + 2] = static_cast<unsigned char>(red);
      expected[i] = (blue * 0.071 + green * 0.707) + red * 0.222;
    }
    for (auto [to_values, to_bytes] : kernels) {
      to_values(row.data(), values.data(), 65536);
      ASSERT_EQ(std::memcmp(values.data(), expected.data(), 65536 * sizeof(double)), 0) << "blue " << blue;
      to_bytes(row.data(), bytes.data(), 65536);
      for (int i = 0; i < 65536; ++i) ASSERT_EQ(bytes[i], static_cast<int>(expected[i])) << blue << " " << i;
    }
  }
}

// Known values in the vector part (pixels 0..2) and the tail (8..10) of an
// 11-pixel row whose padding holds garbage that must not be read.
TEST(Img24To8, TruncatesAndIgnoresPadding) {
  Image src = Image::Color(11, 2, 0, 0, 255);  // 56.61 -> 56
  const unsigned char known[3][4] = {{255, 255, 255, 255}, {128, 128, 128, 127}, {3, 69, 232, 100}};
  for (int y = 0; y < 2; ++y) {
    src.row(y)[33] = 0xC7;
    for (int k = 0; k < 3; ++k) {
      for (int c = 0; c < 3; ++c) src.at(k, y, c) = src.at(8 + k, y, c) = known[k][c];
    }
  }
  Image dst = Image::Adopt(Img24To8(src.img()));
  ASSERT_EQ(dst.img().valid, 1);
  EXPECT_EQ(dst.img().gray, 1);
  EXPECT_EQ(dst.img().stride, 12);
  for (int y = 0; y < 2; ++y) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(dst.at(k, y), known[k][3]) << k;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(dst.at(8 + k, y), known[k][3]) << k;
    EXPECT_EQ(dst.at(5, y), 56);
    EXPECT_EQ(dst.row(y)[11], 0);  // defined padding
  }
}

TEST(Conversion, Img8To24ReplicatesAndBadSourcesGiveInvalid) {
  Image gray = Image::Gray(3, 1, 128);
  Image color = Image::Adopt(Img8To24(gray.img()));
  EXPECT_EQ(color.img().stride, 12);  // 9 rounded up
  EXPECT_EQ(color.img().gray, 0);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(color.at(2, 0, c), 128);
  EXPECT_EQ(Img24To8(gray.img()).valid, 0);  // wrong formats
  EXPECT_EQ(Img8To24(color.img()).valid, 0);
  IMG narrow = color.img();
  narrow.stride = 8;  // shorter than its 9 pixel bytes
  EXPECT_EQ(Img24To8(narrow).valid, 0);
}
