#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

using Block = std::vector<unsigned char>;  // bs * bs pixel values, row by row

// A block with `first` pixels of value a and the rest of value b.
Block Split(int bs, int first, unsigned char a, unsigned char b) {
  Block block(static_cast<size_t>(bs) * bs, b);
  for (int i = 0; i < first; ++i) block[i] = a;
  return block;
}
Block Fill(int bs, unsigned char v) { return Split(bs, 0, v, v); }
// A 4 x 4 block of runs {value, count}.
Block Levels(std::initializer_list<std::pair<unsigned char, int>> runs) {
  Block block;
  for (const auto& [v, n] : runs) block.insert(block.end(), n, v);
  return block;
}

// An image made of the given blocks (a grid of rows), plus `extra` pixels
// of value 7 to the right and below that belong to no block.
vxtest::Image Blocks(int bs, const std::vector<std::vector<Block>>& grid, int extra = 0) {
  const int rows = static_cast<int>(grid.size()), cols = static_cast<int>(grid[0].size());
  vxtest::Image image = vxtest::Image::Gray(cols * bs + extra, rows * bs + extra, 7);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      for (int i = 0; i < bs * bs; ++i) image.at(c * bs + i % bs, r * bs + i / bs) = grid[r][c][i];
  return image;
}

// Owns a segmentation and reads its maps.
struct Segments {
  SEGMENTS s;
  explicit Segments(SEGMENTS made) : s(made) {}
  ~Segments() { DeleteSegmentsh(s); }
  int blocks() const { return s.blockCols > 0 ? s.blockCols * s.blockRows : 0; }
  std::vector<int> Labels() const {
    return s.labels ? std::vector<int>(s.labels, s.labels + blocks()) : std::vector<int>{};
  }
  std::vector<int> Marks() const {
    return s.marks ? std::vector<int>(s.marks, s.marks + blocks()) : std::vector<int>{};
  }
};

TEST(Segmentation, UniformImageAndNoJoining) {
  vxtest::Image uniform = vxtest::Image::Gray(13, 10, 90);  // 3 x 2 blocks of 4, the rest outside
  Segments one(SegmentationH(uniform.img(), 4, 16, 0.0, 0.5, 0));
  EXPECT_EQ(one.s.segmentCount, 1);
  EXPECT_EQ(one.s.blockCols, 3);
  EXPECT_EQ(one.s.blockRows, 2);
  EXPECT_EQ(one.Labels(), std::vector<int>(6, 0));
  EXPECT_EQ(one.Marks(), std::vector<int>(6, 0)) << "two-peak test not asked for";

  Segments alone(SegmentationH(uniform.img(), 4, 16, -0.5, 0.5, 0));
  EXPECT_EQ(alone.s.segmentCount, 6);
  EXPECT_EQ(alone.Labels(), std::vector<int>({0, 1, 2, 3, 4, 5}));
  // Folded in row-major order, each block into its first neighbour (all
  // are equally near), which already carries the label the first fold gave.
  Segments folded(SegmentationH(uniform.img(), 4, 16, -0.5, 0.5, SEGMENTS_FOLD_ISOLATED));
  EXPECT_EQ(folded.s.segmentCount, 6) << "emptied labels stay counted";
  EXPECT_EQ(folded.Labels(), std::vector<int>(6, 1));
}

// Block i holds values 20i and 20(i+1), half each: neighbours share one
// level (distance 0.5), blocks two apart none (distance 1). Growth compares
// each block with the one it is reached from, so a chain of gradual change
// stays one segment although its ends have nothing in common.
TEST(Segmentation, GrowthComparesNeighboursNotTheSeed) {
  std::vector<Block> row;
  for (int i = 0; i < 6; ++i)
    row.push_back(Split(4, 8, static_cast<unsigned char>(20 * i), static_cast<unsigned char>(20 * i + 20)));
  vxtest::Image chain = Blocks(4, {row, row});
  struct Case {
    double join;
    int segments;
  } cases[] = {{0.5, 1}, {0.6, 1}, {0.49, 6}};
  for (const Case& c : cases) {
    Segments seg(SegmentationH(chain.img(), 4, 256, c.join, 0.5, 0));
    EXPECT_EQ(seg.s.segmentCount, c.segments) << "joinLimit " << c.join;
  }
}

