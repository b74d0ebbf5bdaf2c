// Every common bitmap variant loads with the right pixels and orientation.
#include <gtest/gtest.h>

#include <cmath>

#include "picture_test_util.h"

namespace {

using vxtest::BmpCompression;
using vxtest::BmpOptions;
using vxtest::TestPicture;

// Channel v as a reader must return it after storing it in `bits` bits.
std::uint8_t Quantized(std::uint8_t v, int bits) {
  if (bits >= 8) return v;
  const int max = (1 << bits) - 1;
  long q = std::lround(v * max / 255.0);
  return static_cast<std::uint8_t>(std::lround(q * 255.0 / max));
}

TestPicture QuantizedPicture(TestPicture p, int r, int g, int b, int a) {
  for (auto& px : p.px) {
    px.r = Quantized(px.r, r);
    px.g = Quantized(px.g, g);
    px.b = Quantized(px.b, b);
    px.a = a == 0 ? 255 : Quantized(px.a, a);
  }
  return p;
}

TestPicture WithRandomAlpha(TestPicture p, std::uint32_t seed) {
  for (auto& px : p.px) px.a = static_cast<std::uint8_t>(seed = seed * 1103515245u + 12345u);
  return p;
}

// Pixels of the first colour become white, so skipped run-length pixels
// (which read back white) match the picture.
TestPicture FirstColorWhite(TestPicture p) {
  const vxtest::Rgba first = p.px[0];
  for (auto& px : p.px)
    if (px == first) px = vxtest::Rgba{255, 255, 255, 255};
  return p;
}

BmpOptions Options(int bits, BmpCompression compression = BmpCompression::kNone) {
  BmpOptions o;
  o.bits = bits;
  o.compression = compression;
  return o;
}

TEST(BmpVariants, LoadWithTheirPixelsBottomLineFirst) {
  const TestPicture colors13x7 = vxtest::RandomPicture(13, 7, 1);
  struct Case {
    const char* name;
    TestPicture picture;
    BmpOptions options;
  };
  std::vector<Case> cases = {
      {"1-bit palette", vxtest::RandomPicture(13, 7, 2, 2), Options(1)},
      {"2-bit palette", vxtest::RandomPicture(13, 7, 3, 4), Options(2)},
      {"4-bit palette", vxtest::RandomPicture(13, 7, 4, 16), Options(4)},
      {"8-bit palette", vxtest::RandomPicture(13, 7, 5, 200), Options(8)},
      {"24-bit", colors13x7, Options(24)},
      {"16-bit 5-5-5", QuantizedPicture(colors13x7, 5, 5, 5, 0), Options(16)},
      {"32-bit, fourth byte unused", colors13x7, Options(32)},
      {"RLE8", vxtest::RandomPicture(40, 9, 6, 3), Options(8, BmpCompression::kRle8)},
      {"RLE4", vxtest::RandomPicture(41, 9, 7, 3), Options(4, BmpCompression::kRle4)},
  };
  cases.push_back({"8-bit top-down", cases[3].picture, Options(8)});
  cases.back().options.top_down = true;
  cases.push_back({"24-bit top-down", colors13x7, Options(24)});
  cases.back().options.top_down = true;
  cases.push_back({"4-bit core header", cases[2].picture, Options(4)});
  cases.back().options.core_header = true;
  cases.push_back({"24-bit core header", colors13x7, Options(24)});
  cases.back().options.core_header = true;
  cases.push_back({"8-bit, 256 entries declared for 200 colours", cases[3].picture, Options(8)});
  cases.back().options.palette_entries = 256;

  BmpOptions rgb565 = Options(16, BmpCompression::kBitFields);
  std::uint32_t masks565[4] = {0xF800, 0x07E0, 0x001F, 0};
  std::copy(masks565, masks565 + 4, rgb565.masks);
  cases.push_back({"16-bit bit fields 5-6-5", QuantizedPicture(colors13x7, 5, 6, 5, 0), rgb565});

  BmpOptions rgba4444 = Options(16, BmpCompression::kAlphaBitFields);
  std::uint32_t masks4444[4] = {0x0F00, 0x00F0, 0x000F, 0xF000};
  std::copy(masks4444, masks4444 + 4, rgba4444.masks);
  cases.push_back({"16-bit alpha bit fields 4-4-4-4",
                   QuantizedPicture(WithRandomAlpha(colors13x7, 8), 4, 4, 4, 4), rgba4444});

  BmpOptions bgra = Options(32, BmpCompression::kBitFields);
  std::uint32_t masks8888[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  std::copy(masks8888, masks8888 + 4, bgra.masks);
  bgra.info_size = 124;
  cases.push_back({"32-bit bit fields with alpha, V5 header", WithRandomAlpha(colors13x7, 9), bgra});
  BmpOptions rgbx = bgra;
  std::uint32_t masks_rgbx[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
  std::copy(masks_rgbx, masks_rgbx + 4, rgbx.masks);
  rgbx.info_size = 40;
  cases.push_back({"32-bit bit fields R in the low byte", colors13x7, rgbx});

  // A colour with no bits in its mask reads as 0.
  BmpOptions no_green = Options(16, BmpCompression::kBitFields);
  std::uint32_t masks_no_green[4] = {0x7C00, 0, 0x001F, 0};
  std::copy(masks_no_green, masks_no_green + 4, no_green.masks);
  TestPicture without_green = QuantizedPicture(colors13x7, 5, 5, 5, 0);
  for (auto& px : without_green.px) px.g = 0;
  cases.push_back({"16-bit bit fields without green", without_green, no_green});

  for (BmpCompression rle : {BmpCompression::kRle8, BmpCompression::kRle4}) {
    BmpOptions o = Options(rle == BmpCompression::kRle8 ? 8 : 4, rle);
    o.rle_deltas = true;
    cases.push_back({rle == BmpCompression::kRle8 ? "RLE8 with deltas" : "RLE4 with deltas",
                     FirstColorWhite(vxtest::RandomPicture(37, 11, 10, 4)), o});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vxtest::Image img = vxtest::LoadPicture(vxtest::WriteBmp(c.picture, c.options), "variant.bmp");
    EXPECT_EQ(vxtest::MaxDifference(img.img(), c.picture), 0);
  }
}

// 5 x 3 picture: width 5, stride 16, the picture's top line in row 2.
TEST(BmpVariants, TopLineOfThePictureIsTheLastRow) {
  TestPicture picture = vxtest::RandomPicture(5, 3, 20, 0);
  for (int x = 0; x < 5; ++x) picture.at(x, 0) = vxtest::Rgba{1, 2, 3, 255};
  for (bool top_down : {false, true}) {
    BmpOptions o;
    o.top_down = top_down;
    vxtest::Image img = vxtest::LoadPicture(vxtest::WriteBmp(picture, o), "orient.bmp");
    ASSERT_EQ(img.img().valid, 1);
    EXPECT_EQ(img.img().width, 5);
    EXPECT_EQ(img.img().stride, 16);
    EXPECT_EQ(img.img().height, 3);
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(img.at(x, 2, 0), 3);  // blue
      EXPECT_EQ(img.at(x, 2, 2), 1);  // red
    }
  }
}

}  // namespace
