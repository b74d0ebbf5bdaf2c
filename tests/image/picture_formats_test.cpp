// Pictures of every format and variant load as 24-bit bottom-up images
// with the right pixels; the format is told from the contents, not the file
// name.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "support/images.h"
#include "support/picture_writers.h"

namespace {

using vxtest::BmpCompression;
using vxtest::TestPicture;
using vxtest::WithAlpha;

// Saves bytes to a temporary file and opens it with OpenGraphFile.
vxtest::Image LoadPicture(const vxtest::Bytes& bytes, const std::string& name = "picture.bin") {
  const std::string path = vxtest::TempPath(name);
  vxtest::WriteFile(path, bytes);
  return vxtest::Image::Adopt(OpenGraphFile(path.c_str()));
}

template <class Options>
struct Variant {
  const char* name;
  TestPicture picture;
  Options options;
  int tolerance = 0;
};

// Each variant, written by `write` and saved under `name`, loads with its pixels.
template <class Options>
void ExpectLoads(const std::vector<Variant<Options>>& cases,
                 vxtest::Bytes (*write)(const TestPicture&, const Options&), const std::string& name) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_LE(vxtest::MaxDifference(LoadPicture(write(c.picture, c.options), name).img(), c.picture),
              c.tolerance);
  }
}

// The picture as it reads back after storing channels in r, g, b, a bits
// (a = 0: opaque).
TestPicture Quantized(TestPicture p, int r, int g, int b, int a = 0) {
  auto q = [](std::uint8_t v, int bits) {
    const double max = (1 << bits) - 1;
    return static_cast<std::uint8_t>(bits == 0 ? 0 : std::lround(std::lround(v * max / 255) * 255 / max));
  };
  for (auto& px : p.px) px = {q(px.r, r), q(px.g, g), q(px.b, b), a ? q(px.a, a) : std::uint8_t{255}};
  return p;
}

// Pixels of the first colour become white, as run-length files skip them.
TestPicture FirstColorWhite(TestPicture p) {
  const vxtest::Rgba first = p.px[0];
  for (auto& px : p.px)
    if (px == first) px = {255, 255, 255, 255};
  return p;
}

TEST(PictureFormats, BmpVariants) {
  const TestPicture rgb = vxtest::RandomPicture(13, 7, 1);
  const TestPicture colors200 = vxtest::RandomPicture(13, 7, 5, 200);
  const TestPicture colors16 = vxtest::RandomPicture(13, 7, 4, 16);
  const TestPicture skipped = FirstColorWhite(vxtest::RandomPicture(37, 11, 10, 4));
  using C = BmpCompression;
  auto Fields = [](int bits, std::array<std::uint32_t, 4> m, C c = C::kBitFields, int info = 40) {
    return vxtest::BmpOptions{
        .bits = bits, .compression = c, .info_size = info, .masks = {m[0], m[1], m[2], m[3]}};
  };
  ExpectLoads<vxtest::BmpOptions>(
      {
          {"1-bit palette", vxtest::RandomPicture(13, 7, 2, 2), {.bits = 1}},
          {"2-bit palette", vxtest::RandomPicture(13, 7, 3, 4), {.bits = 2}},
          {"4-bit palette", colors16, {.bits = 4}},
          {"8-bit palette", colors200, {.bits = 8}},
          {"8-bit top-down", colors200, {.bits = 8, .top_down = true}},
          {"8-bit, 256 entries for 200 colours", colors200, {.bits = 8, .palette_entries = 256}},
          {"4-bit core header", colors16, {.bits = 4, .core_header = true}},
          {"24-bit", rgb, {}},
          {"24-bit top-down", rgb, {.top_down = true}},
          {"24-bit core header", rgb, {.core_header = true}},
          {"16-bit 5-5-5", Quantized(rgb, 5, 5, 5), {.bits = 16}},
          {"32-bit, fourth byte unused", rgb, {.bits = 32}},
          {"16-bit bit fields 5-6-5", Quantized(rgb, 5, 6, 5), Fields(16, {0xF800, 0x07E0, 0x001F})},
          {"16-bit bit fields without green", Quantized(rgb, 5, 0, 5), Fields(16, {0x7C00, 0, 0x001F})},
          {"16-bit alpha bit fields 4-4-4-4", Quantized(WithAlpha(rgb), 4, 4, 4, 4),
           Fields(16, {0x0F00, 0x00F0, 0x000F, 0xF000}, C::kAlphaBitFields)},
          {"32-bit bit fields with alpha, V5 header", WithAlpha(rgb),
           Fields(32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, C::kBitFields, 124)},
          {"32-bit bit fields, red in the low byte", rgb, Fields(32, {0xFF, 0xFF00, 0xFF0000})},
          {"RLE8", vxtest::RandomPicture(40, 9, 6, 3), {.bits = 8, .compression = C::kRle8}},
          {"RLE4", vxtest::RandomPicture(41, 9, 7, 3), {.bits = 4, .compression = C::kRle4}},
          {"RLE8 with deltas", skipped, {.bits = 8, .compression = C::kRle8, .rle_deltas = true}},
          {"RLE4 with deltas", skipped, {.bits = 4, .compression = C::kRle4, .rle_deltas = true}},
      },
      vxtest::WriteBmp, "variant.bmp");
}