// Blocks 0 | 0 | X | 255 | 255 with X a quarter of one level and three
// quarters of the other: X is alone at joinLimit 0.1 (distance 1/7 to the
// level it mostly has, 0.6 to the other) and folds into the nearer one.
TEST(Segmentation, IsolatedBlocksFoldIntoTheNearestNeighbour) {
  struct Case {
    Block x;
    std::vector<int> plain, folded;
  } cases[] = {
      {Split(4, 4, 0, 255), {0, 0, 1, 2, 2}, {0, 0, 2, 2, 2}},
      {Split(4, 4, 255, 0), {0, 0, 1, 2, 2}, {0, 0, 0, 2, 2}},
  };
  for (const Case& c : cases) {
    vxtest::Image image = Blocks(4, {{Fill(4, 0), Fill(4, 0), c.x, Fill(4, 255), Fill(4, 255)}}, 3);
    Segments plain(SegmentationH(image.img(), 4, 16, 0.1, 0.5, 0));
    Segments folded(SegmentationH(image.img(), 4, 16, 0.1, 0.5, SEGMENTS_FOLD_ISOLATED));
    EXPECT_EQ(plain.Labels(), c.plain);
    EXPECT_EQ(folded.Labels(), c.folded);
    EXPECT_EQ(folded.s.segmentCount, 3);
  }
  // 2 x 2 blocks, all alone. Block 0 folds into block 3 (distance 1/15)
  // and carries block 3's histogram on: block 1 then finds block 2 nearer
  // (1/6) than block 0 (7/24); with block 0's own histogram it would have
  // joined block 0.
  vxtest::Image square = Blocks(4, {{Levels({{0, 8}, {128, 8}}), Levels({{0, 4}, {128, 8}, {255, 4}})},
                                    {Levels({{128, 8}, {255, 8}}), Levels({{0, 12}, {128, 4}})}});
  Segments folded(SegmentationH(square.img(), 4, 16, -1.0, 0.5, SEGMENTS_FOLD_ISOLATED));
  EXPECT_EQ(folded.Labels(), std::vector<int>({3, 2, 2, 3}));
}

// One 4 x 4 block, 16 bins (value 0 in bin 0, 64 in bin 4, 80 in 5, 96 in
// 6, 255 in 15). A = 16 * share; each peak (with w bins on either side)
// must hold more than A/4 and both together more than A.
TEST(Segmentation, TwoPeakTest) {
  struct Case {
    const char* what;
    Block block;
    double share;
    int marked;
  } cases[] = {
      {"half 0, half 255", Split(4, 8, 0, 255), 0.5, 1},
      {"peaks 15 bins apart need more than all pixels", Split(4, 8, 0, 255), 1.0, 0},
      {"just under all pixels", Split(4, 8, 0, 255), 0.99, 1},
      {"2 pixels are not more than A/4 = 2", Split(4, 14, 0, 255), 0.5, 0},
      {"3 pixels are", Split(4, 13, 0, 255), 0.5, 1},
      {"6 bins apart is at least 16/3", Split(4, 8, 0, 96), 0.5, 1},
      {"5 bins apart is not", Split(4, 8, 0, 80), 0.5, 0},
      {"one level", Fill(4, 30), 0.0, 0},
      // Peaks at bins 0 (8 px), 4 (1 px) and 15 (7 px): the second peak is
      // scored by distance less relative height, 4/16 - 1/8 beats
      // 15/16 - 7/8, and bin 4 is too near.
      {"nearer, lower peak chosen",
       [] {
         Block b = Split(4, 8, 0, 255);
         b[8] = 64;
         return b;
       }(),
       0.5, 0},
  };
  for (const Case& c : cases) {
    vxtest::Image image = Blocks(4, {{c.block}});
    Segments seg(SegmentationH(image.img(), 4, 16, 0.0, c.share, SEGMENTS_TWO_PEAKS));
    EXPECT_EQ(seg.Marks(), std::vector<int>({c.marked})) << c.what;
  }
  vxtest::Image halves = Blocks(4, {{Split(4, 8, 0, 255)}});
  Segments single_bin(SegmentationH(halves.img(), 4, 1, 0.0, 0.5, SEGMENTS_TWO_PEAKS));
  EXPECT_EQ(single_bin.Marks(), std::vector<int>({0})) << "one bin, one peak at most";
}

TEST(Segmentation, RefusalsAndImagesSmallerThanABlock) {
  vxtest::Image gray = vxtest::Image::Gray(8, 8, 50);
  vxtest::Image color = vxtest::Image::Color(8, 8);
  IMG invalid = gray.img();
  invalid.valid = 0;
  struct Case {
    const char* what;
    IMG img;
    int bs, bins;
  } refused[] = {{"24-bit", color.img(), 4, 16},       {"block 1", gray.img(), 1, 16},
                 {"block 1025", gray.img(), 1025, 16}, {"no bins", gray.img(), 4, 0},
                 {"257 bins", gray.img(), 4, 257},     {"not valid", invalid, 4, 16}};
  for (const Case& c : refused) {
    Segments seg(SegmentationH(c.img, c.bs, c.bins, 0.0, 0.5, 3));
    EXPECT_EQ(seg.s.blockCols, -1) << c.what;
    EXPECT_EQ(seg.s.labels, nullptr) << c.what;
  }
  Segments small(SegmentationH(gray.img(), 16, 16, 0.0, 0.5, 3));
  EXPECT_EQ(small.s.blockCols, 0);
  EXPECT_EQ(small.s.segmentCount, 0);
  EXPECT_EQ(small.s.labels, nullptr);
}

}  // namespace
