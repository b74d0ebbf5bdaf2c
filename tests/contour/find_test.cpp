// Find (fill and walk orders, printout, refusals, limits), nesting by boxes,
// and the store's accessors, copies and drawing.
#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "contour/nesting.h"
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
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) image.at(x, y) = image.at(x, y) == 0;
  for (unsigned long mode : {0ul, 2ul}) {
    auto ones = Found(image, mode, 1);
    ASSERT_EQ(ones->ReturnAllContours(), 3);
    EXPECT_EQ(ones->AllPoints(0), mode ? 15 : 8);
    EXPECT_EQ(PointsOf(*ones, 1).back(), Pixel(6, 3));
    EXPECT_EQ(Box(ones->ReturnRectContour(1)), (Ints{5, 2, 6, 3}));
    EXPECT_EQ(PointsOf(*ones, 2), (Pixels{{3, 5}}));
  }
}

// 200 x 200 stays within 20000 pending pixels; 400 x 400 is cut into further
// contours. Every pixel is black and listed exactly once.
TEST(FillStackLimit, LargeBlockIsCutIntoContoursCoveringItOnce) {
  for (int side : {200, 400}) {
    Image image = Image::Gray(side + 20, side + 20);
    for (int y = 10; y < side + 10; ++y)
      for (int x = 10; x < side + 10; ++x) image.at(x, y) = 0;
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
// The rectangle excludes right and bottom and is cut to the image.
TEST(Find, RefusalsAndSearchRectangle) {
  Image image = Image::FromArt(kTwoBlobs);
  IMG bad[5] = {image.img(), image.img(), image.img(), image.img(), image.img()};
  bad[0].gray = bad[1].valid = bad[4].height = 0;
  bad[2].bits = nullptr;
  bad[3].stride = 4;
  const RECT all{0, 0, 8, 5}, empty[4] = {{3, 0, 3, 5}, {0, 4, 8, 2}, {20, 20, 30, 30}, {-9, -9, -1, -1}};
  for (int i = 0; i < 9; ++i) {
    auto store = std::make_unique<CONTOUR>();
    EXPECT_EQ(i < 5 ? FindIn(*store, bad[i], all, 3) : FindIn(*store, image.img(), empty[i - 5], 3),
              i < 5 ? "1|" : "0|");
    EXPECT_EQ(store->ReturnAllContours(), 0);
  }
  auto inside = std::make_unique<CONTOUR>(), clipped = std::make_unique<CONTOUR>();
  const std::string two = "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n";
  ASSERT_EQ(FindIn(*inside, image.img(), RECT{2, 0, 6, 3}, 0), two);
  EXPECT_EQ(PointsOf(*inside, 0), (Pixels{{2, 1}, {2, 2}}));
  EXPECT_EQ(PointsOf(*inside, 1), (Pixels{{5, 2}}));
  ASSERT_EQ(FindIn(*clipped, image.img(), RECT{-100, -3, 1000, 99}, 0), two);
  EXPECT_EQ(PointsOf(*clipped, 1), PointsOf(*Found(image, 0), 1));
  EXPECT_EQ(Box(clipped->area), (Ints{0, 0, 8, 5}));
}

// 10001 lone pixels overfill the store: 2, without printout, now and later.
TEST(Find, FullStoreStopsWithoutPrintout) {
  Image image = Image::Gray(20001, 1);
  for (int x = 0; x < 20001; x += 2) image.at(x, 0) = 0;
  auto store = std::make_unique<CONTOUR>();
  for (unsigned long mode : {3ul, 1ul}) EXPECT_EQ(FindAll(*store, image, mode), "2|");
  ASSERT_EQ(store->ReturnAllContours(), 10000);
  EXPECT_EQ(PointsOf(*store, 9999), (Pixels{{19998, 0}}));
}

Ints MaxLevel(CONTOUR& store) {
  int level = -1, index = -1, how_many = -1;
  store.ReturnMaxLevel(level, index, how_many);
  return {level, index, how_many};
}

// A frame around a blob, and a U whose box (not the U) holds a blob. An
// empty store has no deepest contour: level 0, index 0, none of them.
TEST(Nesting, BoundingBoxesDecide) {
  for (auto art : {std::vector<std::string>{"#######", "#.....#", "#..#..#", "#.....#", "#######"},
                   std::vector<std::string>{"#.....#", "#.....#", "#..#..#", "#.....#", "#######"}}) {
    auto nested = std::make_unique<CONTOUR>(), flat = std::make_unique<CONTOUR>();
    EXPECT_EQ(MaxLevel(*nested), (Ints{0, 0, 0}));
    EXPECT_EQ(FindAll(*nested, Image::FromArt(art), 1), "0|N:0 - L:0 - M:-1\nN:1 - L:1 - M:0\n");
    EXPECT_EQ(MaxLevel(*nested), (Ints{1, 1, 1}));
    EXPECT_EQ(FindAll(*flat, Image::FromArt(art), 2), "0|N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
    EXPECT_EQ(MaxLevel(*flat), (Ints{0, 0, 2}));
  }
}

// 0 outermost; 1 overlaps 0; 2 inside 0 and 1 (both level 0: lower index
// wins); 3 inside 1 only; 4 inside 0, 1 and 3 (3 deepest); 5 equals 3.
TEST(Nesting, DeepestEnclosingBoxWinsThenLowestIndex) {
  const RECT boxes[6] = {{0, 0, 10, 10}, {1, 1, 20, 20}, {5, 5, 6, 6},
                         {2, 2, 15, 15}, {5, 5, 6, 6},   {2, 2, 15, 15}};
  CONTOUR_ITEM items[6];
  for (int i = 0; i < 6; ++i) items[i] = CONTOUR_ITEM{1, nullptr, boxes[i], i ? 7 : -1, i ? 7 : 0};
  vx::NestByBoxes(items, 6);
  Ints mama_level;
  for (const CONTOUR_ITEM& item : items) mama_level.insert(mama_level.end(), {item.mama, item.level});
  EXPECT_EQ(mama_level, (Ints{-1, 0, -1, 0, 0, 1, 1, 1, 3, 2, 1, 1}));
}

const Image kBarAndDot = Image::FromArt({"......", ".####.", ".####.", "......", "#....."});

TEST(Store, AccessorsCopyAndDrawing) {
  auto store = Found(kBarAndDot, 0);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  auto centre = [&](int i) {
    return Pixel(store->ReturnCenterContour(i).x, store->ReturnCenterContour(i).y);
  };
  EXPECT_EQ(Box(store->ReturnRectContour(0)), (Ints{1, 1, 4, 2}));
  EXPECT_EQ(centre(0), Pixel(2, 1));
  EXPECT_TRUE(store->ReturnPointInContour(C_POINT{0, 4}, 1) &&
              !store->ReturnPointInContour(C_POINT{0, 4}, 0));
  Image canvas = Image::Color(6, 5);
  for (int bad : {-1, 2, INT_MIN, INT_MAX}) {
    EXPECT_EQ(centre(bad), Pixel(-1, -1)) << bad;
    EXPECT_EQ(Box(store->ReturnRectContour(bad)), (Ints{-1, -1, -1, -1}));
    EXPECT_FALSE(store->ReturnPointInContour(C_POINT{1, 1}, bad));
    EXPECT_EQ(store->DrawContour(canvas.img(), bad, 1, 2, 3), 1);
    EXPECT_TRUE(store->GetMama(bad) == -1 && store->AllPoints(bad) == 0);
  }

  // The copy owns its points and outlives the source; its old points are freed
  // (the sanitized build shows leaks). Drawing writes c0, c1, c2 to bytes 0, 1,
  // 2 of points inside the image only ((1, 1) of the bar here); gray is left.
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
  Image small = Image::Color(2, 2, 200, 200, 200), gray = Image::Gray(6, 5, 200);
  EXPECT_EQ(copy->DrawContour(small.img(), 0, 10, 20, 30), 0);
  EXPECT_EQ(std::vector<int>(small.img().bits, small.img().bits + 16),
            (Ints{200, 200, 200, 200, 200, 200, 0, 0, 200, 200, 200, 10, 20, 30, 0, 0}));
  EXPECT_EQ(copy->DrawContours(gray.img(), 0, 0, 0), 0);
  EXPECT_EQ(gray.Art(), std::vector<std::string>(5, "......"));
}

}  // namespace
}  // namespace vxtest
