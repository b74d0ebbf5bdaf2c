// Gray conversion: the kernels over every colour, and the image converters.
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

// An 11-pixel row (a vector part and a tail) whose padding byte holds garbage
// that must not be read: 100.5 and 56.61 truncate; the new padding is 0.
TEST(Img24To8, TruncatesAndIgnoresPadding) {
  Image src = Image::Color(11, 2, 0, 0, 255);
  for (int y = 0; y < 2; ++y) {
    src.row(y)[33] = 0xC7;
    for (int x : {1, 9}) src.at(x, y, 0) = 3, src.at(x, y, 1) = 69, src.at(x, y, 2) = 232;
  }
  Image dst = Image::Adopt(Img24To8(src.img()));
  ASSERT_TRUE(dst.img().valid && dst.img().gray && dst.img().stride == 12);
  for (int y = 0; y < 2; ++y)
    for (int i = 0; i < 12; ++i) EXPECT_EQ(dst.row(y)[i], i == 11 ? 0 : i == 1 || i == 9 ? 100 : 56) << i;
}

// Gray to 24-bit replicates each byte; wrong formats and a stride shorter
// than the pixels give no image.
TEST(Img8To24, ReplicatesAndBadSourcesGiveInvalid) {
  Image gray = Image::Gray(3, 1, 128);
  Image color = Image::Adopt(Img8To24(gray.img()));
  ASSERT_TRUE(!color.img().gray && color.img().stride == 12);
  EXPECT_EQ(std::vector<int>(color.img().bits, color.img().bits + 12),
            (std::vector<int>{128, 128, 128, 128, 128, 128, 128, 128, 128, 0, 0, 0}));
  IMG narrow = color.img();
  narrow.stride = 8;
  EXPECT_EQ(Img24To8(gray.img()).valid + Img8To24(color.img()).valid + Img24To8(narrow).valid, 0);
}
