// The order in which the fill and the walk list a region, 8-connectivity,
// and the cutting of a region at the fill's stack limit.
#include <gtest/gtest.h>

#include <map>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kBlock = {".....", ".###.", ".###.", ".###.", "....."};
const std::vector<Pixel> kBlockFill = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 1},
                                       {3, 2}, {2, 3}, {3, 3}, {1, 3}};

TEST(FillOrder, BlockInProbeOrderAndWalkFirst) {
  auto fill = NewStore();
  ASSERT_EQ(FindAll(*fill, Image::FromArt(kBlock), 0).code, 0);
  ASSERT_EQ(fill->ReturnAllContours(), 1);
  EXPECT_EQ(PointsOf(*fill, 0), kBlockFill);
  EXPECT_EQ(Box(fill->ReturnRectContour(0)), (std::vector<int>{1, 1, 3, 3}));

  auto walk = NewStore();
  ASSERT_EQ(FindAll(*walk, Image::FromArt(kBlock), 2).code, 0);
  std::vector<Pixel> expected = {{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {2, 2}};
  expected.insert(expected.end(), kBlockFill.begin() + 1, kBlockFill.end());
  EXPECT_EQ(PointsOf(*walk, 0), expected);
  EXPECT_EQ(Box(walk->ReturnRectContour(0)), (std::vector<int>{1, 1, 3, 3}));
}

// A ring, a diagonal pair (one region) and a lone pixel, with and without
// the walk.
TEST(FillOrder, EightConnectedRegions) {
  Image image = Image::FromArt({"###.....", "#.#.....", "###..#..", "......#.", "........", "...#...."});
  for (unsigned long mode : {0ul, 2ul}) {
    SCOPED_TRACE(mode);
    auto store = NewStore();
    ASSERT_EQ(FindAll(*store, image, mode).code, 0);
    ASSERT_EQ(store->ReturnAllContours(), 3);
    EXPECT_EQ(store->AllPoints(0), mode ? 15 : 8);
    EXPECT_EQ(PointsOf(*store, 1).back(), Pixel(6, 3));
    EXPECT_EQ(Box(store->ReturnRectContour(1)), (std::vector<int>{5, 2, 6, 3}));
    EXPECT_EQ(PointsOf(*store, 2), (std::vector<Pixel>{{3, 5}}));
  }
}

// A line of 70001 pixels outgrows both the first collection buffer (half
// the rectangle) and a 16-bit count; it is stored whole, walked and filled.
TEST(FillOrder, LongRegionIsStoredWhole) {
  Image image = Image::Gray(70001, 1, 0);
  auto store = NewStore();
  ASSERT_EQ(FindAll(*store, image, 2).code, 0);
  ASSERT_EQ(store->ReturnAllContours(), 1);
  EXPECT_EQ(store->items[0].count, 140001u);
  EXPECT_EQ(PointsOf(*store, 0).back(), Pixel(70000, 0));
  EXPECT_EQ(Box(store->ReturnRectContour(0)), (std::vector<int>{0, 0, 70000, 0}));
}

// Filled from its top-left corner, a 200 x 200 block stays within 20000
// pending pixels; a 400 x 400 block needs more, so the fill stops and the
// scan stores the rest as further contours. Every pixel is listed once.
TEST(FillStackLimit, LargeBlockIsCutIntoContoursCoveringItOnce) {
  for (int side : {200, 400}) {
    SCOPED_TRACE(side);
    Image image = Image::Gray(side + 20, side + 20);
    for (int y = 10; y < side + 10; ++y) {
      for (int x = 10; x < side + 10; ++x) image.at(x, y) = 0;
    }
    auto store = NewStore();
    ASSERT_EQ(FindAll(*store, image, 0).code, 0);
    EXPECT_EQ(store->ReturnAllContours() > 1, side == 400);
    std::map<Pixel, int> seen;
    for (int i = 0; i < store->ReturnAllContours(); ++i) {
      for (const Pixel& p : PointsOf(*store, i)) {
        ASSERT_EQ(image.at(p.first, p.second), 0);
        ++seen[p];
      }
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(side) * side);
    for (const auto& [p, times] : seen) ASSERT_EQ(times, 1) << p.first << "," << p.second;
  }
}

}  // namespace
}  // namespace vxtest
