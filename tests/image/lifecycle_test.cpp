// Image buffers: copying, clearing, allocating, gray conversion (the kernels
// over every colour, and the converters), resizing, flipping and margins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "image/buffer.h"
#include "image/gray.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

// Width, height and stride, compared as one layout.
static std::vector<int> Box(const Image& img) {
  return {img.img().width, img.img().height, img.img().stride};
}

// An image whose byte i is i * 7 + 1, padding included.
static Image Numbered(int width, int height, bool gray) {
  Image img = gray ? Image::Gray(width, height) : Image::Color(width, height);
  for (int i = 0; i < img.img().stride * height; ++i)
    img.img().bits[i] = static_cast<unsigned char>(i * 7 + 1);
  return img;
}

TEST(CopyIMG, EntryChecksInOrder) {
  unsigned char byte = 0;
  IMG dst{nullptr, 7, 7, 7, 7, 7};
  EXPECT_EQ(CopyIMG(IMG{nullptr, 0, 0, 0, 0, 0}, &dst), 1);  // valid first, whatever the rest
  // Sizes before the pointer.
  for (IMG bad : {IMG{nullptr, 0, 4, 1, 1, 1}, IMG{&byte, 1, 4, 0, 1, 1}}) EXPECT_EQ(CopyIMG(bad, &dst), 2);
  EXPECT_EQ(CopyIMG(IMG{nullptr, 1, 4, 1, 1, 1}, &dst), 3);
  EXPECT_EQ(CopyIMG(IMG{&byte, 1, 1, 1, 1, 1}, nullptr), 4);
  EXPECT_EQ(dst.width, 7);  // untouched on failure
}

// Copying and clearing cover every byte, padding included, of either format.
TEST(Lifecycle, CopyAndClearCoverPadding) {
  for (bool gray : {false, true}) {
    Image src = Numbered(5, 3, gray);
    const size_t bytes = static_cast<size_t>(src.img().stride) * 3;
    IMG raw{};
    ASSERT_EQ(CopyIMG(src.img(), &raw), 0);
    Image copy = Image::Adopt(raw);
    EXPECT_NE(raw.bits, src.img().bits);
    EXPECT_EQ(raw.gray, gray);
    EXPECT_EQ(raw.stride, gray ? 8 : 16);
    EXPECT_EQ(std::memcmp(raw.bits, src.img().bits, bytes), 0);
    ClearImage(raw);
    EXPECT_EQ(std::count(raw.bits, raw.bits + bytes, 0), static_cast<long>(bytes));
  }
  DeleteImg(IMG{nullptr, 3, 12, 3, 1, 0});  // null bits are accepted
  // A record without pixels is not cleared: its stride x height may lie
  // beyond the 12 bytes behind it.
  std::vector<unsigned char> block(12, 9);
  for (IMG none : {IMG{block.data(), 0, 100, 3, 1, 0}, IMG{block.data(), -4, 100, 3, 1, 1}}) ClearImage(none);
  EXPECT_EQ(std::count(block.begin(), block.end(), 9), 12) << "bytes cleared";
}

