// Find's results, printout, refusals, search rectangle and store limit.
#include <gtest/gtest.h>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kTwoBlobs = {
    "........",  //
    ".##.....",  //
    ".##..#..",  //
    ".....##.",  //
    "........",
};

TEST(Find, PrintsOneLinePerContour) {
  auto store = NewStore();
  Image image = Image::FromArt({
      ".....",  //
      ".###.",  //
      ".###.",  //
      ".###.",  //
      ".....",
  });
  FindResult result = FindAll(*store, image, 1);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.output, "N:0 - L:0 - M:-1\n");
  EXPECT_EQ(store->AllPoints(0), 9);
  EXPECT_EQ(store->GetMama(0), -1);
  EXPECT_EQ(store->items[0].level, 0);
}

TEST(Find, SecondCallAppendsAndPrintsEverything) {
  auto store = NewStore();
  Image image = Image::FromArt(kTwoBlobs);
  ASSERT_EQ(FindAll(*store, image, 0).output, "N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
  FindResult second = FindAll(*store, image, 0);
  EXPECT_EQ(second.code, 0);
  ASSERT_EQ(store->ReturnAllContours(), 4);
  EXPECT_EQ(second.output, "N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\nN:2 - L:0 - M:-1\nN:3 - L:0 - M:-1\n");
  EXPECT_EQ(PointsOf(*store, 2), PointsOf(*store, 0));
  EXPECT_EQ(PointsOf(*store, 3), PointsOf(*store, 1));
}

TEST(Find, CallersPixelsAreUntouched) {
  Image image = Image::FromArt(kTwoBlobs);
  std::vector<std::string> before = image.Art();
  auto store = NewStore();
  for (unsigned long mode : {0ul, 1ul, 2ul, 3ul}) ASSERT_EQ(FindAll(*store, image, mode).code, 0);
  EXPECT_EQ(image.Art(), before);
}

// Taken pixels are kept apart from the image's values, so colour 1 (and a
// colour next to pixels of value 1) is searched like any other.
TEST(Find, ColourOneIsSearchedLikeAnyOther) {
  Image image = Image::Gray(6, 5, 0);
  for (int y = 1; y <= 3; ++y) {
    for (int x = 1; x <= 3; ++x) image.at(x, y) = 1;
  }
  image.at(5, 4) = 1;
  for (unsigned long mode : {0ul, 2ul}) {
    SCOPED_TRACE(mode);
    auto ones = NewStore();
    ASSERT_EQ(FindAll(*ones, image, mode, 1).code, 0);
    ASSERT_EQ(ones->ReturnAllContours(), 2);
    EXPECT_EQ(ones->AllPoints(0), mode == 0 ? 9 : 17);
    EXPECT_EQ(ones->AllPoints(1), 1);
    auto zeros = NewStore();
    ASSERT_EQ(FindAll(*zeros, image, mode, 0).code, 0);
    EXPECT_EQ(zeros->ReturnAllContours(), 1);
    EXPECT_EQ(zeros->AllPoints(0), mode == 0 ? 20 : 39);
  }
}

TEST(Find, RefusesImagesItCannotRead) {
  Image image = Image::FromArt(kTwoBlobs);
  const RECT all{0, 0, 8, 5};
  IMG colour = image.img();
  colour.gray = 0;
  IMG invalid = image.img();
  invalid.valid = 0;
  IMG no_bits = image.img();
  no_bits.bits = nullptr;
  IMG short_rows = image.img();
  short_rows.stride = 4;
  IMG no_rows = image.img();
  no_rows.height = 0;
  for (IMG bad : {colour, invalid, no_bits, short_rows, no_rows}) {
    auto store = NewStore();
    FindResult result = FindIn(*store, bad, all, 0, 3);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(store->ReturnAllContours(), 0);
  }
}

TEST(Find, EmptyRectangleFindsNothing) {
  Image image = Image::FromArt(kTwoBlobs);
  for (RECT empty : {RECT{3, 0, 3, 5}, RECT{0, 4, 8, 2}, RECT{20, 20, 30, 30}, RECT{-9, -9, -1, -1}}) {
    auto store = NewStore();
    FindResult result = FindIn(*store, image.img(), empty, 0, 1);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(store->ReturnAllContours(), 0);
  }
}

// Only pixels inside the rectangle (right and bottom exclusive) are looked
// at; a rectangle reaching outside the image is cut to it.
TEST(Find, SearchRectangleBoundsTheRegions) {
  Image image = Image::FromArt(kTwoBlobs);
  auto inside = NewStore();
  ASSERT_EQ(FindIn(*inside, image.img(), RECT{2, 0, 6, 3}, 0, 0).code, 0);
  ASSERT_EQ(inside->ReturnAllContours(), 2);
  std::vector<Pixel> left_part = PointsOf(*inside, 0);
  EXPECT_EQ(std::set<Pixel>(left_part.begin(), left_part.end()), (std::set<Pixel>{{2, 1}, {2, 2}}));
  EXPECT_EQ(PointsOf(*inside, 1), (std::vector<Pixel>{{5, 2}}));

  auto clipped = NewStore();
  ASSERT_EQ(FindIn(*clipped, image.img(), RECT{-100, -3, 1000, 99}, 0, 0).code, 0);
  auto whole = NewStore();
  ASSERT_EQ(FindAll(*whole, image, 0).code, 0);
  ASSERT_EQ(clipped->ReturnAllContours(), whole->ReturnAllContours());
  for (int i = 0; i < whole->ReturnAllContours(); ++i) EXPECT_EQ(PointsOf(*clipped, i), PointsOf(*whole, i));
  EXPECT_EQ(
      (std::vector<int>{clipped->area.left, clipped->area.top, clipped->area.right, clipped->area.bottom}),
      (std::vector<int>{0, 0, 8, 5}));
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

  FindResult again = FindAll(*store, image, 1);
  EXPECT_EQ(again.code, 2);
  EXPECT_EQ(again.output, "");
  EXPECT_EQ(store->ReturnAllContours(), 10000);

  // A full store searched where nothing is found still succeeds.
  Image blank = Image::Gray(4, 4);
  EXPECT_EQ(FindAll(*store, blank, 0).code, 0);
}

}  // namespace
}  // namespace vxtest
