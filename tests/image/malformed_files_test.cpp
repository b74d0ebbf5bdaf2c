// Malformed, truncated, oversized and unsupported files: every reader
// refuses each one and returns normally (the sanitized build checks for
// leaks and out-of-bounds reads).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "image/picture_decode.h"
#include "support/images.h"
#include "support/picture_writers.h"

namespace {

using vxtest::Bytes;
using vxtest::Cut;
using vxtest::Patched;

using Case = std::pair<std::string, Bytes>;

void ExpectRefused(const std::vector<Case>& cases) {
  const std::string path = vxtest::TempPath("malformed.bin");
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    vx::Picture picture;
    EXPECT_FALSE(vx::DecodePicture({bytes.data(), bytes.size()}, vx::kDefaultPictureLimits, &picture));
    vxtest::WriteFile(path, bytes);
    EXPECT_EQ(OpenGraphFile(path.c_str()).valid, 0);
    EXPECT_EQ(LoadPictureFile(path.c_str()), 0u);
    EXPECT_EQ(OpenDF(path.c_str()).valid, 0);
  }
}

// A 4 x 2 RLE8 file with two palette entries and the given codes.
Bytes Rle8(const Bytes& codes) {
  Bytes b = vxtest::WriteBmp(vxtest::RandomPicture(4, 2, 1, 2),
                             {.bits = 8, .compression = vxtest::BmpCompression::kRle8});
  b.resize(b[10] | b[11] << 8);
  b.insert(b.end(), codes.begin(), codes.end());
  return b;
}

TEST(MalformedFiles, Bitmaps) {
  const Bytes bmp = vxtest::WriteBmp(vxtest::RandomPicture(6, 5, 1));
  const Bytes bmp8 = vxtest::WriteBmp(vxtest::RandomPicture(6, 5, 2, 6), {.bits = 8});
  // Offsets: 10 data offset, 18 width, 22 height, 28 bits and 30 compression, 46 palette entries.
  ExpectRefused({
      {"file header only", Cut(bmp, 14)},
      {"ends inside the information header", Cut(bmp, 30)},
      {"ends before the pixels", Cut(bmp, 54)},
      {"one pixel byte missing", Cut(bmp, bmp.size() - 1)},
      {"wrong magic", Patched(bmp, {{1, 'A'}}, 1)},
      {"zero width", Patched(bmp, {{18, 0}})},
      {"zero height", Patched(bmp, {{22, 0}})},
      {"negative width", Patched(bmp, {{18, static_cast<std::uint32_t>(-6)}})},
      {"height -2^31", Patched(bmp, {{22, 0x80000000u}})},
      {"side over 2^20", Patched(bmp, {{18, (1u << 20) + 1}, {22, 1}})},
      {"over 2^30 pixels", Patched(bmp, {{18, 1u << 20}, {22, 1u << 11}})},
      {"width x height wraps 32 bits", Patched(bmp, {{18, 65536}, {22, 65536}})},
      {"width x height x bits wraps 64 bits", Patched(bmp, {{18, 0x7FFFFFFF}, {22, 0x7FFFFFFF}})},
      {"data offset beyond the file", Patched(bmp, {{10, 0xFFFFFFF0u}})},
      {"data offset zero, inside the headers", Patched(bmp, {{10, 0}})},
      {"no room for the palette", Patched(bmp8, {{10, 54}, {46, 0}})},
      {"index beyond a short palette", Patched(bmp8, {{46, 2}})},
      {"palette beyond the file", Patched(Cut(bmp8, 60), {{10, 54 + 1024}})},
      {"3 bits per pixel", Patched(bmp, {{28, 3}})},
      {"64 bits per pixel", Patched(bmp, {{28, 64}})},
      {"JPEG inside a bitmap", Patched(bmp, {{30, 4}})},
      {"bit fields on 24 bits", Patched(bmp, {{30, 3}})},
      {"RLE8 on 24 bits", Patched(bmp, {{30, 1}})},
      {"run past the row", Rle8({5, 0, 0, 1})},
      {"literal run past the row", Rle8({0, 5, 0, 1, 0, 1, 0, 0, 0, 1})},
      {"delta past the picture", Rle8({0, 2, 0, 3, 0, 1})},
      {"run past the last row", Rle8({0, 0, 0, 0, 4, 1, 0, 1})},
      {"literal cut by the end of the file", Rle8({0, 4, 1, 0})},
      {"run-length data stopping early", Rle8({4, 1})},
      {"run-length index beyond the palette", Rle8({4, 7, 0, 1})},
      {"top-down run-length file",
       Patched(Rle8({4, 1, 0, 0, 4, 0, 0, 1}), {{22, static_cast<std::uint32_t>(-2)}})},
  });
}

