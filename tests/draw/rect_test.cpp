#include <gtest/gtest.h>

#include <climits>

#include "draw/painted.h"
#include "vexolith.h"

namespace {

using drawtest::kB;
using drawtest::kG;
using drawtest::kR;
using drawtest::Painted;
using Art = std::vector<std::string>;

Art Outline(int w, int h, RECT r) {
  vxtest::Image image = vxtest::Image::Color(w, h);
  EXPECT_EQ(DrawRect(image.img(), r, kB, kG, kR), 0);
  return Painted(image);
}

Art Filled(int w, int h, RECT r) {
  vxtest::Image image = vxtest::Image::Color(w, h);
  DrawFillRect(image.img(), r, kB, kG, kR);
  return Painted(image);
}

TEST(DrawRect, OutlineExcludesRightAndBottom) {
  EXPECT_EQ(Outline(7, 8, {2, 3, 5, 7}),
            Art({".......", ".......", ".......", "..###..", "..#.#..", "..#.#..", "..###..", "......."}));
}

TEST(DrawFillRect, FillIncludesRightAndBottom) {
  EXPECT_EQ(Filled(7, 9, {2, 3, 5, 7}), Art({".......", ".......", ".......", "..####.", "..####.", "..####.",
                                             "..####.", "..####.", "......."}));
}

TEST(DrawRect, RectanglesReachingOutsideAreClipped) {
  EXPECT_EQ(Outline(6, 4, {-2, 1, 4, 10}), Art({"......", "####..", "...#..", "...#.."}));
  EXPECT_EQ(Outline(3, 2, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}), Art({"...", "..."}));
  EXPECT_EQ(Filled(6, 4, {4, 2, 50, 50}), Art({"......", "......", "....##", "....##"}));
  EXPECT_EQ(Filled(3, 2, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}), Art({"###", "###"}));
}

TEST(DrawPoint, PaintsOnlyPixelsOfColourImages) {
  vxtest::Image image = vxtest::Image::Color(4, 2);
  for (C_POINT p : {C_POINT{-1, 0}, C_POINT{0, -1}, C_POINT{4, 0}, C_POINT{0, 2}, C_POINT{3, 1}}) {
    DrawPoint(image.img(), p.x, p.y, kB, kG, kR);
  }
  EXPECT_EQ(Painted(image), Art({"....", "...#"}));

  vxtest::Image gray = vxtest::Image::Gray(4, 2, 200);
  DrawPoint(gray.img(), 1, 1, 0, 0, 0);
  DrawFillRect(gray.img(), RECT{0, 0, 3, 1}, 0, 0, 0);
  DrawRect(gray.img(), RECT{0, 0, 4, 2}, 0, 0, 0);
  EXPECT_EQ(gray.Art(), Art({"....", "...."}));
}

}  // namespace
