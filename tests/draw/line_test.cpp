#include <gtest/gtest.h>

#include <cmath>

#include "draw/painted.h"
#include "vexolith.h"

namespace {

using drawtest::kB;
using drawtest::kG;
using drawtest::kR;
using drawtest::Painted;
using Art = std::vector<std::string>;

Art Segment(int w, int h, C_POINT p1, C_POINT p2) {
  vxtest::Image image = vxtest::Image::Color(w, h);
  EXPECT_EQ(DrawLine(image.img(), p1, p2, kB, kG, kR), 0);
  return Painted(image);
}

Art Whole(int w, int h, F_LINE line) {
  vxtest::Image image = vxtest::Image::Color(w, h);
  EXPECT_EQ(DrawLine(image.img(), line, kB, kG, kR), 0);
  return Painted(image);
}

TEST(DrawLine, SegmentLeavesOutItsFarEnd) {
  const Art row0 = {"##########.", "...........", "..........."};
  EXPECT_EQ(Segment(11, 3, {0, 0}, {10, 0}), row0);
  EXPECT_EQ(Segment(11, 3, {10, 0}, {0, 0}), row0);
  EXPECT_EQ(Segment(5, 3, {2, 1}, {2, 1}), Art({".....", ".....", "....."}));
}

TEST(DrawLine, SteepSegmentRoundsHalvesDown) {
  // x = 0.3*y: 0.3*5 = 1.5 gives 1, 0.3*9 = 2.7 gives 3.
  const Art expected = {"#...", "#...", ".#..", ".#..", ".#..", ".#..",
                        "..#.", "..#.", "..#.", "...#", "...."};
  EXPECT_EQ(Segment(4, 11, {0, 0}, {3, 10}), expected);
}

TEST(DrawLine, SegmentIsClippedToTheImage) {
  EXPECT_EQ(Segment(10, 4, {-5, 3}, {20, 3}), Art({"..........", "..........", "..........", "#########."}));
  // Starts above the image and ends below it: hi is lowered to the last row,
  // which is then not drawn either.
  EXPECT_EQ(Segment(3, 3, {0, -2}, {2, 4}), Art({".#.", ".#.", "..."}));
}

TEST(DrawLine, WholeLineCrossesTheImage) {
  EXPECT_EQ(Whole(5, 4, F_LINE{3, 1, 0.0, 2.5}), Art({".....", ".....", "#####", "....."}));
  EXPECT_EQ(Whole(4, 3, F_LINE{3, 2, 1.0, 1.0}), Art({".#..", "..#.", "...#"}));
  // Values in (-1, 0) truncate to 0; -1 and below stay outside.
  EXPECT_EQ(Whole(4, 2, F_LINE{3, 1, -0.3, -0.2}), Art({"###.", "...."}));
}

TEST(DrawLine, NonNumbersAndHugeValuesPaintNothing) {
  const Art blank = {"....", "....", "...."};
  EXPECT_EQ(Whole(4, 3, F_LINE{3, 1, std::nan(""), 0.0}), blank);
  EXPECT_EQ(Whole(4, 3, F_LINE{3, 2, 0.0, 1e300}), blank);
  EXPECT_EQ(Whole(4, 3, F_LINE{3, 1, -1e20, 1.0}), Art({"....", "#...", "...."}));
}

TEST(DrawLine, GrayImagesAreLeftAlone) {
  // Three colour bytes per pixel would run past the rows of a gray image.
  vxtest::Image gray = vxtest::Image::Gray(3, 3, 200);
  DrawLine(gray.img(), C_POINT{0, 0}, C_POINT{2, 2}, 0, 0, 0);
  DrawLine(gray.img(), F_LINE{3, 1, 0.0, 1.0}, 0, 0, 0);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(std::string(gray.row(y), gray.row(y) + 4), std::string(4, '\xc8'));
}

}  // namespace
