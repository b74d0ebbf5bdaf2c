#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/images.h"
#include "vexolith.h"

namespace {

struct Counts {
  int total = 0, black = 0, count128 = 0;
  C_POINTd centre{-5.0, -5.0};
  int result = -1;
};

Counts Disc(IMG img, double cx, double cy, double r, Counts start = {}) {
  Counts c = start;
  c.result = ReturnCountBlackPointsBr(img, cx, cy, r, &c.total, &c.black, &c.count128, &c.centre);
  return c;
}

TEST(DiscCount, SmallDiscs) {
  vxtest::Image white = vxtest::Image::Gray(20, 20);
  struct Case {
    const char* what;
    double cx, cy, r;
    int total;
  } cases[] = {{"radius 0 on a pixel centre", 3, 4, 0, 1},
               {"diagonals lie at sqrt 2", 10, 10, 1, 5},
               {"a pixel exactly at r counts", 10, 10, std::sqrt(2.0), 9},
               {"negative radius", 10, 10, -1, 0},
               {"not a number", NAN, 10, 3, 0}};
  for (const Case& c : cases) EXPECT_EQ(Disc(white.img(), c.cx, c.cy, c.r).total, c.total) << c.what;
  Counts once = Disc(white.img(), 10.0, 10.0, 1.0);
  EXPECT_EQ(Disc(white.img(), 10.0, 10.0, 1.0, once).total, 10) << "counters are added to";
  int total = 0, black = 0, count128 = 0;
  EXPECT_EQ(ReturnCountBlackPoints(white.img(), 10.0, 10.0, 2.0, &total, &black, &count128), 0);
  EXPECT_EQ(total, 13);
}

TEST(DiscCount, CentreOfTheValue128Pixels) {
  vxtest::Image image = vxtest::Image::Gray(10, 10);
  image.at(3, 4) = 128;
  image.at(5, 4) = 128;
  image.at(4, 5) = 0;
  Counts c = Disc(image.img(), 4.0, 4.0, 1.5);
  EXPECT_EQ(c.count128, 2);
  EXPECT_EQ(c.black, 1);
  EXPECT_EQ(c.centre.x, 4.0);
  EXPECT_EQ(c.centre.y, 4.0);
  // No value-128 pixel: the centre is left as the caller gave it.
  Counts none = Disc(image.img(), 8.0, 8.0, 1.0);
  EXPECT_EQ(none.count128, 0);
  EXPECT_EQ(none.centre.x, -5.0);
  EXPECT_EQ(none.centre.y, -5.0);
}

// Random discs, many with the centre outside the image, against a count of
// every image pixel within r: exactly the disc's pixels inside the image.
TEST(DiscCount, MatchesEveryPixelWithinTheRadius) {
  std::mt19937 rng(3);
  vxtest::Image image = vxtest::Image::Gray(23, 17);
  const unsigned char levels[] = {0, 128, 255};
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x) image.at(x, y) = levels[rng() % 3];
  std::uniform_real_distribution<double> pos(-12.0, 35.0), radius(0.0, 14.0);
  for (int iter = 0; iter < 400; ++iter) {
    const double cx = pos(rng), cy = pos(rng), r = radius(rng);
    SCOPED_TRACE(testing::Message() << "disc " << cx << ", " << cy << " r " << r);
    Counts expected;
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 23; ++x) {
        if (LengthLine(cx, cy, x, y) > r) continue;
        ++expected.total;
        expected.black += image.at(x, y) == 0;
        expected.count128 += image.at(x, y) == 128;
      }
    }
    Counts got = Disc(image.img(), cx, cy, r);
    EXPECT_EQ(got.total, expected.total);
    EXPECT_EQ(got.black, expected.black);
    EXPECT_EQ(got.count128, expected.count128);
  }
}

TEST(DiscCount, Refusals) {
  vxtest::Image gray = vxtest::Image::Gray(8, 8);
  vxtest::Image color = vxtest::Image::Color(8, 8);
  IMG invalid = gray.img();
  invalid.valid = 0;
  const Counts start{4, 5, 6, {7.0, 8.0}};
  EXPECT_EQ(Disc(color.img(), 3.0, 3.0, 2.0, start).result, 1);
  EXPECT_EQ(Disc(color.img(), 3.0, 3.0, 2.0, start).total, 4) << "untouched";
  EXPECT_EQ(Disc(invalid, 3.0, 3.0, 2.0, start).result, 2);
  int total = 0, count128 = 0;
  EXPECT_EQ(ReturnCountBlackPoints(gray.img(), 3.0, 3.0, 2.0, &total, nullptr, &count128), 3);
  EXPECT_EQ(ReturnCountBlackPointsBr(gray.img(), 3.0, 3.0, 2.0, &total, &total, &count128, nullptr), 3);
  EXPECT_EQ(total, 0);
}

}  // namespace
