// Nesting by bounding boxes, and the deepest-level query built on it.
#include <gtest/gtest.h>

#include "contour/nesting.h"
#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kFrameAndBlob = {
    "#######",  //
    "#.....#",  //
    "#..#..#",  //
    "#.....#",  //
    "#######",
};

TEST(Nesting, BlobInsideFrameGetsTheFrameAsMama) {
  auto store = NewStore();
  FindResult result = FindAll(*store, Image::FromArt(kFrameAndBlob), 1);
  ASSERT_EQ(result.code, 0);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  EXPECT_EQ(store->GetMama(1), 0);
  EXPECT_EQ(store->items[1].level, 1);
  EXPECT_EQ(result.output, "N:0 - L:0 - M:-1\nN:1 - L:1 - M:0\n");

  int level = -1, index = -1, how_many = -1;
  store->ReturnMaxLevel(level, index, how_many);
  EXPECT_EQ((std::vector<int>{level, index, how_many}), (std::vector<int>{1, 1, 1}));
}

TEST(Nesting, WithoutTheModeBitNothingIsNested) {
  auto store = NewStore();
  FindResult result = FindAll(*store, Image::FromArt(kFrameAndBlob), 2);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  EXPECT_EQ(store->GetMama(1), -1);
  EXPECT_EQ(result.output, "N:0 - L:0 - M:-1\nN:1 - L:0 - M:-1\n");
}

// The blob lies in the U's bounding box but outside the U itself: boxes
// decide, so it is nested all the same.
TEST(Nesting, UShapeNestsTheBlobInItsBox) {
  auto store = NewStore();
  ASSERT_EQ(FindAll(*store,
                    Image::FromArt({
                        "#.....#",  //
                        "#.....#",  //
                        "#..#..#",  //
                        "#.....#",  //
                        "#######",
                    }),
                    1)
                .code,
            0);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  EXPECT_EQ(store->GetMama(1), 0);
  EXPECT_EQ(store->items[1].level, 1);
}

TEST(Nesting, DeepestEnclosingBoxWinsThenLowestIndex) {
  CONTOUR_ITEM items[6] = {};
  const RECT boxes[6] = {
      {0, 0, 10, 10},  // 0: outermost
      {1, 1, 20, 20},  // 1: overlaps 0 without being inside it
      {5, 5, 6, 6},    // 2: inside 0 and 1, both level 0: the lower index wins
      {2, 2, 15, 15},  // 3: inside 1 only
      {5, 5, 6, 6},    // 4: inside 0, 1 and 3: 3 is deepest
      {2, 2, 15, 15},  // 5: equal to 3, so not strictly inside it; inside 1
  };
  for (int i = 0; i < 6; ++i) items[i] = CONTOUR_ITEM{1, nullptr, boxes[i], i == 0 ? -1 : 7, i == 0 ? 0 : 7};
  vx::NestByBoxes(items, 6);
  EXPECT_EQ((std::vector<int>{items[0].mama, items[1].mama, items[2].mama, items[3].mama, items[4].mama,
                              items[5].mama}),
            (std::vector<int>{-1, -1, 0, 1, 3, 1}));
  EXPECT_EQ((std::vector<int>{items[0].level, items[1].level, items[2].level, items[3].level, items[4].level,
                              items[5].level}),
            (std::vector<int>{0, 0, 1, 1, 2, 1}));
}

TEST(Nesting, MaxLevelCountsContoursAtTheDeepestLevel) {
  auto store = NewStore();
  ASSERT_EQ(FindAll(*store, Image::FromArt({"#.#.#"}), 1).code, 0);
  int level = -1, index = -1, how_many = -1;
  store->ReturnMaxLevel(level, index, how_many);
  EXPECT_EQ((std::vector<int>{level, index, how_many}), (std::vector<int>{0, 0, 3}));

  // Two blobs and an inner frame at level 1, one blob at level 2 inside the
  // inner frame: the deepest level is 2 with that one blob.
  auto nested = NewStore();
  ASSERT_EQ(FindAll(*nested,
                    Image::FromArt({
                        "#########",  //
                        "#.......#",  //
                        "#.#...#.#",  //
                        "#.......#",  //
                        "#.#####.#",  //
                        "#.#...#.#",  //
                        "#.#.#.#.#",  //
                        "#.#...#.#",  //
                        "#.#####.#",  //
                        "#.......#",  //
                        "#########",
                    }),
                    1)
                .code,
            0);
  ASSERT_EQ(nested->ReturnAllContours(), 5);
  nested->ReturnMaxLevel(level, index, how_many);
  EXPECT_EQ((std::vector<int>{level, index, how_many}), (std::vector<int>{2, 4, 1}));
}

// An empty store has no deepest contour: level 0, index 0 and none of them.
TEST(Nesting, MaxLevelOfAnEmptyStore) {
  auto store = NewStore();
  int level = -1, index = -1, how_many = -1;
  store->ReturnMaxLevel(level, index, how_many);
  EXPECT_EQ((std::vector<int>{level, index, how_many}), (std::vector<int>{0, 0, 0}));
}

}  // namespace
}  // namespace vxtest
