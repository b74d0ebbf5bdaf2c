// Malformed, truncated, oversized and unsupported files: both readers refuse
// each one and return normally (run under the sanitizers for leaks and
// out-of-bounds reads).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "image/bmp_decode.h"
#include "image/picture_decode.h"
#include "picture_test_util.h"

namespace {

using vxtest::Bytes;

void Set32(Bytes& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void SetBe32(Bytes& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

void Set16(Bytes& b, size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint32_t Crc32(const std::uint8_t* p, size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// PNG with new IHDR width and height and a correct IHDR CRC.
Bytes PngSized(Bytes png, std::uint32_t width, std::uint32_t height) {
  SetBe32(png, 16, width);
  SetBe32(png, 20, height);
  SetBe32(png, 29, Crc32(png.data() + 12, 17));
  return png;
}

Bytes Cut(const Bytes& b, size_t length) { return Bytes(b.begin(), b.begin() + std::min(length, b.size())); }

Bytes With(Bytes b, const std::function<void(Bytes&)>& change) {
  change(b);
  return b;
}

// Hand-made run-length file: 4 x 2 pixels, two palette entries, then `codes`.
Bytes Rle8(const Bytes& codes) {
  vxtest::BmpOptions o;
  o.bits = 8;
  o.compression = vxtest::BmpCompression::kRle8;
  Bytes b = vxtest::WriteBmp(vxtest::RandomPicture(4, 2, 1, 2), o);
  const std::uint32_t offset = b[10] | (b[11] << 8);
  b.resize(offset);
  b.insert(b.end(), codes.begin(), codes.end());
  return b;
}

struct Case {
  std::string name;
  Bytes bytes;
};

void ExpectRefused(const std::vector<Case>& cases) {
  const std::string path = vxtest::TempPath("malformed.bin");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vx::Picture picture;
    EXPECT_FALSE(
        vx::DecodePicture(vx::ByteView{c.bytes.data(), c.bytes.size()}, vx::kDefaultPictureLimits, &picture));
    vxtest::WriteFile(path, c.bytes);
    EXPECT_EQ(OpenGraphFile(path.c_str()).valid, 0);
    EXPECT_EQ(LoadPictureFile(path.c_str()), 0u);
    EXPECT_EQ(OpenDF(path.c_str()).valid, 0);
  }
}

TEST(MalformedFiles, Bitmaps) {
  const Bytes bmp24 = vxtest::WriteBmp(vxtest::RandomPicture(6, 5, 1));
  vxtest::BmpOptions pal;
  pal.bits = 8;
  const Bytes bmp8 = vxtest::WriteBmp(vxtest::RandomPicture(6, 5, 2, 6), pal);
  ExpectRefused({
      {"file header only", Cut(bmp24, 14)},
      {"ends inside the information header", Cut(bmp24, 30)},
      {"ends before the pixels", Cut(bmp24, 54)},
      {"one pixel byte missing", Cut(bmp24, bmp24.size() - 1)},
      {"zero width", With(bmp24, [](Bytes& b) { Set32(b, 18, 0); })},
      {"zero height", With(bmp24, [](Bytes& b) { Set32(b, 22, 0); })},
      {"negative width", With(bmp24, [](Bytes& b) { Set32(b, 18, static_cast<std::uint32_t>(-6)); })},
      {"height -2^31", With(bmp24, [](Bytes& b) { Set32(b, 22, 0x80000000u); })},
      {"side over 2^20", With(bmp24,
                              [](Bytes& b) {
                                Set32(b, 18, (1u << 20) + 1);
                                Set32(b, 22, 1);
                              })},
      {"width x height wraps 32 bits", With(bmp24,
                                            [](Bytes& b) {
                                              Set32(b, 18, 65536);
                                              Set32(b, 22, 65536);
                                            })},
      {"width x height x bits wraps 64 bits", With(bmp24,
                                                   [](Bytes& b) {
                                                     Set32(b, 18, 0x7FFFFFFF);
                                                     Set32(b, 22, 0x7FFFFFFF);
                                                   })},
      {"data offset beyond the file", With(bmp24, [](Bytes& b) { Set32(b, 10, 0xFFFFFFF0u); })},
      {"no room for the palette", With(bmp8,
                                       [](Bytes& b) {
                                         Set32(b, 10, 54);
                                         Set32(b, 46, 0);
                                       })},
      {"index beyond a short palette", With(bmp8, [](Bytes& b) { Set32(b, 46, 2); })},
      {"palette beyond the file", With(Cut(bmp8, 60), [](Bytes& b) { Set32(b, 10, 54 + 1024); })},
      {"3 bits per pixel", With(bmp24, [](Bytes& b) { Set16(b, 28, 3); })},
      {"64 bits per pixel", With(bmp24, [](Bytes& b) { Set16(b, 28, 64); })},
      {"JPEG inside a bitmap", With(bmp24, [](Bytes& b) { Set32(b, 30, 4); })},
      {"bit fields on 24 bits", With(bmp24, [](Bytes& b) { Set32(b, 30, 3); })},
      {"RLE8 on 24 bits", With(bmp24, [](Bytes& b) { Set32(b, 30, 1); })},
      {"run past the row", Rle8({5, 0, 0, 1})},
      {"literal run past the row", Rle8({0, 5, 0, 1, 0, 1, 0, 0, 0, 1})},
      {"delta past the picture", Rle8({0, 2, 0, 3, 0, 1})},
      {"run past the last row", Rle8({0, 0, 0, 0, 4, 1, 0, 1})},
      {"literal cut by the end of the file", Rle8({0, 4, 1, 0})},
      {"run-length data stopping early", Rle8({4, 1})},
      {"run-length index beyond the palette", Rle8({4, 7, 0, 1})},
      {"top-down run-length file",
       With(Rle8({4, 1, 0, 0, 4, 0, 0, 1}), [](Bytes& b) { Set32(b, 22, static_cast<std::uint32_t>(-2)); })},
  });
}

// The 24-bit reader does not look at the information header's size (the
// fields it needs sit at fixed offsets); the general reader knows no
// 20-byte header and refuses it.
TEST(MalformedFiles, UnknownInformationHeaderSize) {
  Bytes odd = vxtest::WriteBmp(vxtest::RandomPicture(6, 5, 1));
  Set32(odd, 14, 20);
  std::string path = vxtest::TempPath("odd-header.bmp");
  vxtest::WriteFile(path, odd);
  EXPECT_EQ(OpenGraphFile(path.c_str()).valid, 0);
  vxtest::Image df = vxtest::Image::Adopt(OpenDF(path.c_str()));
  EXPECT_EQ(df.img().valid, 1);
}

TEST(MalformedFiles, CompressedFormats) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(40, 30, 3, 50);
  const Bytes png = vxtest::WritePng(picture);
  const Bytes jpeg = vxtest::WriteJpeg(picture);
  const Bytes progressive = vxtest::WriteJpeg(picture, {false, true});
  const Bytes tiff = vxtest::WriteTiff(picture, {vxtest::TiffColor::kRgb, vxtest::TiffCompression::kLzw});
  const Bytes gif = vxtest::WriteGif(picture);
  const size_t idat_crc = png.size() - 12 - 4;  // last IDAT's CRC, before the 12-byte IEND
  ExpectRefused({
      {"PNG signature only", Cut(png, 8)},
      {"PNG cut inside IHDR", Cut(png, 20)},
      {"PNG cut inside the image data", Cut(png, png.size() / 2)},
      {"PNG without its last IDAT CRC", Cut(png, idat_crc)},
      {"PNG bad IHDR CRC", With(png, [](Bytes& b) { b[29] ^= 1; })},
      {"PNG bad IDAT CRC", With(png, [&](Bytes& b) { b[idat_crc] ^= 1; })},
      {"PNG zero width", PngSized(png, 0, 30)},
      {"PNG side over 2^20", PngSized(png, (1u << 20) + 1, 1)},
      {"PNG over 2^30 pixels", PngSized(png, 1u << 20, 1u << 11)},
      {"PNG promising more rows than its data holds", PngSized(png, 40000, 40000)},
      {"JPEG start marker only", Cut(jpeg, 3)},
      {"JPEG cut in the header", Cut(jpeg, 200)},
      {"JPEG cut in the scan", Cut(jpeg, jpeg.size() * 2 / 3)},
      {"progressive JPEG cut between scans", Cut(progressive, progressive.size() / 2)},
      {"JPEG zero width", With(jpeg,
                               [](Bytes& b) {
                                 for (size_t i = 2; i + 9 < b.size(); ++i)
                                   if (b[i] == 0xFF && b[i + 1] == 0xC0) b[i + 7] = b[i + 8] = 0;
                               })},
      {"JPEG promising more pixels than its data can hold", With(jpeg,
                                                                 [](Bytes& b) {
                                                                   for (size_t i = 2; i + 9 < b.size(); ++i)
                                                                     if (b[i] == 0xFF && b[i + 1] == 0xC0)
                                                                       b[i + 5] = b[i + 7] =
                                                                           0x75;  // 30000+ x 30000+
                                                                 })},
      {"TIFF header only", Cut(tiff, 8)},
      {"TIFF cut in the strips", Cut(tiff, tiff.size() / 3)},
      {"TIFF directory beyond the file", With(tiff, [](Bytes& b) { Set32(b, 4, 0x7FFFFFF0u); })},
      {"GIF header only", Cut(gif, 13)},
      {"GIF cut in the image data", Cut(gif, gif.size() / 2)},
      {"GIF frame promising more pixels than its data can hold",
       With(gif,
            [](Bytes& b) {
              const size_t frame = 13 + 3 * 64;  // after the 64-entry global palette
              b[7] = b[9] = b[frame + 6] = b[frame + 8] = 0x75;
            })},
      {"GIF without any frame", With(Cut(gif, 13 + 3 * 64), [](Bytes& b) { b.push_back(0x3B); })},
  });
}

TEST(MalformedFiles, NotPictures) {
  ExpectRefused({{"empty file", {}}, {"one byte", {'B'}}, {"text", {'h', 'e', 'l', 'l', 'o'}}});
  const std::string dir = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(OpenGraphFile(dir.c_str()).valid, 0);
  EXPECT_EQ(LoadPictureFile(dir.c_str()), 0u);
  EXPECT_EQ(OpenDF(dir.c_str()).valid, 0);
}

// The caps hold for pictures that are otherwise valid.
TEST(MalformedFiles, LimitsApplyToValidPictures) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(40, 30, 4, 50);
  vx::PictureLimits small;
  small.max_pixels = 40 * 30 - 1;
  const Bytes files[] = {vxtest::WriteBmp(picture), vxtest::WritePng(picture), vxtest::WriteJpeg(picture),
                         vxtest::WriteTiff(picture), vxtest::WriteGif(picture)};
  for (const Bytes& f : files) {
    vx::Picture out;
    EXPECT_TRUE(vx::DecodePicture(vx::ByteView{f.data(), f.size()}, vx::kDefaultPictureLimits, &out));
    EXPECT_FALSE(vx::DecodePicture(vx::ByteView{f.data(), f.size()}, small, &out));
  }
}

}  // namespace
