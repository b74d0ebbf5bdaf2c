// Find (fill and walk orders, printout, refusals, limits), nesting by boxes,
// and the store's accessors and copies.
#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

using Ints = std::vector<int>;
const std::vector<std::string> kTwoBlobs = {"........", ".##.....", ".##..#..", ".....##.", "........"};

// The walk lists the outline (and centre), then the fill without the start.
TEST(FillOrder, BlockAndLongLineFilledAndWalked) {
  const Pixels fill = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 1}, {3, 2}, {2, 3}, {3, 3}, {1, 3}};
  Pixels walk = {{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {2, 2}};
  walk.insert(walk.end(), fill.begin() + 1, fill.end());
  for (auto [mode, expected] : {std::pair{0ul, fill}, {2ul, walk}}) {
    auto store = Found(Image::FromArt({".....", ".###.", ".###.", ".###.", "....."}), mode);
    ASSERT_EQ(store->ReturnAllContours(), 1);
    EXPECT_EQ(PointsOf(*store, 0), expected);
    EXPECT_EQ(Box(store->ReturnRectContour(0)), (Ints{1, 1, 3, 3}));
  }
  // 70001 pixels outgrow the first buffer (half the rectangle) and a 16-bit count.
  auto store = Found(Image::Gray(70001, 1, 0), 2);
  EXPECT_TRUE(store->ReturnAllContours() == 1 && store->items[0].count == 140001u);
  EXPECT_EQ(PointsOf(*store, 0).back(), Pixel(70000, 0));
}

// Ring, diagonal pair, lone pixel of value 1 (taken marks kept apart from values).
TEST(FillOrder, EightConnectedRegionsOfEitherColour) {
  Image image = Image::FromArt({"###.....", "#.#.....", "###..#..", "......#.", "........", "...#...."});
  for (int i = 0; i < 48; ++i) image.at(i % 8, i / 8) = image.at(i % 8, i / 8) == 0;
  auto ones = Found(image, 2, 1);
  ASSERT_TRUE(ones->ReturnAllContours() == 3 && ones->AllPoints(0) == 15);
  EXPECT_EQ(PointsOf(*ones, 1).back(), Pixel(6, 3));
  EXPECT_EQ(PointsOf(*ones, 2), (Pixels{{3, 5}}));
}

// 200 x 200 stays within 20000 pending pixels; 400 x 400 is cut into further
// contours. Every pixel is black and listed exactly once.
TEST(FillStackLimit, LargeBlockIsCutIntoContoursCoveringItOnce) {
  for (int side : {200, 400}) {
    Image image = Image::Gray(side + 20, side + 20);
    for (int i = 0; i < side * side; ++i) image.at(10 + i % side, 10 + i / side) = 0;
    auto store = Found(image, 0);
    EXPECT_EQ(store->ReturnAllContours() > 1, side == 400);
    std::map<Pixel, int> seen;
    for (int i = 0; i < store->ReturnAllContours(); ++i)
      for (const Pixel& p : PointsOf(*store, i)) ASSERT_EQ(image.at(p.first, p.second) + ++seen[p], 1);
    EXPECT_EQ(seen.size(), static_cast<size_t>(side) * side);
  }
}

// A second Find appends and prints the whole store; the caller's pixels stay.
TEST(Find, SecondCallAppendsAndPrintsEverything) {
  Image image = Image::FromArt(kTwoBlobs);
  auto store = std::make_unique<CONTOUR>();
  ASSERT_EQ(FindAll(*store, image, 1), "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
  EXPECT_EQ(FindAll(*store, image, 3),
            "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\nN:2 - L:0 - M:-1\nN:3 - L:0 - M:-1\n");
  EXPECT_EQ(store->AllPoints(2), 2 * store->AllPoints(0) - 1);
  EXPECT_EQ(image.Art(), kTwoBlobs);
}

// Unreadable images give 1, empty rectangles 0, storing and printing nothing.
// The rectangle excludes right and bottom.
TEST(Find, RefusalsAndSearchRectangle) {
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
  auto inside = std::make_unique<CONTOUR>();
  ASSERT_EQ(FindIn(*inside, image.img(), RECT{2, 0, 6, 3}, 0), "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
  EXPECT_EQ(PointsOf(*inside, 0), (Pixels{{2, 1}, {2, 2}}));
  EXPECT_EQ(PointsOf(*inside, 1), (Pixels{{5, 2}}));
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
  EXPECT_TRUE(store->ReturnCenterContour(0).x == 2 && store->ReturnCenterContour(0).y == 1);
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{0, 4}, 1) &&
              !store->ReturnPointInContour(C_POINT{0, 4}, 0));
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
    EXPECT_TRUE(store->GetMama(bad) == -1 && store->AllPoints(bad) == 0);
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
