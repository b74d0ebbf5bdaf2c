// Find (fill and walk orders, printout, refusals, limits), nesting by boxes,
// and the store's accessors and copies.
#include <gtest/gtest.h>

#include <climits>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

using Ints = std::vector<int>;
const std::vector<std::string> kTwoBlobs = {"........", ".##.....", ".##..#..", ".....##.", "........"};

// Fill and walk orders, search rectangles, colours, the stack limit and
// repeated calls are checked against plain rules in find_oracle_test.cpp.

// 70001 pixels outgrow the first buffer (half the rectangle) and a 16-bit count.
TEST(FillOrder, LongLineOutgrowsTheFirstBuffer) {
  auto store = Found(Image::Gray(70001, 1, 0), 2);
  ASSERT_EQ(store->ReturnAllContours(), 1);
  EXPECT_EQ(store->items[0].count, 140001u) << "walk and fill, start listed once";
  EXPECT_EQ(PointsOf(*store, 0).back(), Pixel(70000, 0));
}

// Find leaves the caller's pixels as they were.
TEST(Find, PicturePixelsStay) {
  Image image = Image::FromArt(kTwoBlobs);
  auto store = std::make_unique<CONTOUR>();
  ASSERT_EQ(FindAll(*store, image, 3), "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
  EXPECT_EQ(image.Art(), kTwoBlobs);
}

// Unreadable images give 1, empty rectangles 0, storing and printing nothing.
TEST(Find, RefusalsAndEmptyRectangles) {
  Image image = Image::FromArt(kTwoBlobs);
  IMG bad[5] = {image.img(), image.img(), image.img(), image.img(), image.img()};
  bad[0].gray = bad[1].valid = bad[4].height = 0;
  bad[2].bits = nullptr;
  bad[3].stride = 4;
  const RECT all{0, 0, 8, 5}, empty[2] = {{3, 0, 3, 5}, {20, 20, 30, 30}};
  for (int i = 0; i < 7; ++i) {
    auto store = std::make_unique<CONTOUR>();
    EXPECT_EQ(i < 5 ? FindIn(*store, bad[i], all, 3) : FindIn(*store, image.img(), empty[i - 5], 3),
              i < 5 ? "1|" : "0|");
    EXPECT_EQ(store->ReturnAllContours(), 0);
  }
}

Ints MaxLevel(CONTOUR& store) {
  int level = -1, index = -1, how_many = -1;
  store.ReturnMaxLevel(level, index, how_many);
  return {level, index, how_many};
}

// The 10000th contour fills the store: code 2 at once, no nesting, no printout.
TEST(Find, FullStoreStopsWithoutPrintout) {
  Image row = Image::Gray(20003, 1);
  for (int x = 0; x < 20003; x += 2) row.at(x, 0) = 0;  // 10002 single pixels
  auto store = std::make_unique<CONTOUR>();
  EXPECT_EQ(FindAll(*store, row, 1), "2|");
  EXPECT_EQ(store->ReturnAllContours(), 10000);
  EXPECT_EQ(Box(store->ReturnRectContour(9999)), (Ints{19998, 0, 19998, 0}));
  EXPECT_EQ(FindAll(*store, row, 1), "2|");
  EXPECT_EQ(store->ReturnAllContours(), 10000);
}

// A U whose box (not the U) holds a blob. An empty store answers as a store
// of one contour would: index 0, one of them (its level means nothing then).
TEST(Nesting, BoundingBoxesDecide) {
  const Image u = Image::FromArt({"#.....#", "#.....#", "#..#..#", "#.....#", "#######"});
  auto nested = std::make_unique<CONTOUR>(), flat = std::make_unique<CONTOUR>();
  EXPECT_EQ(MaxLevel(*nested)[1], 0) << "index on an empty store";
  EXPECT_EQ(MaxLevel(*nested)[2], 1) << "howMany on an empty store";
  EXPECT_EQ(FindAll(*nested, u, 1), "0|N:0 - L:0 - M:-1\nN:1 - L:1 - M:0\n");
  EXPECT_EQ(MaxLevel(*nested), (Ints{1, 1, 1}));
  EXPECT_EQ(FindAll(*flat, u, 2), "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
  EXPECT_EQ(MaxLevel(*flat), (Ints{0, 0, 2}));
}

const Image kBarAndDot = Image::FromArt({"......", ".####.", ".####.", "......", "#....."});

TEST(Store, AccessorsAndCopy) {
  auto store = Found(kBarAndDot, 0);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  EXPECT_EQ(Box(store->ReturnRectContour(0)), (Ints{1, 1, 4, 2}));
  EXPECT_EQ(Pixel(store->ReturnCenterContour(0).x, store->ReturnCenterContour(0).y), Pixel(2, 1));
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{0, 4}, 1));
  EXPECT_FALSE(store->ReturnPointInContour(C_POINT{0, 4}, 0));
  Image canvas = Image::Color(6, 5);
  // A canvas whose stride is shorter than its pixels, or negative, gets no paint.
  for (int stride : {0, -20, 17}) {
    IMG bad = canvas.img();
    bad.stride = stride;
    EXPECT_EQ(store->DrawContour(bad, 0, 1, 2, 3), 0);
    EXPECT_EQ(store->DrawContours(bad, 1, 2, 3), 0);
  }
  EXPECT_EQ(canvas.at(1, 1, 0), 255) << "canvas painted through a bad stride";
  for (int bad : {-1, 2, INT_MIN, INT_MAX}) {
    EXPECT_EQ(Pixel(store->ReturnCenterContour(bad).x, store->ReturnCenterContour(bad).y), Pixel(-1, -1));
    EXPECT_EQ(Box(store->ReturnRectContour(bad)), (Ints{-1, -1, -1, -1}));
    EXPECT_FALSE(store->ReturnPointInContour(C_POINT{1, 1}, bad));
    EXPECT_EQ(store->DrawContour(canvas.img(), bad, 1, 2, 3), 1);
    EXPECT_EQ(store->GetMama(bad), -1) << bad;
    EXPECT_EQ(store->AllPoints(bad), 0) << bad;
  }

  // The copy owns its points and outlives the (temporary) source; its old
  // points are freed (the sanitized build shows leaks and stale reads).
  auto copy = Found(Image::FromArt({"#.#.#.#"}), 0);
  *copy = *Found(kBarAndDot, 0);
  ASSERT_EQ(copy->ReturnAllContours(), 2);
  EXPECT_EQ(PointsOf(*copy, 0), PointsOf(*store, 0));
}

}  // namespace
}  // namespace vxtest
