// Uncompressed 24-bit bitmap files: writing, reading back, and refusing
// files that are not of that layout.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/images.h"
#include "support/picture_writers.h"

namespace {

using vxtest::Bytes;

std::uint32_t Field32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void SetField32(Bytes& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

vxtest::Image Open(const std::string& path) { return vxtest::Image::Adopt(OpenDF(path.c_str())); }

TEST(DfFile, GrayImageIsWrittenAsThreeEqualBytesAndReadsBackAs24Bit) {
  vxtest::Image gray = vxtest::Image::Gray(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) gray.at(x, y) = static_cast<unsigned char>(10 * y + x);
  std::string path = vxtest::TempPath("gray.bmp");
  ASSERT_EQ(SaveDF(path.c_str(), gray.img()), 0);

  Bytes file = vxtest::ReadFile(path);
  ASSERT_EQ(file.size(), 102u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Field32(file, 2), 102u);
  EXPECT_EQ(Field32(file, 10), 54u);
  EXPECT_EQ(Field32(file, 14), 40u);
  EXPECT_EQ(Field32(file, 18), 5u);
  EXPECT_EQ(Field32(file, 22), 3u);
  EXPECT_EQ(file[28], 24);
  EXPECT_EQ(Field32(file, 34), 48u);

  vxtest::Image back = Open(path);
  IMG img = back.img();
  ASSERT_EQ(img.valid, 1);
  EXPECT_EQ(img.gray, 0);
  EXPECT_EQ(img.width, 5);
  EXPECT_EQ(img.stride, 16);
  EXPECT_EQ(img.height, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      for (int c = 0; c < 3; ++c) EXPECT_EQ(back.at(x, y, c), 10 * y + x) << x << "," << y;
    }
    for (int pad = 15; pad < 16; ++pad) EXPECT_EQ(back.row(y)[pad], 0);
  }
}

TEST(DfFile, RoundTripsAreByteIdentical) {
  for (int width = 1; width <= 9; ++width) {
    SCOPED_TRACE(width);
    vxtest::Image color = vxtest::Image::Color(width, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 3 * width; ++x)
        color.row(y)[x] = static_cast<unsigned char>(31 * y + 7 * x + width);
    std::string first = vxtest::TempPath("first.bmp");
    std::string second = vxtest::TempPath("second.bmp");
    ASSERT_EQ(SaveDF(first.c_str(), color.img()), 0);
    vxtest::Image back = Open(first);
    ASSERT_EQ(back.img().valid, 1);
    ASSERT_EQ(back.img().stride, color.img().stride);
    EXPECT_EQ(std::memcmp(back.img().bits, color.img().bits, static_cast<size_t>(color.img().stride) * 4), 0);
    ASSERT_EQ(SaveDF(second.c_str(), back.img()), 0);
    EXPECT_EQ(vxtest::ReadFile(first), vxtest::ReadFile(second));
  }
}

TEST(DfFile, TopDownFilesComeBackBottomUp) {
  vxtest::TestPicture picture = vxtest::RandomPicture(7, 5, 11);
  vxtest::BmpOptions options;
  options.top_down = true;
  std::string path = vxtest::TempPath("topdown.bmp");
  vxtest::WriteFile(path, vxtest::WriteBmp(picture, options));
  vxtest::Image img = Open(path);
  EXPECT_EQ(vxtest::MaxDifference(img.img(), picture), 0);
}

TEST(DfFile, LongerInformationHeaderIsSkippedByTheDataOffset) {
  vxtest::TestPicture picture = vxtest::RandomPicture(6, 3, 12);
  vxtest::BmpOptions options;
  options.info_size = 124;
  std::string path = vxtest::TempPath("v5.bmp");
  vxtest::WriteFile(path, vxtest::WriteBmp(picture, options));
  vxtest::Image img = Open(path);
  EXPECT_EQ(vxtest::MaxDifference(img.img(), picture), 0);
}

// An image whose rows are longer than the standard row length is written
// with the standard one, so the file is a valid bitmap of the same pixels.
TEST(DfFile, WideStrideIsWrittenWithTheStandardRowLength) {
  std::vector<unsigned char> pixels(24 * 2, 0xEE);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 9; ++x) pixels[24 * y + x] = static_cast<unsigned char>(40 * y + x);
  IMG wide{pixels.data(), 3, 24, 2, 1, 0};
  std::string path = vxtest::TempPath("wide.bmp");
  ASSERT_EQ(SaveDF(path.c_str(), wide), 0);
  Bytes file = vxtest::ReadFile(path);
  ASSERT_EQ(file.size(), 54u + 12 * 2);
  EXPECT_EQ(Field32(file, 34), 24u);
  vxtest::Image back = Open(path);
  ASSERT_EQ(back.img().stride, 12);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(std::memcmp(back.row(y), pixels.data() + 24 * y, 9), 0);
    EXPECT_EQ(back.row(y)[9], 0) << "padding is written as zero";
  }
}

