// Every format and variant loads as a 24-bit bottom-up image (format told from contents, not name).
// Malformed, cut, oversized and unsupported files are refused by every reader (sanitized: no leaks).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "allocation_probe.h"
#include "image/picture_decode.h"
#include "support/images.h"
#include "support/picture_writers.h"

namespace {

using namespace vxtest;  // NOLINT: the writers and their options
using vxtest::AllocationProbe;

vxtest::Image LoadPicture(const Bytes& bytes, const std::string& name = "picture.bin") {
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
                 Bytes (*write)(const TestPicture&, const Options&), const std::string& name) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_LE(vxtest::MaxDifference(LoadPicture(write(c.picture, c.options), name).img(), c.picture),
              c.tolerance);
  }
}

// The picture as read back after storing r, g, b, a bits (a = 0: opaque).
TestPicture Quantized(TestPicture p, int r, int g, int b, int a = 0) {
  auto q = [](std::uint8_t v, int bits) {
    const double max = (1 << bits) - 1;
    return static_cast<std::uint8_t>(bits == 0 ? 0 : std::lround(std::lround(v * max / 255) * 255 / max));
  };
  for (auto& px : p.px) px = {q(px.r, r), q(px.g, g), q(px.b, b), a ? q(px.a, a) : std::uint8_t{255}};
  return p;
}