// Pins the layout the other tests compare with: the picture's top line is
// the last row, blue first, rows padded to 4 bytes.
TEST(PictureFormats, TopLineOfThePictureIsTheLastRow) {
  TestPicture picture = vxtest::RandomPicture(5, 3, 20);
  for (int x = 0; x < 5; ++x) picture.at(x, 0) = {1, 2, 3, 255};
  for (bool top_down : {false, true}) {
    vxtest::Image img = LoadPicture(vxtest::WriteBmp(picture, {.top_down = top_down}), "orient.bmp");
    ASSERT_EQ(img.img().valid, 1);
    ASSERT_EQ(img.img().height, 3);
    EXPECT_EQ(std::memcmp(img.row(2), "\3\2\1\3\2\1\3\2\1\3\2\1\3\2\1\0", 16), 0);
  }
}

TEST(PictureFormats, PngVariants) {
  using vxtest::PngColor;
  const TestPicture rgb = vxtest::RandomPicture(11, 6, 1);
  const TestPicture gray = vxtest::RandomPicture(11, 6, 2, 0, true);
  const TestPicture few = vxtest::RandomPicture(11, 6, 3, 12);
  ExpectLoads<vxtest::PngOptions>(
      {
          {"gray 1-bit", Quantized(gray, 1, 1, 1), {PngColor::kGray, 1}},
          {"gray 4-bit", Quantized(gray, 4, 4, 4), {PngColor::kGray, 4}},
          {"gray 8-bit", gray, {PngColor::kGray, 8}},
          {"gray 16-bit", gray, {PngColor::kGray, 16}},
          {"gray and alpha", WithAlpha(gray), {PngColor::kGrayAlpha, 8}},
          {"palette 4-bit", few, {PngColor::kPalette, 4}},
          {"palette 8-bit with transparency", WithAlpha(few), {PngColor::kPalette, 8, false, true}},
          {"RGB 8-bit", rgb, {PngColor::kRgb, 8}},
          {"RGB 16-bit", rgb, {PngColor::kRgb, 16}},
          {"RGBA 8-bit", WithAlpha(rgb), {PngColor::kRgba, 8}},
          {"RGBA 16-bit", WithAlpha(rgb), {PngColor::kRgba, 16}},
          {"RGBA interlaced", WithAlpha(rgb), {PngColor::kRgba, 8, true}},
      },
      vxtest::WritePng, "picture.bmp");
}

// Smooth ramps survive JPEG within a few levels; upside down they would
// differ by about 200.
TEST(PictureFormats, JpegMatchesLibjpegsOwnDecode) {
  const struct {
    const char* name;
    vxtest::JpegOptions options;
  } cases[] = {{"baseline colour", {}},
               {"gray", {.gray = true}},
               {"progressive", {.progressive = true, .quality = 80}},
               {"Adobe CMYK", {.cmyk = true}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestPicture picture{21, 13, {}};
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 21; ++x) {
        const auto v = static_cast<std::uint8_t>(19 * y);
        picture.px.push_back(c.options.gray ? vxtest::Rgba{v, v, v}
                                            : vxtest::Rgba{static_cast<std::uint8_t>(10 * x), v, 128});
      }
    const vxtest::Bytes jpeg = vxtest::WriteJpeg(picture, c.options);
    vxtest::Image img = LoadPicture(jpeg, "photo.png");
    EXPECT_LE(vxtest::MaxDifference(img.img(), picture), 24);
    if (c.options.cmyk) continue;  // libjpeg gives no BGR from CMYK
    const std::vector<std::uint8_t> want = vxtest::JpegReference(jpeg);
    ASSERT_EQ(img.img().stride * img.img().height, static_cast<int>(want.size()));
    EXPECT_EQ(std::memcmp(img.img().bits, want.data(), want.size()), 0);
  }
}

TEST(PictureFormats, TiffVariants) {
  using vxtest::TiffColor;
  using vxtest::TiffCompression;
  const TestPicture rgb = vxtest::RandomPicture(19, 21, 9);
  const TestPicture bilevel = Quantized(vxtest::RandomPicture(19, 21, 10, 0, true), 1, 1, 1);
  ExpectLoads<vxtest::TiffOptions>(
      {
          {"RGB uncompressed", rgb, {TiffColor::kRgb, TiffCompression::kNone}},
          {"RGB LZW", rgb, {TiffColor::kRgb, TiffCompression::kLzw}},
          {"RGB tiled", rgb, {TiffColor::kRgb, TiffCompression::kLzw, true}},
          {"RGB 16-bit", rgb, {TiffColor::kRgb16, TiffCompression::kNone}},
          {"gray", vxtest::RandomPicture(19, 21, 11, 0, true), {TiffColor::kGray, TiffCompression::kLzw}},
          {"bilevel scanner page", bilevel, {TiffColor::kBilevel, TiffCompression::kPackBits}},
          {"palette", vxtest::RandomPicture(19, 21, 12, 30), {TiffColor::kPalette, TiffCompression::kNone}},
          // Alpha goes through libtiff's premultiplication, rounded once more.
          {"RGBA", WithAlpha(rgb), {TiffColor::kRgba, TiffCompression::kDeflate}, 1},
      },
      vxtest::WriteTiff, "scan.gif");
}

TEST(PictureFormats, GifFirstFrame) {
  const TestPicture picture = vxtest::RandomPicture(17, 19, 13, 40);
  TestPicture holes = picture;
  for (size_t i = 0; i < holes.px.size(); i += 3) holes.px[i] = {0, 0, 0, 0};
  ExpectLoads<vxtest::GifOptions>(
      {
          {"plain", picture, {}},
          {"interlaced", picture, {.interlaced = true}},
          {"transparent pixels over white", holes, {.transparent_index = 63}},
          {"second frame ignored", picture, {.second_frame = true}},
      },
      vxtest::WriteGif, "anim.tif");
}

}  // namespace
