// Accessors, independent copies and drawing of stored contours.
#include <gtest/gtest.h>

#include <climits>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kBarAndDot = {
    "......",  //
    ".####.",  //
    ".####.",  //
    "......",  //
    "#.....",
};

std::unique_ptr<CONTOUR> BarAndDot() {
  auto store = NewStore();
  EXPECT_EQ(FindAll(*store, Image::FromArt(kBarAndDot), 0).code, 0);
  EXPECT_EQ(store->ReturnAllContours(), 2);
  return store;
}

TEST(Accessors, ReadStoredContours) {
  auto store = BarAndDot();
  RECT bar = store->ReturnRectContour(0);
  EXPECT_EQ((std::vector<int>{bar.left, bar.top, bar.right, bar.bottom}), (std::vector<int>{1, 1, 4, 2}));
  C_POINT centre = store->ReturnCenterContour(0);
  EXPECT_EQ((std::vector<int>{centre.x, centre.y}), (std::vector<int>{2, 1}));
  EXPECT_EQ(store->AllPoints(0), 8);
  EXPECT_EQ(store->AllPoints(1), 1);
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{4, 2}, 0));
  EXPECT_FALSE(store->ReturnPointInContour(C_POINT{0, 4}, 0));
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{0, 4}, 1));
  EXPECT_FALSE(store->ReturnPointInContour(C_POINT{2, 0}, 0));
}

TEST(Accessors, UnknownIndicesGiveTheirMarks) {
  auto store = BarAndDot();
  IMG canvas = Image::Color(6, 5).img();
  for (int bad : {-1, 2, 9999, 10000, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(bad);
    C_POINT centre = store->ReturnCenterContour(bad);
    EXPECT_EQ((std::vector<int>{centre.x, centre.y}), (std::vector<int>{-1, -1}));
    EXPECT_EQ(store->ReturnRectContour(bad).left, -1);
    EXPECT_FALSE(store->ReturnPointInContour(C_POINT{1, 1}, bad));
    EXPECT_EQ(store->DrawContour(canvas, bad, 1, 2, 3), 1);
    EXPECT_EQ(store->GetMama(bad), -1);
    EXPECT_EQ(store->AllPoints(bad), 0);
  }
}

TEST(Assignment, CopyOutlivesTheSource) {
  auto copy = NewStore();
  // The target's own contours are released and replaced.
  ASSERT_EQ(FindAll(*copy, Image::FromArt({"#.#.#.#"}), 0).code, 0);
  {
    auto source = BarAndDot();
    *copy = *source;
    ASSERT_EQ(copy->ReturnAllContours(), 2);
    EXPECT_NE(copy->items[0].points, source->items[0].points);
    EXPECT_EQ(PointsOf(*copy, 0), PointsOf(*source, 0));
    ASSERT_EQ(FindAll(*source, Image::FromArt(kBarAndDot), 0).code, 0);
    EXPECT_EQ(source->ReturnAllContours(), 4);
  }
  EXPECT_EQ(copy->ReturnAllContours(), 2);
  EXPECT_EQ(copy->AllPoints(0), 8);
  EXPECT_TRUE(copy->ReturnPointInContour(C_POINT{0, 4}, 1));
  CONTOUR& same = *copy;
  *copy = same;
  EXPECT_EQ(PointsOf(*copy, 0).size(), 8u);
}

TEST(Drawing, PaintsEachPointInByteOrder) {
  auto store = BarAndDot();
  Image canvas = Image::Color(6, 5, 200, 200, 200);
  EXPECT_EQ(store->DrawContour(canvas.img(), 0, 10, 20, 30), 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      bool on_bar = kBarAndDot[y][x] == '#' && y < 4;
      EXPECT_EQ(canvas.at(x, y, 0), on_bar ? 10 : 200) << x << "," << y;
      EXPECT_EQ(canvas.at(x, y, 1), on_bar ? 20 : 200);
      EXPECT_EQ(canvas.at(x, y, 2), on_bar ? 30 : 200);
    }
  }
  EXPECT_EQ(store->DrawContours(canvas.img(), 1, 2, 3), 0);
  EXPECT_EQ(canvas.at(0, 4, 2), 3);
  EXPECT_EQ(canvas.at(1, 1, 0), 1);
}

// The image is the host's: points it does not contain are skipped, and a
// gray image is left alone rather than written three bytes per pixel.
TEST(Drawing, SkipsPointsOutsideTheImageAndGrayImages) {
  auto store = BarAndDot();
  Image small = Image::Color(2, 2, 200, 200, 200);
  EXPECT_EQ(store->DrawContours(small.img(), 0, 0, 0), 0);
  // Only (1, 1) of the bar lies in the 2 x 2 image; nothing else, padding
  // included, is written.
  for (int y = 0; y < 2; ++y) {
    for (int i = 0; i < small.img().stride; ++i) {
      bool painted = y == 1 && i >= 3 && i < 6;
      EXPECT_EQ(small.row(y)[i], painted ? 0 : (i < 6 ? 200 : 0)) << y << ":" << i;
    }
  }
  Image gray = Image::Gray(6, 5, 200);
  EXPECT_EQ(store->DrawContours(gray.img(), 0, 0, 0), 0);
  EXPECT_EQ(PixelsOf(gray, 0).size(), 0u);
}

}  // namespace
}  // namespace vxtest