TEST(DfFile, SaveRefusesWhatItCannotWrite) {
  vxtest::Image color = vxtest::Image::Color(4, 4);
  IMG img = color.img();
  IMG no_bits = img;
  no_bits.bits = nullptr;
  IMG no_width = img;
  no_width.width = 0;
  IMG negative_height = img;
  negative_height.height = -2;
  IMG short_rows = img;
  short_rows.stride = 11;
  std::string ok = vxtest::TempPath("ok.bmp");
  const struct {
    const char* name;
    std::string path;
    IMG img;
  } cases[] = {
      {"missing folder", vxtest::TempPath("no/such/folder/x.bmp"), img},
      {"a directory", std::filesystem::temp_directory_path().string(), img},
      {"disk full", "/dev/full", img},
      {"null bits", ok, no_bits},
      {"zero width", ok, no_width},
      {"negative height", ok, negative_height},
      {"stride shorter than a row", ok, short_rows},
  };
  for (const auto& c : cases) EXPECT_EQ(SaveDF(c.path.c_str(), c.img), 1) << c.name;
  EXPECT_EQ(SaveDF(nullptr, img), 1);
}

TEST(DfFile, OpenRefusesFilesOfAnotherLayout) {
  vxtest::TestPicture picture = vxtest::RandomPicture(5, 3, 13);
  const Bytes good = vxtest::WriteBmp(picture);
  const struct {
    const char* name;
    size_t at;
    std::uint32_t value;
  } fields[] = {
      {"8 bits per pixel", 28, 8},
      {"32 bits per pixel", 28, 32},
      {"run-length compressed", 30, 1},
      {"zero data offset", 10, 0},
      {"zero width", 18, 0},
      {"zero height", 22, 0},
      {"negative width", 18, static_cast<std::uint32_t>(-5)},
      {"data offset past the end", 10, 4000},
      {"width x height over 2^30", 18, 1u << 20},
      {"height -2^31", 22, 0x80000000u},
  };
  for (const auto& f : fields) {
    Bytes bad = good;
    if (f.at == 28) {
      bad[28] = static_cast<std::uint8_t>(f.value);
    } else {
      SetField32(bad, f.at, f.value);
    }
    if (std::strcmp(f.name, "width x height over 2^30") == 0) SetField32(bad, 22, 1u << 11);
    std::string path = vxtest::TempPath("bad.bmp");
    vxtest::WriteFile(path, bad);
    EXPECT_EQ(OpenDF(path.c_str()).valid, 0) << f.name;
  }

  const struct {
    const char* name;
    Bytes bytes;
  } files[] = {
      {"empty", {}},
      {"20 bytes starting with BM", Bytes(good.begin(), good.begin() + 20)},
      {"ends inside the image-size field", Bytes(good.begin(), good.begin() + 37)},
      {"one pixel byte short", Bytes(good.begin(), good.end() - 1)},
      {"wrong magic",
       [&] {
         Bytes b = good;
         b[1] = 'A';
         return b;
       }()},
  };
  for (const auto& f : files) {
    std::string path = vxtest::TempPath("short.bmp");
    vxtest::WriteFile(path, f.bytes);
    EXPECT_EQ(OpenDF(path.c_str()).valid, 0) << f.name;
  }
  EXPECT_EQ(OpenDF(vxtest::TempPath("missing.bmp").c_str()).valid, 0);
  EXPECT_EQ(OpenDF(std::filesystem::temp_directory_path().c_str()).valid, 0);
  EXPECT_EQ(OpenDF("").valid, 0);
  EXPECT_EQ(OpenDF(nullptr).valid, 0);
}

}  // namespace
