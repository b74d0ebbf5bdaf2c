// Image difference: refusals in their order, agreement of all three bytes,
// the mode bit; centre of weight of the pixels whose byte 0 is 255.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

std::vector<unsigned char> Pixels(const Image& img) {
  std::vector<unsigned char> out;
  for (int y = 0; y < img.img().height; ++y)
    for (int x = 0; x < img.img().width; ++x)
      for (int c = 0; c < 3; ++c) out.push_back(img.at(x, y, c));
  return out;
}

}  // namespace

// The first failing check decides; a refused call changes nothing.
TEST(AllocationUnknownPixels, Refusals) {
  struct Case {
    const char* name;
    IMG a, b;
    int code;
  };
  Image a = Image::Color(10, 4, 1, 2, 3), b = Image::Color(10, 4), c = Image::Color(11, 4),
        gray = Image::Gray(10, 4);
  IMG flat = a.img(), no_bits = b.img(), short_rows = b.img();
  flat.height = 0, no_bits.bits = nullptr, short_rows.stride = 29;
  const Case cases[] = {
      {"a of height 0, b gray", flat, gray.img(), 1},
      {"b of width 0", a.img(), IMG{b.img().bits, 0, 32, 4, 1, 0}, 1},
      {"b gray", a.img(), gray.img(), 2},
      {"a gray", gray.img(), b.img(), 2},
      {"widths 10 and 11", a.img(), c.img(), 3},
      {"heights 4 and 3", a.img(), IMG{b.img().bits, 10, 32, 3, 1, 0}, 3},
      {"b without bits", a.img(), no_bits, 4},
      {"b's stride below 3 * width", a.img(), short_rows, 4},
  };
  const auto before = Pixels(a);
  for (const Case& k : cases) {
    EXPECT_EQ(AllocationUnknownPixels(k.a, k.b, 1), k.code) << k.name;
    EXPECT_EQ(Pixels(a), before) << k.name;
  }
}

// Agreeing pixels turn black whatever the mode; differing ones (one byte
// is enough) keep their colour, or turn white when mode bit 0 is set.
TEST(AllocationUnknownPixels, AgreementAndMode) {
  struct Case {
    unsigned char mode;
    std::vector<unsigned char> expected;  // pixels 0 (equal), 1 (byte 2 differs), 2 (all differ)
  };
  const Case cases[] = {
      {0, {0, 0, 0, 10, 20, 30, 10, 20, 30}},
      {1, {0, 0, 0, 255, 255, 255, 255, 255, 255}},
      {0xFE, {0, 0, 0, 10, 20, 30, 10, 20, 30}},  // only bit 0 counts
      {0xFF, {0, 0, 0, 255, 255, 255, 255, 255, 255}},
  };
  for (const Case& k : cases) {
    Image a = Image::Color(3, 1, 10, 20, 30), b = Image::Color(3, 1, 10, 20, 30);
    b.at(1, 0, 2) = 31;
    b.at(2, 0, 0) = 0, b.at(2, 0, 1) = 0, b.at(2, 0, 2) = 0;
    EXPECT_EQ(AllocationUnknownPixels(a.img(), b.img(), k.mode), 0) << int{k.mode};
    EXPECT_EQ(Pixels(a), k.expected) << "mode " << int{k.mode};
    EXPECT_EQ(b.at(1, 0, 2), 31) << "b is only read";
  }
}

TEST(CentreWeights, MeanOfWhitePixels) {
  struct Case {
    const char* name;
    std::vector<C_POINT> white;  // pixels set to 255, 0, 0 in a black 5 x 3 image
    double x, y;
  };
  const Case cases[] = {
      {"two pixels", {{0, 0}, {3, 1}}, 1.5, 0.5},
      {"one pixel", {{4, 2}}, 4.0, 2.0},
      {"three pixels", {{0, 0}, {1, 0}, {1, 2}}, 2.0 / 3.0, 2.0 / 3.0},
  };
  for (const Case& c : cases) {
    Image img = Image::Color(5, 3, 0, 0, 0);
    for (C_POINT p : c.white) img.at(p.x, p.y, 0) = 255;                  // bytes 1 and 2 stay 0: still white
    img.at(2, 1, 0) = 254, img.at(2, 1, 1) = 255, img.at(2, 1, 2) = 255;  // byte 0 below 255: not white
    const C_POINTd centre = CentreWeights(img.img());
    EXPECT_EQ(centre.x, c.x) << c.name;
    EXPECT_EQ(centre.y, c.y) << c.name;
  }
}

// No white pixel, or nothing that can be read: NaN in both fields. A gray
// image is read one byte per pixel.
TEST(CentreWeights, EmptyUnreadableAndGray) {
  const Image black = Image::Color(4, 4, 0, 0, 0);
  IMG no_bits = black.img();
  no_bits.bits = nullptr;
  for (const IMG& img : {black.img(), no_bits}) {
    const C_POINTd centre = CentreWeights(img);
    EXPECT_TRUE(std::isnan(centre.x)) << img.bits;
    EXPECT_TRUE(std::isnan(centre.y)) << img.bits;
  }
  const Image gray = Image::FromArt({"##.", "###"});
  EXPECT_EQ(CentreWeights(gray.img()).x, 2.0);
  EXPECT_EQ(CentreWeights(gray.img()).y, 0.0);
}
