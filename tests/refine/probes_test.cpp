// Line probes: which pixels a probe samples, the runs and packed values it
// leaves in the run table, the table's limit and restart, and the first-point
// walk.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace vxtest {
namespace {

constexpr F_LINE Line(int dir, double k, double b) { return F_LINE{3, dir, k, b}; }

// Packed values of every recorded run, then one index past them.
std::vector<int> Packed(int runs) {
  std::vector<int> out;
  for (int i = 0; i <= runs; ++i) out.push_back(ReturnNumArray(i));
  return out;
}

std::vector<int> Probe(const Image& image, double x1, double y1, double x2, double y2, F_LINE line) {
  return Packed(ReturnDifference(image.img(), x1, y1, x2, y2, line, 0));
}

TEST(Probes, SamplingRule) {
  // Row 5: x 8 black, 9..14 black, 15..20 white, 21 black.
  Image image = Image::Gray(30, 10, 255);
  for (int x = 8; x <= 14; ++x) image.at(x, 5) = 0;
  image.at(21, 5) = 0;
  const F_LINE row5 = Line(1, 0.0, 5.0);

  // One pixel before the start, the end pixel, nothing beyond.
  EXPECT_EQ(Probe(image, 10, 5, 20, 5, row5), (std::vector<int>{10006, 6, 0})) << "x = 9 .. 20";
  EXPECT_EQ(Probe(image, 20, 5, 10, 5, row5), (std::vector<int>{10001, 6, 10005, 0})) << "x = 21 .. 10";
  // Starting at 0: the sample at -1 is outside and the first inside opens a run.
  EXPECT_EQ(Probe(image, 0, 5, 9, 5, row5), (std::vector<int>{8, 10002, 0})) << "x = 0 .. 9";
  EXPECT_EQ(Probe(image, -10, 5, -3, 5, row5), (std::vector<int>{0})) << "wholly outside";

  // The dependent coordinate is rounded: y = 0.5x gives rows 0, 1, 1, 2 at
  // x = 0 .. 3 (halves go up).
  Image slope = Image::Gray(5, 5, 255);
  slope.at(1, 1) = 0;
  slope.at(3, 2) = 0;
  EXPECT_EQ(Probe(slope, 1, 0.5, 3, 1.5, Line(1, 0.5, 0.0)), (std::vector<int>{1, 10001, 1, 10001, 0}));

  // For dir 2 the free coordinate y is truncated: from y1 = 2.7 the first
  // sample is row trunc(1.7) = 1, the last row 6.
  Image column = Image::Gray(6, 10, 255);
  column.at(3, 1) = 0;
  column.at(3, 7) = 0;
  EXPECT_EQ(Probe(column, 3, 2.7, 3, 6, Line(2, 0.0, 3.0)), (std::vector<int>{10001, 5, 0}));
}

TEST(Probes, BlackBoundedCountAndArray) {
  // White 2, black 3, white 1, black 2, white 4 along row 0.
  Image image = Image::FromArt({"..###.##...."});
  const F_LINE row0 = Line(1, 0.0, 0.0);
  EXPECT_EQ(ReturnDifference(image.img(), 1, 0, 11, 0, row0, 0), 5);
  EXPECT_EQ(ReturnDifference(image.img(), 1, 0, 11, 0, row0, 1), 3);
  const int* from_black = ReturnArrayBlackWhite(1);
  EXPECT_EQ(from_black, ReturnArrayBlackWhite(0) + 1);
  EXPECT_EQ(from_black[0], 3) << "first black run";
  EXPECT_EQ(from_black[2], 2) << "last black run";
  EXPECT_EQ(ReturnNumArray(1), 10003);
  EXPECT_EQ(ReturnNumArray(5), 0) << "beyond the probe's runs";
  EXPECT_EQ(ReturnNumArray(-1), 0);
}

TEST(Probes, TableFullAndRestart) {
  // 1400 alternating pixels: the probe stops at exactly 1280 runs.
  Image stripes = Image::Gray(1400, 1, 255);
  for (int x = 0; x < 1400; x += 2) stripes.at(x, 0) = 0;
  EXPECT_EQ(ReturnDifference(stripes.img(), 1, 0, 1399, 0, Line(1, 0.0, 0.0), 0), 1280);
  EXPECT_EQ(ReturnNumArray(1279), 1) << "the last run opened is white, length 1";
  EXPECT_EQ(BlackWhite(stripes.img(), 7, 0, 0), 2) << "a new colour on a full table";
  EXPECT_EQ(BlackWhite(stripes.img(), 7, 1, 0), 0) << "the same colour still lengthens";
  EXPECT_EQ(ReturnNumArray(1279), 2);

  Image art = Image::FromArt({"#.."});
  EXPECT_EQ(BlackWhite(art.img(), 0, 0, 0), 1) << "step 0 restarts";
  EXPECT_EQ(ReturnNumArray(0), 10001);
  EXPECT_EQ(ReturnNumArray(1), 0);
  EXPECT_EQ(BlackWhite(art.img(), 1, 3, 0), 0) << "outside: ignored";
  EXPECT_EQ(BlackWhite(art.img(), 1, 1, 0), 0);
  EXPECT_EQ(BlackWhite(art.img(), 2, 2, 0), 0);
  EXPECT_EQ(Packed(2), (std::vector<int>{10001, 2, 0}));
  EXPECT_EQ(BlackWhite(art.img(), 0, 0, -1), 0) << "a restart outside changes nothing";
  EXPECT_EQ(ReturnNumArray(1), 2);
}

TEST(Probes, WalksEndOnStrayEnds) {
  Image image = Image::FromArt({"##.."});
  const F_LINE row0 = Line(1, 0.0, 0.0);
  // Ends far apart are walked only across the image.
  EXPECT_EQ(Probe(image, -1e9, 0, 1e9, 0, row0), (std::vector<int>{10002, 2, 0}));
  // Ends that are not numbers or beyond the pixel range probe nothing.
  EXPECT_EQ(Probe(image, std::nan(""), 0, 3, 0, row0), (std::vector<int>{0}));
  EXPECT_EQ(Probe(image, 0, 0, 1e300, 0, row0), (std::vector<int>{0}));
  EXPECT_EQ(Probe(image, 0, 0, 3, 0, Line(1, std::nan(""), 0)), (std::vector<int>{10002, 2, 0}))
      << "a row that is not a number is row 0 by the rounding rule";
}

TEST(Probes, FirstPointAlongALine) {
  Image image = Image::Gray(20, 10, 255);
  image.at(4, 3) = 0;
  image.at(12, 3) = 7;
  const F_LINE row3 = Line(1, 0.0, 3.2);
  const C_POINTd hit = ReturnFirstPoint(image.img(), row3, 0.5, 3.2, 19.5, 3.2, 0, 7);
  EXPECT_EQ(hit.x, 3.5) << "the double point, not the rounded pixel (4, 3)";
  EXPECT_EQ(hit.y, 3.2);
  // The start is never tested; from 4 the first tested point is 5.
  EXPECT_EQ(ReturnFirstPoint(image.img(), row3, 4, 3, 19, 3, 0, 7).x, 12.0);
  // The end itself is tested; the step beyond it only ends the walk.
  EXPECT_EQ(ReturnFirstPoint(image.img(), row3, 0, 3, 4.0, 3, 0, 0).x, 4.0);
  EXPECT_EQ(ReturnFirstPoint(image.img(), row3, 0, 3, 3.9, 3, 0, 0).x, -1.0);
  // A start far before the image still finds the pixel.
  EXPECT_EQ(ReturnFirstPoint(image.img(), row3, -1e6, 3, 19, 3, 0, 0).x, 4.0);

  const C_POINTd none[] = {
      ReturnFirstPoint(image.img(), row3, 0, 3, 19, 3, 1, 2),                     // no match
      ReturnFirstPoint(Image::Color(20, 10).img(), row3, 0, 3, 19, 3, 255, 255),  // 24-bit
      ReturnFirstPoint(image.img(), Line(0, 0.0, 3.0), 0, 3, 19, 3, 0, 0),        // no dir
      ReturnFirstPoint(image.img(), row3, std::nan(""), 3, 19, 3, 0, 0),          // no start
  };
  for (const C_POINTd& p : none) {
    EXPECT_EQ(p.x, -1.0);
    EXPECT_EQ(p.y, -1.0);
  }
}

}  // namespace
}  // namespace vxtest
