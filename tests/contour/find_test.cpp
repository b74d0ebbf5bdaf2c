// Find's printout, appending, refusals, search rectangle and store limit.
#include <gtest/gtest.h>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kTwoBlobs = {"........", ".##.....", ".##..#..", ".....##.", "........"};

TEST(Find, SecondCallAppendsAndPrintsEverything) {
  Image image = Image::FromArt(kTwoBlobs);
  const std::vector<std::string> before = image.Art();
  auto store = NewStore();
  ASSERT_EQ(FindAll(*store, image, 1).output, "N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
  FindResult second = FindAll(*store, image, 3);
  EXPECT_EQ(second.code, 0);
  EXPECT_EQ(second.output, "N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\nN:2 - L:0 - M:-1\nN:3 - L:0 - M:-1\n");
  ASSERT_EQ(store->ReturnAllContours(), 4);
  EXPECT_EQ(PointsOf(*store, 2).size(), 2 * PointsOf(*store, 0).size() - 1);  // the walk lists it again
  EXPECT_EQ(image.Art(), before);                                             // the caller's pixels stay
}

// Taken pixels are kept apart from pixel values, so colour 1 is searched
// like any other.
TEST(Find, ColourOneIsSearchedLikeAnyOther) {
  Image image = Image::Gray(6, 5, 0);
  for (int y = 1; y <= 3; ++y) image.at(1, y) = image.at(2, y) = image.at(3, y) = 1;
  image.at(5, 4) = 1;
  for (unsigned long mode : {0ul, 2ul}) {
    auto ones = NewStore();
    ASSERT_EQ(FindAll(*ones, image, mode, 1).code, 0);
    ASSERT_EQ(ones->ReturnAllContours(), 2);
    EXPECT_EQ(ones->AllPoints(0), mode ? 17 : 9);
    EXPECT_EQ(ones->AllPoints(1), 1);
    auto zeros = NewStore();
    ASSERT_EQ(FindAll(*zeros, image, mode, 0).code, 0);
    EXPECT_EQ(zeros->AllPoints(0), mode ? 39 : 20);
  }
}

// Images that cannot be read give 1 and empty rectangles 0; neither stores
// or prints anything.
TEST(Find, RefusesUnreadableImagesAndEmptyRectangles) {
  Image image = Image::FromArt(kTwoBlobs);
  IMG bad[5] = {image.img(), image.img(), image.img(), image.img(), image.img()};
  bad[0].gray = 0;
  bad[1].valid = 0;
  bad[2].bits = nullptr;
  bad[3].stride = 4;
  bad[4].height = 0;
  for (IMG img : bad) {
    auto store = NewStore();
    EXPECT_EQ(FindIn(*store, img, RECT{0, 0, 8, 5}, 3).code, 1);
    EXPECT_EQ(store->ReturnAllContours(), 0);
  }
  for (RECT empty : {RECT{3, 0, 3, 5}, RECT{0, 4, 8, 2}, RECT{20, 20, 30, 30}, RECT{-9, -9, -1, -1}}) {
    auto store = NewStore();
    FindResult result = FindIn(*store, image.img(), empty, 1);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output + std::to_string(store->ReturnAllContours()), "0");
  }
}

// Only pixels inside the rectangle (right and bottom exclusive) are looked
// at; a rectangle reaching outside the image is cut to it.
TEST(Find, SearchRectangleBoundsTheRegions) {
  Image image = Image::FromArt(kTwoBlobs);
  auto inside = NewStore();
  ASSERT_EQ(FindIn(*inside, image.img(), RECT{2, 0, 6, 3}, 0).code, 0);
  ASSERT_EQ(inside->ReturnAllContours(), 2);
  EXPECT_EQ(PointsOf(*inside, 0), (std::vector<Pixel>{{2, 1}, {2, 2}}));
  EXPECT_EQ(PointsOf(*inside, 1), (std::vector<Pixel>{{5, 2}}));

  auto clipped = NewStore(), whole = NewStore();
  ASSERT_EQ(FindIn(*clipped, image.img(), RECT{-100, -3, 1000, 99}, 0).code, 0);
  ASSERT_EQ(FindAll(*whole, image, 0).code, 0);
  ASSERT_EQ(clipped->ReturnAllContours(), 2);
  EXPECT_EQ(PointsOf(*clipped, 1), PointsOf(*whole, 1));
  EXPECT_EQ(Box(clipped->area), (std::vector<int>{0, 0, 8, 5}));
}

// 125 x 100 lone pixels: the store fills at the 10000th region.
TEST(Find, FullStoreStopsWithoutNestingOrPrintout) {
  Image image = Image::Gray(250, 200);
  for (int y = 0; y < 200; y += 2) {
    for (int x = 0; x < 250; x += 2) image.at(x, y) = 0;
  }
  auto store = NewStore();
  FindResult result = FindAll(*store, image, 3);
  EXPECT_EQ(result.code, 2);
  EXPECT_EQ(result.output, "");
  ASSERT_EQ(store->ReturnAllContours(), 10000);
  EXPECT_EQ(PointsOf(*store, 9999), (std::vector<Pixel>{{2 * (9999 % 125), 2 * (9999 / 125)}}));
  int nested = 0;
  for (int i = 0; i < 10000; ++i) nested += store->items[i].mama != -1 || store->items[i].level != 0;
  EXPECT_EQ(nested, 0);

  result = FindAll(*store, image, 1);
  EXPECT_EQ(result.code, 2);
  EXPECT_EQ(result.output + std::to_string(store->ReturnAllContours()), "10000");
}

}  // namespace
}  // namespace vxtest
