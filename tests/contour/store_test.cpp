// Accessors, independent copies and drawing of stored contours.
#include <gtest/gtest.h>

#include <climits>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kBarAndDot = {"......", ".####.", ".####.", "......", "#....."};

std::unique_ptr<CONTOUR> BarAndDot() {
  auto store = NewStore();
  EXPECT_EQ(FindAll(*store, Image::FromArt(kBarAndDot), 0).code, 0);
  return store;
}

TEST(Accessors, StoredAndUnknownIndices) {
  auto store = BarAndDot();
  ASSERT_EQ(store->ReturnAllContours(), 2);
  EXPECT_EQ(Box(store->ReturnRectContour(0)), (std::vector<int>{1, 1, 4, 2}));
  auto centre = [&](int i) {
    return Pixel(store->ReturnCenterContour(i).x, store->ReturnCenterContour(i).y);
  };
  EXPECT_EQ(centre(0), Pixel(2, 1));
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{4, 2}, 0));
  EXPECT_FALSE(store->ReturnPointInContour(C_POINT{0, 4}, 0));
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{0, 4}, 1));
  Image canvas = Image::Color(6, 5);
  for (int bad : {-1, 2, 10000, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(centre(bad), Pixel(-1, -1));
    EXPECT_EQ(Box(store->ReturnRectContour(bad)), (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_FALSE(store->ReturnPointInContour(C_POINT{1, 1}, bad));
    EXPECT_EQ(store->DrawContour(canvas.img(), bad, 1, 2, 3), 1);
    EXPECT_EQ(store->GetMama(bad), -1);  // no enclosing contour
    EXPECT_EQ(store->AllPoints(bad), 0);
  }
}

TEST(Assignment, CopyOutlivesTheSource) {
  auto copy = NewStore();
  ASSERT_EQ(FindAll(*copy, Image::FromArt({"#.#.#.#"}), 0).code, 0);  // released on assignment
  {
    auto source = BarAndDot();
    *copy = *source;
    EXPECT_NE(copy->items[0].points, source->items[0].points);
    ASSERT_EQ(FindAll(*source, Image::FromArt(kBarAndDot), 0).code, 0);
  }
  ASSERT_EQ(copy->ReturnAllContours(), 2);
  CONTOUR& same = *copy;
  *copy = same;
  EXPECT_EQ(PointsOf(*copy, 0), PointsOf(*BarAndDot(), 0));
}

// The image is the host's: points it does not hold are skipped, and a gray
// image is left alone rather than written three bytes per pixel.
TEST(Drawing, PaintsPointsInByteOrderInsideTheImageOnly) {
  auto store = BarAndDot();
  Image canvas = Image::Color(6, 5, 200, 200, 200);
  EXPECT_EQ(store->DrawContour(canvas.img(), 0, 10, 20, 30), 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool bar = kBarAndDot[y][x] == '#' && y < 4;
      EXPECT_EQ(canvas.at(x, y, 0) + canvas.at(x, y, 1) + canvas.at(x, y, 2), bar ? 60 : 600)
          << x << "," << y;
    }
  }
  EXPECT_EQ(canvas.at(1, 1, 0) * 100 + canvas.at(1, 1, 2), 1030);
  Image small = Image::Color(2, 2, 200, 200, 200);  // holds (1, 1) of the bar only
  EXPECT_EQ(store->DrawContours(small.img(), 0, 0, 0), 0);
  for (int i = 0; i < small.img().stride * 2; ++i) {
    EXPECT_EQ(small.img().bits[i], (i >= 11 && i < 14) || i % 8 >= 6 ? 0 : 200) << i;
  }
  Image gray = Image::Gray(6, 5, 200);
  store->DrawContours(gray.img(), 0, 0, 0);
  EXPECT_EQ(gray.Art(), Image::Gray(6, 5, 200).Art());
}

}  // namespace
}  // namespace vxtest
