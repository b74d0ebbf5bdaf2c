#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

using Art = std::vector<std::string>;

// Paints on a white w x h image and reads back '#' for the colour (1, 2, 3).
// Padding starts at 0 and must stay so.
Art Paint(int w, int h, const std::function<void(IMG)>& draw) {
  vxtest::Image image = vxtest::Image::Color(w, h);
  draw(image.img());
  Art rows(h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) rows[y] += image.at(x, y, 0) == 1 && image.at(x, y, 2) == 3 ? '#' : '.';
    for (int pad = 3 * w; pad < image.img().stride; ++pad) EXPECT_EQ(image.row(y)[pad], 0);
  }
  return rows;
}

auto Segment(C_POINT p1, C_POINT p2) {
  return [=](IMG img) { DrawLine(img, p1, p2, 1, 2, 3); };
}
auto Whole(int dir, double k, double b) {
  return [=](IMG img) { DrawLine(img, F_LINE{3, dir, k, b}, 1, 2, 3); };
}
auto Outline(RECT r) {
  return [=](IMG img) { DrawRect(img, r, 1, 2, 3); };
}
auto Filled(RECT r) {
  return [=](IMG img) { DrawFillRect(img, r, 1, 2, 3); };
}

TEST(Drawing, LinesRoundHalvesDownAndClip) {
  // x = 0.3*y: 0.3*5 = 1.5 gives 1; the far end (3, 10) is left out.
  EXPECT_EQ(Paint(4, 11, Segment({3, 10}, {0, 0})),
            Art({"#...", "#...", ".#..", ".#..", ".#..", ".#..", "..#.", "..#.", "..#.", "...#", "...."}));
  EXPECT_EQ(Paint(10, 1, Segment({-5, 0}, {20, 0})), Art({"#########."}));
  EXPECT_EQ(Paint(5, 3, Whole(1, 0.0, 2.5)), Art({".....", ".....", "#####"}));
  // Values in (-1, 0) truncate to 0; NaN and huge values paint nothing.
  EXPECT_EQ(Paint(4, 2, Whole(1, -0.3, -0.2)), Art({"###.", "...."}));
  EXPECT_EQ(Paint(3, 2, Whole(2, std::nan(""), 0.0)), Art({"...", "..."}));
  EXPECT_EQ(Paint(3, 2, Whole(1, -1e20, 1.0)), Art({"...", "#.."}));
}

TEST(Drawing, RectanglesAndPointsNeverLeaveTheImage) {
  EXPECT_EQ(Paint(6, 8, Outline({2, 3, 5, 7})),
            Art({"......", "......", "......", "..###.", "..#.#.", "..#.#.", "..###.", "......"}));
  EXPECT_EQ(Paint(7, 5, Filled({2, 3, 5, 7})), Art({".......", ".......", ".......", "..####.", "..####."}));
  EXPECT_EQ(Paint(6, 4, Outline({-2, 1, 4, 10})), Art({"......", "####..", "...#..", "...#.."}));
  EXPECT_EQ(Paint(3, 2, Outline({INT_MIN, INT_MIN, INT_MAX, INT_MAX})), Art({"...", "..."}));
  EXPECT_EQ(Paint(3, 2, Filled({INT_MIN, 1, INT_MAX, INT_MAX})), Art({"...", "###"}));
  EXPECT_EQ(Paint(2, 2,
                  [](IMG img) {
                    for (int xy : {-1, 2, 1}) DrawPoint(img, xy, xy == 2 ? 0 : xy, 1, 2, 3);
                  }),
            Art({"..", ".#"}));
  // Three colour bytes per pixel would run past a gray image's rows.
  vxtest::Image gray = vxtest::Image::Gray(3, 2, 200);
  DrawRect(gray.img(), RECT{0, 0, 3, 2}, 0, 0, 0);
  DrawLine(gray.img(), F_LINE{3, 1, 0.0, 1.0}, 0, 0, 0);
  DrawPoint(gray.img(), 1, 1, 0, 0, 0);
  EXPECT_EQ(gray.Art(), Art({"...", "..."}));
}

}  // namespace

namespace {

// A 24-bit record whose stride is 0, negative or shorter than its pixels
// addresses rows that overlap or lie outside its buffer: every drawing call
// must leave it alone. The record points into the middle of a larger block,
// so a regression writes into the block (and is seen) instead of past it.
TEST(Drawing, RecordsWithUnusableStridesAreLeftAlone) {
  constexpr int kWidth = 4, kHeight = 3;
  for (int stride : {0, -12, -1, 11, 1}) {
    SCOPED_TRACE(stride);
    std::vector<unsigned char> block(3 * 12 * kHeight, 200);
    IMG img{block.data() + 12 * kHeight, kWidth, stride, kHeight, 1, 0};
    DrawPoint(img, 1, 2, 0, 0, 0);
    DrawLine(img, C_POINT{0, 0}, C_POINT{3, 2}, 0, 0, 0);
    DrawLine(img, F_LINE{3, 2, 0.5, 0.0}, 0, 0, 0);
    DrawRect(img, RECT{0, 0, kWidth, kHeight}, 0, 0, 0);
    DrawFillRect(img, RECT{0, 0, kWidth - 1, kHeight - 1}, 0, 0, 0);
    EXPECT_EQ(std::count(block.begin(), block.end(), 200), static_cast<long>(block.size()))
        << "bytes painted";
  }
}

}  // namespace