TEST(PictureFormats, BmpVariants) {
  const TestPicture rgb = vxtest::RandomPicture(13, 7, 1);
  const TestPicture colors200 = vxtest::RandomPicture(13, 7, 5, 200);
  const TestPicture colors16 = vxtest::RandomPicture(13, 7, 4, 16);
  TestPicture skipped = vxtest::RandomPicture(37, 11, 10, 4);  // first colour white, as RLE deltas skip it
  const vxtest::Rgba first = skipped.px[0];
  std::ranges::replace(skipped.px, first, vxtest::Rgba{255, 255, 255, 255});
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

// The layout compared with: top line last, blue first, rows padded to 4 bytes.
TEST(PictureFormats, TopLineOfThePictureIsTheLastRow) {
  TestPicture picture = vxtest::RandomPicture(5, 3, 20);
  for (int x = 0; x < 5; ++x) picture.at(x, 0) = {1, 2, 3, 255};
  for (bool top_down : {false, true}) {
    vxtest::Image img = LoadPicture(vxtest::WriteBmp(picture, {.top_down = top_down}), "orient.bmp");
    ASSERT_EQ(img.img().height, 3) << "top_down " << top_down;
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

// Smooth ramps survive JPEG within a few levels (upside down: about 200).
TEST(PictureFormats, JpegMatchesLibjpegsOwnDecode) {
  for (vxtest::JpegOptions options :
       {vxtest::JpegOptions{}, {.gray = true}, {.progressive = true, .quality = 80}, {.cmyk = true}}) {
    SCOPED_TRACE(testing::Message() << options.gray << options.progressive << options.cmyk);
    TestPicture picture{21, 13, {}};
    for (int i = 0; i < 21 * 13; ++i) {
      const auto v = static_cast<std::uint8_t>(19 * (i / 21)), u = static_cast<std::uint8_t>(10 * (i % 21));
      picture.px.push_back(options.gray ? vxtest::Rgba{v, v, v} : vxtest::Rgba{u, v, 128});
    }
    const Bytes jpeg = vxtest::WriteJpeg(picture, options);
    vxtest::Image img = LoadPicture(jpeg, "photo.png");
    EXPECT_LE(vxtest::MaxDifference(img.img(), picture), 24);
    if (options.cmyk) continue;  // libjpeg gives no BGR from CMYK
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
          // Edge tiles run 15 columns and 8 rows past the picture.
          {"RGB tiled, uncompressed",
           vxtest::RandomPicture(33, 40, 14),
           {TiffColor::kRgb, TiffCompression::kNone, true}},
          {"RGB tiled, deflate",
           vxtest::RandomPicture(33, 40, 15),
           {TiffColor::kRgb, TiffCompression::kDeflate, true}},
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

using Case = std::pair<std::string, Bytes>;

void ExpectFileRefused(const char* path) {
  EXPECT_EQ(OpenGraphFile(path).valid, 0) << "OpenGraphFile";
  EXPECT_EQ(LoadPictureFile(path), 0u) << "LoadPictureFile";
  EXPECT_EQ(OpenDF(path).valid, 0) << "OpenDF";
}

void ExpectRefused(const std::vector<Case>& cases) {
  const std::string path = vxtest::TempPath("malformed.bin");
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    vx::Picture picture;
    EXPECT_FALSE(vx::DecodePicture({bytes.data(), bytes.size()}, vx::kDefaultPictureLimits, &picture));
    vxtest::WriteFile(path, bytes);
    ExpectFileRefused(path.c_str());
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
  const Bytes bmp16 = vxtest::WriteBmp(
      vxtest::RandomPicture(6, 5, 3),
      {.bits = 16, .compression = vxtest::BmpCompression::kBitFields, .masks = {0xF800, 0x07E0, 0x001F}});
  // Offsets: 10 data offset, 18 width, 22 height, 28 bits and 30 compression, 46 palette entries.
  ExpectRefused({
      {"file header only", Cut(bmp, 14)},
      {"one pixel byte missing", Cut(bmp, bmp.size() - 1)},
      {"wrong magic", Patched(bmp, {{1, 'A'}}, 1)},
      {"zero width", Patched(bmp, {{18, 0}})},
      {"height -2^31", Patched(bmp, {{22, 0x80000000u}})},
      {"side over 2^20", Patched(bmp, {{18, (1u << 20) + 1}, {22, 1}})},
      {"over 2^30 pixels", Patched(bmp, {{18, 1u << 20}, {22, 1u << 11}})},
      {"width x height x bits wraps 64 bits", Patched(bmp, {{18, 0x7FFFFFFF}, {22, 0x7FFFFFFF}})},
      {"data offset beyond the file", Patched(bmp, {{10, 0xFFFFFFF0u}})},
      {"data offset zero, inside the headers", Patched(bmp, {{10, 0}})},
      {"no room for the palette", Patched(bmp8, {{10, 54}, {46, 0}})},
      {"index beyond a short palette", Patched(bmp8, {{46, 2}})},
      {"palette beyond the file", Patched(Cut(bmp8, 60), {{10, 54 + 1024}})},
      {"3 bits per pixel", Patched(bmp, {{28, 3}})},
      {"JPEG inside a bitmap", Patched(bmp, {{30, 4}})},
      {"RLE8 on 24 bits", Patched(bmp, {{30, 1}})},
      {"run past the row", Rle8({5, 0, 0, 1})},
      {"delta past the picture", Rle8({0, 2, 0, 3, 0, 1})},
      {"run past the last row", Rle8({0, 0, 0, 0, 4, 1, 0, 1})},
      {"literal cut by the end of the file", Rle8({0, 4, 1, 0})},
      {"run-length data stopping early", Rle8({4, 1})},
      {"run-length index beyond the palette", Rle8({4, 7, 0, 1})},
      {"top-down run-length file",
       Patched(Rle8({4, 1, 0, 0, 4, 0, 0, 1}), {{22, static_cast<std::uint32_t>(-2)}})},
      {"8-bit with 1000 colours used", Patched(bmp8, {{46, 1000}})},
      {"8-bit with 0x40000001 colours used", Patched(bmp8, {{46, 0x40000001u}})},
      {"16-bit bit fields with every mask 0", Patched(bmp16, {{54, 0}, {58, 0}, {62, 0}})},
  });
}

// A PNG with another IHDR width and height and a correct IHDR CRC.
Bytes PngSized(const Bytes& png, std::uint32_t width, std::uint32_t height) {
  const Bytes b = Patched(png, {{16, width}, {20, height}}, 4, true);
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 12; i < 29; ++i) {
    c ^= b[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return Patched(b, {{29, ~c}}, 4, true);
}

TEST(MalformedFiles, CompressedFormats) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(40, 30, 3, 50);
  const Bytes png = vxtest::WritePng(picture), jpeg = vxtest::WriteJpeg(picture),
              gif = vxtest::WriteGif(picture),
              progressive = vxtest::WriteJpeg(picture, {.progressive = true}),
              tiff = vxtest::WriteTiff(picture, {vxtest::TiffColor::kRgb, vxtest::TiffCompression::kLzw});
  const size_t idat_crc = png.size() - 12 - 4;  // the last IDAT CRC, before the 12-byte IEND
  const size_t frame = 13 + 3 * 64;             // GIF image after the 64-entry palette
  const Bytes sof0{0xFF, 0xC0};                 // frame header: height and width 5 bytes on
  const size_t sof = std::search(jpeg.begin(), jpeg.end(), sof0.begin(), sof0.end()) - jpeg.begin() + 5;
  Bytes no_frame = Cut(gif, frame);
  no_frame.push_back(0x3B);
  ExpectRefused({
      {"PNG signature only", Cut(png, 8)},
      {"PNG bad IDAT CRC", Patched(png, {{idat_crc, png[idat_crc] ^ 1u}}, 1)},
      {"PNG zero width", PngSized(png, 0, 30)},
      {"PNG over 2^30 pixels", PngSized(png, 1u << 20, 1u << 11)},
      {"PNG promising more rows than its data holds", PngSized(png, 40000, 40000)},
      {"JPEG cut in the scan", Cut(jpeg, jpeg.size() * 2 / 3)},
      {"progressive JPEG cut between scans", Cut(progressive, progressive.size() / 2)},
      {"JPEG zero width", Patched(jpeg, {{sof + 2, 0}}, 2, true)},
      {"JPEG promising more pixels than its data holds",
       Patched(jpeg, {{sof, 30000}, {sof + 2, 30000}}, 2, true)},
      {"TIFF header only", Cut(tiff, 8)},
      {"TIFF cut in the strips", Cut(tiff, tiff.size() / 3)},
      {"TIFF directory beyond the file", Patched(tiff, {{4, 0x7FFFFFF0u}})},
      {"GIF cut in the image data", Cut(gif, gif.size() / 2)},
      {"GIF frame promising more pixels than its data holds",
       Patched(gif, {{6, 30000}, {8, 30000}, {frame + 5, 30000}, {frame + 7, 30000}}, 2)},
      {"GIF without any frame", no_frame},
  });
}

// A gray TIFF of one 12-byte strip (LZW, or raw when not lzw) that claims width x height pixels.
Bytes TinyTiff(std::uint32_t width, std::uint32_t height, bool lzw) {
  Bytes b{'I', 'I', 42, 0, 8, 0, 0, 0, 9, 0};
  auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
    for (std::uint32_t v : {tag | static_cast<std::uint32_t>(type) << 16, 1u, value})
      for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  };
  constexpr std::uint16_t kShort = 3, kLong = 4;
  const std::uint32_t data = 8 + 2 + 9 * 12 + 4;
  entry(256, kLong, width), entry(257, kLong, height), entry(258, kShort, 8), entry(259, kShort, lzw ? 5 : 1);
  entry(262, kShort, 1), entry(273, kLong, data), entry(277, kShort, 1), entry(278, kLong, height);
  entry(279, kLong, 12);
  b.insert(b.end(), {0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  return b;
}

// Files of a few dozen bytes that claim pictures of gigabytes are refused
// before the picture (or a raster) is allocated.
TEST(MalformedFiles, DecompressionBombsAllocateNothingLarge) {
  const Bytes gif = vxtest::WriteGif(vxtest::RandomPicture(4, 3, 5, 4));
  Bytes rle = Rle8({0, 1});  // end of bitmap at once: every pixel skipped
  rle = Patched(rle, {{18, 32768}, {22, 32768}});
  const std::vector<Case> bombs = {
      {"GIF screen of 32768 x 32768", Patched(gif, {{6, 32768}, {8, 32768}}, 2)},
      {"RLE8 bitmap of 32768 x 32768", rle},
      {"TIFF of 30000 x 30000 in one 12-byte strip", TinyTiff(30000, 30000, true)},
  };
  for (const auto& [name, bytes] : bombs) {
    SCOPED_TRACE(name);
    vx::Picture picture;
    AllocationProbe::Reset();
    EXPECT_FALSE(vx::DecodePicture({bytes.data(), bytes.size()}, vx::kDefaultPictureLimits, &picture));
    EXPECT_LT(AllocationProbe::Largest(), std::size_t{1} << 20) << "largest allocation";
  }
  // The same kinds of file, honest about their size, still load.
  for (const Bytes& honest : {Patched(Rle8({0, 1}), {{18, 200}, {22, 100}}), TinyTiff(4, 3, false)}) {
    vx::Picture picture;
    EXPECT_TRUE(vx::DecodePicture({honest.data(), honest.size()}, vx::kDefaultPictureLimits, &picture));
  }
}

// OpenGraphFile holds the picture once (plus the file while decoding a
// compressed one); plain 24-bit bitmaps are read straight into the picture
// by both readers, which then hold nothing more.
TEST(PictureMemory, ReadersHoldOnePicture) {
  vxtest::TestPicture flat = vxtest::RandomPicture(1000, 1000, 1, 2);
  const size_t picture_bytes = 3000 * 1000, slack = 64 << 10;
  const std::string png = vxtest::TempPath("flat.png"), bmp = vxtest::TempPath("flat.bmp");
  vxtest::WriteFile(png, vxtest::WritePng(flat));
  vxtest::WriteFile(bmp, vxtest::WriteBmp(flat));
  AllocationProbe::Reset();
  vxtest::Image::Adopt(OpenGraphFile(png.c_str()));
  EXPECT_LT(AllocationProbe::PeakGrowth(), picture_bytes + vxtest::ReadFile(png).size() + slack) << "PNG";
  for (IMG (*open)(const char*) : {OpenDF, OpenGraphFile}) {
    AllocationProbe::Reset();
    vxtest::Image::Adopt(open(bmp.c_str()));
    EXPECT_LT(AllocationProbe::PeakGrowth(), picture_bytes + slack)
        << (open == OpenDF ? "OpenDF" : "OpenGraphFile");
  }
}

TEST(MalformedFiles, NotPicturesAndNoFiles) {
  ExpectRefused({{"empty file", {}}, {"one byte", {'B'}}, {"text", {'h', 'e', 'l', 'l', 'o'}}});
  const std::string dir = std::filesystem::temp_directory_path().string(),
                    missing = vxtest::TempPath("x.png");
  for (const char* path : {dir.c_str(), missing.c_str(), "", static_cast<const char*>(nullptr)})
    ExpectFileRefused(path);
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

// Inputs that once upset a reader (regressions/) are refused or read well-formed.
TEST(MalformedFiles, StoredRegressionsAreReadWithoutHarm) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VX_REGRESSIONS_DIR)) {
    if (entry.path().extension() == ".md") continue;
    SCOPED_TRACE(entry.path().filename().string());
    for (IMG img : {OpenDF(entry.path().c_str()), OpenGraphFile(entry.path().c_str())}) {
      if (!img.valid) continue;
      EXPECT_EQ(img.gray, 0);
      EXPECT_GT(img.width, 0);
      EXPECT_GT(img.height, 0);
      EXPECT_EQ(img.stride, (3 * img.width + 3) / 4 * 4);
      DeleteImg(img);
    }
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
