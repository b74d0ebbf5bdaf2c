// SaveDF and OpenDF: uncompressed 24-bit bitmap files only.
#include <gtest/gtest.h>

#include <cstring>

#include "support/images.h"
#include "support/picture_writers.h"

namespace {

using vxtest::Bytes;
using vxtest::Image;

Image Open(const std::string& path) { return Image::Adopt(OpenDF(path.c_str())); }

std::uint32_t Field32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(DfFile, GrayImageIsWrittenAs24BitWithThreeEqualBytes) {
  Image gray = Image::Gray(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) gray.at(x, y) = static_cast<unsigned char>(10 * y + x);
  const std::string path = vxtest::TempPath("gray.bmp");
  ASSERT_EQ(SaveDF(path.c_str(), gray.img()), 0);
  const Bytes file = vxtest::ReadFile(path);
  ASSERT_EQ(file.size(), 102u);
  EXPECT_TRUE(file[0] == 'B' && file[1] == 'M');
  // File size, data offset, header size, width, height, planes and bits, compression, data size.
  const std::pair<size_t, std::uint32_t> fields[] = {{2, 102}, {10, 54},           {14, 40}, {18, 5},
                                                     {22, 3},  {26, 1 | 24 << 16}, {30, 0},  {34, 48}};
  for (auto [at, want] : fields) EXPECT_EQ(Field32(file, at), want) << "offset " << at;
  Image back = Open(path);
  ASSERT_EQ(back.img().gray, 0);
  ASSERT_EQ(back.img().stride, 16);
  for (int y = 0; y < 3; ++y)
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back.row(y)[i], i < 15 ? 10 * y + i / 3 : 0) << y << "," << i;
}

// Also read back by the general reader.
TEST(DfFile, RoundTripsAreByteIdentical) {
  for (int width = 1; width <= 9; ++width) {
    SCOPED_TRACE(width);
    Image color = Image::Color(width, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 3 * width; ++x)
        color.row(y)[x] = static_cast<unsigned char>(31 * y + 7 * x + width);
    const size_t size = static_cast<size_t>(color.img().stride) * 4;
    const std::string first = vxtest::TempPath("first.bmp"), second = vxtest::TempPath("second.bmp");
    ASSERT_EQ(SaveDF(first.c_str(), color.img()), 0);
    Image back = Open(first);
    Image general = Image::Adopt(OpenGraphFile(first.c_str()));
    ASSERT_EQ(back.img().stride, color.img().stride);
    ASSERT_EQ(general.img().stride, color.img().stride);
    EXPECT_EQ(std::memcmp(back.img().bits, color.img().bits, size), 0);
    EXPECT_EQ(std::memcmp(general.img().bits, color.img().bits, size), 0);
    ASSERT_EQ(SaveDF(second.c_str(), back.img()), 0);
    EXPECT_EQ(vxtest::ReadFile(first), vxtest::ReadFile(second));
  }
}

// OpenDF reads 24-bit files whatever their row order or header size; the
// general reader takes the other variants but no unknown header size.
TEST(DfFile, ReadsOnly24BitFiles) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(7, 5, 11, 6);
  const struct {
    const char* name;
    Bytes bytes;
    bool df, general;
  } cases[] = {
      {"top-down", vxtest::WriteBmp(picture, {.top_down = true}), true, true},
      {"V5 header", vxtest::WriteBmp(picture, {.info_size = 124}), true, true},
      {"20-byte header", vxtest::Patched(vxtest::WriteBmp(picture), {{14, 20}}), true, false},
      {"8-bit palette", vxtest::WriteBmp(picture, {.bits = 8}), false, true},
      {"32-bit", vxtest::WriteBmp(picture, {.bits = 32}), false, true},
  };
  auto result = [&](const Image& img) {
    return img.img().valid ? vxtest::MaxDifference(img.img(), picture) : -1;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = vxtest::TempPath("layout.bmp");
    vxtest::WriteFile(path, c.bytes);
    EXPECT_EQ(result(Open(path)), c.df ? 0 : -1);
    EXPECT_EQ(result(Image::Adopt(OpenGraphFile(path.c_str()))), c.general ? 0 : -1);
  }
  const std::string path = vxtest::TempPath("zero-offset.bmp");
  vxtest::WriteFile(path, vxtest::Patched(vxtest::WriteBmp(picture), {{10, 0}}));
  EXPECT_EQ(Open(path).img().valid, 0) << "zero data offset";
}

// Rows longer than needed are written with the standard length.
TEST(DfFile, WideStrideIsWrittenWithTheStandardRowLength) {
  std::vector<unsigned char> pixels(24 * 2, 0xEE);
  for (int i = 0; i < 9; ++i) pixels[i] = pixels[24 + i] = static_cast<unsigned char>(i);
  const std::string path = vxtest::TempPath("wide.bmp");
  ASSERT_EQ(SaveDF(path.c_str(), IMG{pixels.data(), 3, 24, 2, 1, 0}), 0);
  EXPECT_EQ(vxtest::ReadFile(path).size(), 54u + 12 * 2);
  Image back = Open(path);
  ASSERT_EQ(back.img().stride, 12);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(std::memcmp(back.row(y), pixels.data() + 24 * y, 9), 0);
    EXPECT_EQ(std::memcmp(back.row(y) + 9, "\0\0\0", 3), 0);
  }
}

TEST(DfFile, SaveRefusesWhatItCannotWrite) {
  Image color = Image::Color(4, 4);
  const IMG img = color.img();
  const std::string ok = vxtest::TempPath("ok.bmp");
  const struct {
    const char* name;
    std::string path;
    IMG img;
  } cases[] = {
      {"missing folder", vxtest::TempPath("no/such/folder/x.bmp"), img},
      {"disk full", "/dev/full", img},
      {"null bits", ok, {nullptr, 4, img.stride, 4, 1, 0}},
      {"zero width", ok, {img.bits, 0, img.stride, 4, 1, 0}},
      {"negative height", ok, {img.bits, 4, img.stride, -2, 1, 0}},
      {"stride shorter than a row", ok, {img.bits, 4, 11, 4, 1, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(SaveDF(c.path.c_str(), c.img), 1) << c.name;
  EXPECT_EQ(SaveDF(nullptr, img), 1);
}

}  // namespace
