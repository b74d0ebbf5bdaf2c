// Nesting by bounding boxes, and the deepest-level query built on it.
#include <gtest/gtest.h>

#include "contour/nesting.h"
#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

std::vector<int> MaxLevel(CONTOUR& store) {
  int level = -1, index = -1, how_many = -1;
  store.ReturnMaxLevel(level, index, how_many);
  return {level, index, how_many};
}

// A frame around a blob, and a U whose box (not the U itself) holds a blob.
TEST(Nesting, BoundingBoxesDecide) {
  for (auto art : {std::vector<std::string>{"#######", "#.....#", "#..#..#", "#.....#", "#######"},
                   std::vector<std::string>{"#.....#", "#.....#", "#..#..#", "#.....#", "#######"}}) {
    auto nested = NewStore();
    FindResult result = FindAll(*nested, Image::FromArt(art), 1);
    ASSERT_EQ(nested->ReturnAllContours(), 2);
    EXPECT_EQ(result.output, "N:0 - L:0 - M:-1\nN:1 - L:1 - M:0\n");
    EXPECT_EQ(MaxLevel(*nested), (std::vector<int>{1, 1, 1}));
    auto flat = NewStore();
    EXPECT_EQ(FindAll(*flat, Image::FromArt(art), 2).output, "N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
    EXPECT_EQ(MaxLevel(*flat), (std::vector<int>{0, 0, 2}));
  }
}

TEST(Nesting, DeepestEnclosingBoxWinsThenLowestIndex) {
  const RECT boxes[6] = {
      {0, 0, 10, 10},  // outermost
      {1, 1, 20, 20},  // overlaps 0 without being inside it
      {5, 5, 6, 6},    // inside 0 and 1, both level 0: the lower index wins
      {2, 2, 15, 15},  // inside 1 only
      {5, 5, 6, 6},    // inside 0, 1 and 3: 3 is deepest
      {2, 2, 15, 15},  // equal to 3, so not strictly inside it
  };
  CONTOUR_ITEM items[6];
  for (int i = 0; i < 6; ++i) items[i] = CONTOUR_ITEM{1, nullptr, boxes[i], i ? 7 : -1, i ? 7 : 0};
  vx::NestByBoxes(items, 6);
  std::vector<int> mamas, levels;
  for (const CONTOUR_ITEM& item : items) mamas.push_back(item.mama), levels.push_back(item.level);
  EXPECT_EQ(mamas, (std::vector<int>{-1, -1, 0, 1, 3, 1}));
  EXPECT_EQ(levels, (std::vector<int>{0, 0, 1, 1, 2, 1}));
}

// Unnested contours all count at level 0; an empty store has no deepest
// contour, so it reports level 0, index 0 and none of them.
TEST(Nesting, MaxLevelOfFlatAndEmptyStores) {
  auto store = NewStore();
  EXPECT_EQ(MaxLevel(*store), (std::vector<int>{0, 0, 0}));
  ASSERT_EQ(FindAll(*store, Image::FromArt({"#.#.#"}), 1).code, 0);
  EXPECT_EQ(MaxLevel(*store), (std::vector<int>{0, 0, 3}));
}

}  // namespace
}  // namespace vxtest
