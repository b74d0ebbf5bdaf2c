// DetectCode on pictures whose border pixels per cell are known: isolated
// black pixels on a checkerboard, each one border pixel of its own.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Corners;
using vxtest::Image;

namespace {

// A white picture of (w * factor) x (h * factor) pixels whose reduced copy
// (w x h) holds `dots` border pixels in cell (column, row) of the grid.
Image WithDots(int w, int h, int factor, int column, int row, int dots, bool gray = true) {
  Image img = gray ? Image::Gray(w * factor, h * factor) : Image::Color(w * factor, h * factor);
  for (int y = 0; y < h && dots > 0; ++y)
    for (int x = 0; x < w && dots > 0; ++x)
      if ((x + y) % 2 == 0 && x * 20 / w == column && y * 20 / h == row) {
        for (int k = 0; k < (gray ? 1 : 3); ++k) img.at(x * factor, y * factor, k) = 0;
        --dots;
      }
  return img;
}

struct Found {
  int code = -1, count = -1;
  std::vector<RECT> rects;
};

Found Detect(const IMG& img, int factor) {
  Found f;
  f.rects.resize(VEXOLITH_MAX_CODE_RECTS);
  f.code = DetectCode(img, factor, &f.count, f.rects.data());
  if (f.count >= 0) f.rects.resize(f.count);
  return f;
}

}  // namespace

TEST(DetectCode, CellsOfKnownBorderCounts) {
  struct Case {
    const char* name;
    int w, h, factor, column, row, dots;
    bool gray;
    std::vector<RECT> expected;
  };
  const Case cases[] = {
      {"a white picture", 200, 200, 1, 0, 0, 0, true, {}},
      {"10 border pixels are too few", 200, 200, 1, 3, 4, 10, true, {}},
      {"11 make a region", 200, 200, 1, 3, 4, 11, true, {{30, 40, 40, 50}}},
      {"24-bit pictures alike", 200, 200, 1, 3, 4, 11, false, {{30, 40, 40, 50}}},
      // Reduced 150 x 100 by 2: cells of 7 x 5 reduced pixels, 14 x 10 in the picture.
      {"150 x 100 reduced: 14 x 10 passes", 150, 100, 2, 1, 1, 20, true, {{14, 10, 28, 20}}},
      {"200 x 100 reduced: 20 x 10 fails", 200, 100, 2, 1, 1, 20, true, {}},
      {"factor 3", 200, 200, 3, 19, 19, 30, true, {{570, 570, 600, 600}}},
  };
  for (const Case& c : cases) {
    const Image img = WithDots(c.w, c.h, c.factor, c.column, c.row, c.dots, c.gray);
    const Found f = Detect(img.img(), c.factor);
    EXPECT_EQ(f.code, 0) << c.name;
    EXPECT_EQ(Corners(f.rects), Corners(c.expected)) << c.name;
  }
}

// A code-like square of random 4-pixel modules on white: one region that
// covers it, and the picture is left as it was.
TEST(DetectCode, FindsACodeLikeSquareAndKeepsThePicture) {
  Image img = Image::Gray(400, 400);
  std::mt19937 rng(5);
  for (int my = 0; my < 25; ++my)
    for (int mx = 0; mx < 25; ++mx)
      if (rng() % 2)
        for (int y = 0; y < 4; ++y)
          for (int x = 0; x < 4; ++x) img.at(150 + 4 * mx + x, 120 + 4 * my + y) = 0;
  const std::vector<unsigned char> before(img.img().bits, img.img().bits + img.img().stride * 400);
  const Found f = Detect(img.img(), 2);
  ASSERT_EQ(f.count, 1);
  EXPECT_LE(f.rects[0].left, 150);
  EXPECT_LE(f.rects[0].top, 120);
  EXPECT_GE(f.rects[0].right, 250);
  EXPECT_GE(f.rects[0].bottom, 220);
  EXPECT_LE(f.rects[0].right - f.rects[0].left, 160) << "no more than a ring of cells around it";
  EXPECT_EQ(std::vector<unsigned char>(img.img().bits, img.img().bits + img.img().stride * 400), before);
}

// Refusals are made before anything but the count is written.
TEST(DetectCode, Refusals) {
  const Image img = WithDots(100, 100, 1, 2, 2, 20);
  IMG not_valid = img.img(), no_bits = img.img(), short_rows = img.img();
  not_valid.valid = 0, no_bits.bits = nullptr, short_rows.gray = 0;
  struct Case {
    const char* name;
    IMG img;
    int factor, code;
  };
  const Case cases[] = {
      {"not valid", not_valid, 1, 2},
      {"null bits", no_bits, 1, 2},
      {"rows too short", short_rows, 1, 2},
      {"factor 0", img.img(), 0, 3},
      {"factor above the width", img.img(), 101, 3},
      {"factor of the width", img.img(), 100, 0},
  };
  for (const Case& c : cases) {
    const Found f = Detect(c.img, c.factor);
    EXPECT_EQ(f.code, c.code) << c.name;
    EXPECT_EQ(f.count, 0) << c.name;
  }
  RECT rects[VEXOLITH_MAX_CODE_RECTS];
  int count = -1;
  EXPECT_EQ(DetectCode(img.img(), 1, nullptr, rects), 1);
  EXPECT_EQ(DetectCode(img.img(), 1, &count, nullptr), 1);
  EXPECT_EQ(count, -1) << "nothing written on a null pointer";
}
