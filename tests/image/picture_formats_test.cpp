// PNG, JPEG, TIFF and GIF pictures written by their own libraries load as
// 24-bit bottom-up images with the right pixels; the format is told from
// the contents, not the file name.
#include <gtest/gtest.h>

#include <cstring>

#include "picture_test_util.h"

namespace {

using vxtest::TestPicture;

// Gray pictures whose values survive `depth`-bit storage.
TestPicture GrayLevels(int width, int height, std::uint32_t seed, int depth) {
  TestPicture p = vxtest::RandomPicture(width, height, seed, 0, true);
  const int max = (1 << depth) - 1;
  for (auto& px : p.px) {
    std::uint8_t v = static_cast<std::uint8_t>((px.r >> (8 - depth)) * (255 / max));
    px = vxtest::Rgba{v, v, v, 255};
  }
  return p;
}

TestPicture WithAlpha(TestPicture p) {
  std::uint32_t s = 7;
  for (auto& px : p.px) px.a = static_cast<std::uint8_t>((s = s * 1103515245u + 12345u) >> 16);
  return p;
}

TEST(PictureFormats, PngVariants) {
  using vxtest::PngColor;
  const TestPicture rgb = vxtest::RandomPicture(11, 6, 1);
  const TestPicture gray = vxtest::RandomPicture(11, 6, 2, 0, true);
  const TestPicture few = vxtest::RandomPicture(11, 6, 3, 12);
  struct Case {
    const char* name;
    TestPicture picture;
    vxtest::PngOptions options;
  };
  const Case cases[] = {
      {"gray 1-bit", GrayLevels(11, 6, 4, 1), {PngColor::kGray, 1}},
      {"gray 2-bit", GrayLevels(11, 6, 5, 2), {PngColor::kGray, 2}},
      {"gray 4-bit", GrayLevels(11, 6, 6, 4), {PngColor::kGray, 4}},
      {"gray 8-bit", gray, {PngColor::kGray, 8}},
      {"gray 16-bit", gray, {PngColor::kGray, 16}},
      {"gray and alpha", WithAlpha(gray), {PngColor::kGrayAlpha, 8}},
      {"palette 4-bit", few, {PngColor::kPalette, 4}},
      {"palette 8-bit with transparency", WithAlpha(few), {PngColor::kPalette, 8, false, true}},
      {"RGB 8-bit", rgb, {PngColor::kRgb, 8}},
      {"RGB 16-bit", rgb, {PngColor::kRgb, 16}},
      {"RGBA 8-bit", WithAlpha(rgb), {PngColor::kRgba, 8}},
      {"RGBA 16-bit", WithAlpha(rgb), {PngColor::kRgba, 16}},
      {"RGB interlaced", rgb, {PngColor::kRgb, 8, true}},
      {"RGBA interlaced", WithAlpha(rgb), {PngColor::kRgba, 8, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vxtest::Image img = vxtest::LoadPicture(vxtest::WritePng(c.picture, c.options), "picture.bmp");
    EXPECT_EQ(vxtest::MaxDifference(img.img(), c.picture), 0);
  }
}

// Smooth ramps survive JPEG within a few levels, so the comparison with the
// picture itself checks the orientation.
TestPicture Ramps(int width, int height, bool gray) {
  TestPicture p{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t v = static_cast<std::uint8_t>(19 * y);
      p.px.push_back(gray ? vxtest::Rgba{v, v, v, 255}
                          : vxtest::Rgba{static_cast<std::uint8_t>(10 * x), v, 128, 255});
    }
  }
  return p;
}

TEST(PictureFormats, JpegMatchesLibjpegsOwnDecode) {
  const struct {
    const char* name;
    vxtest::JpegOptions options;
  } cases[] = {{"baseline colour", {}}, {"gray", {true}}, {"progressive", {false, true, 80}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TestPicture picture = Ramps(21, 13, c.options.gray);
    vxtest::Bytes jpeg = vxtest::WriteJpeg(picture, c.options);
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> want = vxtest::JpegReference(jpeg, &width, &height);
    vxtest::Image img = vxtest::LoadPicture(jpeg, "photo.png");
    ASSERT_EQ(img.img().valid, 1);
    ASSERT_EQ(img.img().width, 21);
    ASSERT_EQ(img.img().height, 13);
    ASSERT_EQ(img.img().stride, 64);
    EXPECT_EQ(std::memcmp(img.img().bits, want.data(), want.size()), 0);
    EXPECT_LE(vxtest::MaxDifference(img.img(), picture), 24);  // upside down would be ~200
  }
}

TEST(PictureFormats, AdobeCmykJpeg) {
  const TestPicture picture = Ramps(21, 13, false);
  vxtest::JpegOptions cmyk;
  cmyk.cmyk = true;
  vxtest::Image img = vxtest::LoadPicture(vxtest::WriteJpeg(picture, cmyk), "cmyk.jpg");
  EXPECT_LE(vxtest::MaxDifference(img.img(), picture), 24);
}

TEST(PictureFormats, TiffVariants) {
  using vxtest::TiffColor;
  using vxtest::TiffCompression;
  const TestPicture rgb = vxtest::RandomPicture(19, 21, 9);
  TestPicture bilevel = vxtest::RandomPicture(19, 21, 10, 2);
  for (auto& px : bilevel.px) {
    std::uint8_t v = px.r < 128 ? 0 : 255;
    px = vxtest::Rgba{v, v, v, 255};
  }
  struct Case {
    const char* name;
    TestPicture picture;
    vxtest::TiffOptions options;
    int tolerance;
  };
  const Case cases[] = {
      {"RGB uncompressed", rgb, {TiffColor::kRgb, TiffCompression::kNone}, 0},
      {"RGB LZW", rgb, {TiffColor::kRgb, TiffCompression::kLzw}, 0},
      {"RGB deflate", rgb, {TiffColor::kRgb, TiffCompression::kDeflate}, 0},
      {"RGB PackBits", rgb, {TiffColor::kRgb, TiffCompression::kPackBits}, 0},
      {"RGB tiled", rgb, {TiffColor::kRgb, TiffCompression::kLzw, true}, 0},
      {"RGB 16-bit", rgb, {TiffColor::kRgb16, TiffCompression::kNone}, 0},
      {"gray", vxtest::RandomPicture(19, 21, 11, 0, true), {TiffColor::kGray, TiffCompression::kLzw}, 0},
      {"bilevel scanner page", bilevel, {TiffColor::kBilevel, TiffCompression::kPackBits}, 0},
      {"palette", vxtest::RandomPicture(19, 21, 12, 30), {TiffColor::kPalette, TiffCompression::kNone}, 0},
      // Alpha goes through libtiff's premultiplication, rounded once more.
      {"RGBA", WithAlpha(rgb), {TiffColor::kRgba, TiffCompression::kDeflate}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vxtest::Image img = vxtest::LoadPicture(vxtest::WriteTiff(c.picture, c.options), "scan.gif");
    EXPECT_LE(vxtest::MaxDifference(img.img(), c.picture), c.tolerance);
  }
}

TEST(PictureFormats, GifFirstFrame) {
  const TestPicture picture = vxtest::RandomPicture(17, 19, 13, 40);
  TestPicture holes = picture;
  for (size_t i = 0; i < holes.px.size(); i += 3) holes.px[i] = vxtest::Rgba{0, 0, 0, 0};
  struct Case {
    const char* name;
    TestPicture picture;
    vxtest::GifOptions options;
  };
  const Case cases[] = {
      {"plain", picture, {}},
      {"interlaced", picture, {true}},
      {"transparent pixels over white", holes, {false, 63}},
      {"second frame ignored", picture, {false, -1, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vxtest::Image img = vxtest::LoadPicture(vxtest::WriteGif(c.picture, c.options), "anim.tif");
    EXPECT_EQ(vxtest::MaxDifference(img.img(), c.picture), 0);
  }
}

TEST(PictureFormats, BitmapsWrittenBySaveDfLoadToo) {
  vxtest::Image gray = vxtest::Image::FromArt({"#..#.", ".##..", "....#"});
  std::string path = vxtest::TempPath("saved.jpg");
  ASSERT_EQ(SaveDF(path.c_str(), gray.img()), 0);
  vxtest::Image img = vxtest::Image::Adopt(OpenGraphFile(path.c_str()));
  ASSERT_EQ(img.img().valid, 1);
  ASSERT_EQ(img.img().height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(img.at(x, y, 1), gray.at(x, y)) << x << "," << y;
}

}  // namespace