std::uint32_t Crc32(const std::uint8_t* p, size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// A PNG with another IHDR width and height and a correct IHDR CRC.
Bytes PngSized(const Bytes& png, std::uint32_t width, std::uint32_t height) {
  const Bytes b = Patched(png, {{16, width}, {20, height}}, 4, true);
  return Patched(b, {{29, Crc32(b.data() + 12, 17)}}, 4, true);
}

TEST(MalformedFiles, CompressedFormats) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(40, 30, 3, 50);
  const Bytes png = vxtest::WritePng(picture);
  const Bytes jpeg = vxtest::WriteJpeg(picture);
  const Bytes progressive = vxtest::WriteJpeg(picture, {.progressive = true});
  const Bytes tiff = vxtest::WriteTiff(picture, {vxtest::TiffColor::kRgb, vxtest::TiffCompression::kLzw});
  const Bytes gif = vxtest::WriteGif(picture);
  const size_t idat_crc = png.size() - 12 - 4;  // before the 12-byte IEND
  const size_t frame = 13 + 3 * 64;             // GIF image after the 64-entry palette
  const Bytes sof0{0xFF, 0xC0};                 // frame header: height and width 5 bytes on
  const size_t sof = std::search(jpeg.begin(), jpeg.end(), sof0.begin(), sof0.end()) - jpeg.begin() + 5;
  Bytes no_frame = Cut(gif, frame);
  no_frame.push_back(0x3B);
  ExpectRefused({
      {"PNG signature only", Cut(png, 8)},
      {"PNG cut inside IHDR", Cut(png, 20)},
      {"PNG cut inside the image data", Cut(png, png.size() / 2)},
      {"PNG without its last IDAT CRC", Cut(png, idat_crc)},
      {"PNG bad IHDR CRC", Patched(png, {{29, png[29] ^ 1u}}, 1)},
      {"PNG bad IDAT CRC", Patched(png, {{idat_crc, png[idat_crc] ^ 1u}}, 1)},
      {"PNG zero width", PngSized(png, 0, 30)},
      {"PNG side over 2^20", PngSized(png, (1u << 20) + 1, 1)},
      {"PNG over 2^30 pixels", PngSized(png, 1u << 20, 1u << 11)},
      {"PNG promising more rows than its data holds", PngSized(png, 40000, 40000)},
      {"JPEG start marker only", Cut(jpeg, 3)},
      {"JPEG cut in the header", Cut(jpeg, 200)},
      {"JPEG cut in the scan", Cut(jpeg, jpeg.size() * 2 / 3)},
      {"progressive JPEG cut between scans", Cut(progressive, progressive.size() / 2)},
      {"JPEG zero width", Patched(jpeg, {{sof + 2, 0}}, 2, true)},
      {"JPEG promising more pixels than its data holds",
       Patched(jpeg, {{sof, 30000}, {sof + 2, 30000}}, 2, true)},
      {"TIFF header only", Cut(tiff, 8)},
      {"TIFF cut in the strips", Cut(tiff, tiff.size() / 3)},
      {"TIFF directory beyond the file", Patched(tiff, {{4, 0x7FFFFFF0u}})},
      {"GIF header only", Cut(gif, 13)},
      {"GIF cut in the image data", Cut(gif, gif.size() / 2)},
      {"GIF frame promising more pixels than its data holds",
       Patched(gif, {{6, 30000}, {8, 30000}, {frame + 5, 30000}, {frame + 7, 30000}}, 2)},
      {"GIF without any frame", no_frame},
  });
}

TEST(MalformedFiles, NotPicturesAndNoFiles) {
  ExpectRefused({{"empty file", {}}, {"one byte", {'B'}}, {"text", {'h', 'e', 'l', 'l', 'o'}}});
  const std::string dir = std::filesystem::temp_directory_path().string();
  const std::string missing = vxtest::TempPath("missing.png");
  for (const char* path : {dir.c_str(), missing.c_str(), "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(OpenGraphFile(path).valid, 0);
    EXPECT_EQ(LoadPictureFile(path), 0u);
    EXPECT_EQ(OpenDF(path).valid, 0);
  }
}

// The caps hold for pictures that are otherwise valid.
TEST(MalformedFiles, LimitsApplyToValidPictures) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(40, 30, 4, 50);
  vx::PictureLimits small;
  small.max_pixels = 40 * 30 - 1;
  for (const Bytes& f : {vxtest::WriteBmp(picture), vxtest::WritePng(picture), vxtest::WriteJpeg(picture),
                         vxtest::WriteTiff(picture), vxtest::WriteGif(picture)}) {
    vx::Picture out;
    EXPECT_TRUE(vx::DecodePicture({f.data(), f.size()}, vx::kDefaultPictureLimits, &out));
    EXPECT_FALSE(vx::DecodePicture({f.data(), f.size()}, small, &out));
  }
}

// Inputs that once crashed or upset a reader, kept in regressions/, are
// refused or read as well-formed images.
TEST(MalformedFiles, StoredRegressionsAreReadWithoutHarm) {
  int replayed = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(__FILE__).parent_path() / "regressions")) {
    if (entry.path().extension() == ".md") continue;
    SCOPED_TRACE(entry.path().filename().string());
    for (IMG img : {OpenDF(entry.path().c_str()), OpenGraphFile(entry.path().c_str())}) {
      if (!img.valid) continue;
      EXPECT_TRUE(img.gray == 0 && img.width > 0 && img.height > 0);
      EXPECT_EQ(img.stride, (3 * img.width + 3) / 4 * 4);
      DeleteImg(img);
    }
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
