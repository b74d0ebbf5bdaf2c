// Accessors, independent copies and drawing of stored contours.
#include <gtest/gtest.h>

#include <climits>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const Image kBarAndDot = Image::FromArt({"......", ".####.", ".####.", "......", "#....."});

TEST(Accessors, StoredAndUnknownIndices) {
  auto store = Found(kBarAndDot, 0);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  auto centre = [&](int i) {
    return Pixel(store->ReturnCenterContour(i).x, store->ReturnCenterContour(i).y);
  };
  EXPECT_EQ(Box(store->ReturnRectContour(0)), (std::vector<int>{1, 1, 4, 2}));
  EXPECT_EQ(centre(0), Pixel(2, 1));
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{0, 4}, 1));
  EXPECT_FALSE(store->ReturnPointInContour(C_POINT{0, 4}, 0));
  Image canvas = Image::Color(6, 5);
  for (int bad : {-1, 2, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(centre(bad), Pixel(-1, -1));
    EXPECT_EQ(Box(store->ReturnRectContour(bad)), (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_FALSE(store->ReturnPointInContour(C_POINT{1, 1}, bad));
    EXPECT_EQ(store->DrawContour(canvas.img(), bad, 1, 2, 3), 1);
    EXPECT_EQ(store->GetMama(bad), -1);
    EXPECT_EQ(store->AllPoints(bad), 0);
  }
}

// The copy owns its points: it outlives the source, and the points it held
// before are released (leaks show in the sanitized build).
TEST(Assignment, CopyOutlivesTheSource) {
  auto copy = Found(Image::FromArt({"#.#.#.#"}), 0);
  {
    auto source = Found(kBarAndDot, 0);
    *copy = *source;
    EXPECT_NE(copy->items[0].points, source->items[0].points);
  }
  CONTOUR& same = *copy;
  *copy = same;
  ASSERT_EQ(copy->ReturnAllContours(), 2);
  EXPECT_EQ(PointsOf(*copy, 0), PointsOf(*Found(kBarAndDot, 0), 0));
}

// Points get c0, c1, c2 in bytes 0, 1, 2; points outside the image (all of
// the bar but (1, 1) here) are skipped, and a gray image is left alone.
TEST(Drawing, PaintsPointsInByteOrderInsideTheImageOnly) {
  auto store = Found(kBarAndDot, 0);
  Image small = Image::Color(2, 2, 200, 200, 200);
  EXPECT_EQ(store->DrawContour(small.img(), 0, 10, 20, 30), 0);
  EXPECT_EQ(std::vector<int>(small.img().bits, small.img().bits + 16),
            (std::vector<int>{200, 200, 200, 200, 200, 200, 0, 0, 200, 200, 200, 10, 20, 30, 0, 0}));
  Image gray = Image::Gray(6, 5, 200);
  EXPECT_EQ(store->DrawContours(gray.img(), 0, 0, 0), 0);
  EXPECT_EQ(gray.Art(), std::vector<std::string>(5, "......"));
}

}  // namespace
}  // namespace vxtest