// Sizes are computed in 64 bits: a stride of 3e9 is refused, not wrapped.
TEST(Numeric, WideStridesAreRefused) {
  EXPECT_EQ(vx::NewImage(1'000'000'000, 1, false).valid, 0);
  EXPECT_EQ(vx::NewImage(5, 0, true).valid, 0);
}

// All 2^24 colours, through the scalar and (if available) AVX2 kernels.
TEST(GrayKernels, AllColoursMatchTheFormula) {
  using Values = void (*)(const unsigned char*, double*, int);
  using Bytes = void (*)(const unsigned char*, unsigned char*, int);
  std::vector<std::pair<Values, Bytes>> kernels{{vx::GrayRowValuesScalar, vx::GrayRowTo8Scalar}};
  if (vx::CpuHasAvx2()) kernels.emplace_back(vx::GrayRowValuesAvx2, vx::GrayRowTo8Avx2);
  if (vx::CpuHasAvx512()) kernels.emplace_back(vx::GrayRowValuesAvx512, vx::GrayRowTo8Avx512);
  std::vector<unsigned char> row(3 * 65536), bytes(65536);
  std::vector<double> expected(65536), values(65536);
  for (int blue = 0; blue < 256; ++blue) {
    for (int i = 0; i < 65536; ++i) {
      row[3 * i] = static_cast<unsigned char>(blue), row[3 * i + 1] = i >> 8, row[3 * i + 2] = i & 255;
      expected[i] = (blue * 0.071 + (i >> 8) * 0.707) + (i & 255) * 0.222;
    }
    for (auto [to_values, to_bytes] : kernels) {
      to_values(row.data(), values.data(), 65536);
      ASSERT_EQ(std::memcmp(values.data(), expected.data(), 65536 * sizeof(double)), 0) << "blue " << blue;
      to_bytes(row.data(), bytes.data(), 65536);
      for (int i = 0; i < 65536; ++i) ASSERT_EQ(bytes[i], static_cast<int>(expected[i])) << blue << " " << i;
    }
  }
}

// Gray to 24-bit replicates; wrong formats and short strides give no image.
TEST(Img8To24, ReplicatesAndBadSourcesGiveInvalid) {
  Image gray = Image::Gray(3, 1, 128), color = Image::Adopt(Img8To24(gray.img()));
  ASSERT_EQ(color.img().gray, 0);
  ASSERT_EQ(color.img().stride, 12);
  EXPECT_EQ(std::vector<int>(color.img().bits, color.img().bits + 12),
            (std::vector<int>{128, 128, 128, 128, 128, 128, 128, 128, 128, 0, 0, 0}));
  IMG narrow = color.img();
  narrow.stride = 8;
  EXPECT_EQ(Img24To8(gray.img()).valid, 0) << "gray source";
  EXPECT_EQ(Img8To24(color.img()).valid, 0) << "24-bit source";
  EXPECT_EQ(Img24To8(narrow).valid, 0) << "short stride";
}

// A factor below 1 gives no image (enlargement: resize_oracle_test.cpp).
TEST(Resize, ReduceSubsamples) {
  Image gray = Numbered(10, 7, true);
  Image small = Image::Adopt(ReduceImage(gray.img(), 3));
  ASSERT_EQ(Box(small), (std::vector<int>{3, 2, 4}));
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(small.img().bits[i], i % 4 == 3 ? 0 : gray.at(3 * (i % 4), 3 * (i / 4)));
  for (IMG none : {IncreaseImg(gray.img(), 0), ReduceImage(gray.img(), 0)}) EXPECT_EQ(none.valid, 0);
}

// A reduction that keeps no pixel is a valid image of 0 columns or rows; the
// operations that need pixels refuse it and DeleteImg releases it.
TEST(Resize, ReductionToNothingIsAnEmptyValidImage) {
  const Image one = Image::Color(1, 1), row = Numbered(10, 7, true);
  for (const auto& [src, factor, width, height, stride] :
       {std::tuple{&one, 2, 0, 0, 0}, std::tuple{&row, 8, 1, 0, 4}}) {
    const IMG empty = ReduceImage(src->img(), factor);
    EXPECT_EQ(empty.valid, 1);
    EXPECT_EQ(empty.width, width);
    EXPECT_EQ(empty.height, height);
    EXPECT_EQ(empty.stride, stride);
    IMG copy{};
    EXPECT_EQ(CopyIMG(empty, &copy), 2);
    EXPECT_EQ(Img24To8(empty).valid, 0);
    EXPECT_EQ(SaveDF(vxtest::TempPath("empty.bmp").c_str(), empty), 1);
    ClearImage(empty);
    DeleteImg(empty);
  }
}

TEST(UpDownImage, ReversesRowsWithTheirPadding) {
  Image img = Numbered(5, 5, false);
  const std::vector<unsigned char> before(img.img().bits, img.img().bits + 16 * 5);
  EXPECT_EQ(UpDownImage(img.img()), 0);
  for (int y = 0; y < 5; ++y)
    EXPECT_TRUE(std::equal(img.row(y), img.row(y) + 16, &before[16 * (4 - y)])) << y;
}

// Source pixels (not padding) land 30 bytes into the first rows; the rest is
// white. A gray source is refused, neither released nor changed.
TEST(Transform1, LayoutAndWhiteMargin) {
  Image original = Numbered(5, 3, false);
  IMG src{};
  ASSERT_EQ(CopyIMG(original.img(), &src), 0);  // Transform1 releases a library buffer
  Image dst = Image::Adopt(Transform1(src));
  ASSERT_EQ(Box(dst), (std::vector<int>{25, 23, 76}));
  for (int y = 0; y < 23; ++y)
    for (int i = 0; i < 76; ++i)
      ASSERT_EQ(dst.row(y)[i], y < 3 && i >= 30 && i < 45 ? original.row(y)[i - 30] : 255) << y << " " << i;
  Image gray = Image::Gray(4, 4, 77);
  EXPECT_EQ(Transform1(gray.img()).valid, 0);
  EXPECT_EQ(gray.at(3, 3), 77) << "refused source changed";
}
