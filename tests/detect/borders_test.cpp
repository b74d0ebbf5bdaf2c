// Border marking, drawn as pictures: '#' 0, '.' 255, 'o' 128, '-' 100.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

Image FromMarks(const std::vector<std::string>& rows, bool gray) {
  const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows[0].size());
  Image img = gray ? Image::Gray(w, h) : Image::Color(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const char c = rows[y][x];
      const unsigned char v = c == '#' ? 0 : c == 'o' ? 128 : c == '-' ? 100 : 255;
      for (int k = 0; k < (gray ? 1 : 3); ++k) img.at(x, y, k) = v;
    }
  return img;
}

// Byte 0 of every pixel as a mark.
std::vector<std::string> Marks(const Image& img) {
  std::vector<std::string> rows;
  for (int y = 0; y < img.img().height; ++y) {
    std::string line;
    for (int x = 0; x < img.img().width; ++x) {
      const int v = img.at(x, y);
      line += v == 0 ? '#' : v == 128 ? 'o' : v == 100 ? '-' : v == 255 ? '.' : '?';
    }
    rows.push_back(line);
  }
  return rows;
}

// mode -1: AllocationBorders; otherwise AllocationBordersRect with r and mode.
struct Case {
  const char* name;
  int mode;
  RECT r;
  std::vector<std::string> in, expected;
};

}  // namespace

TEST(Borders, MarkedPictures) {
  const std::vector<std::string> square = {".......", ".####..", ".####..", ".####..", ".......", "......."};
  const std::vector<std::string> ring = {".......", ".oooo..", ".o##o..", ".oooo..", ".......", "......."};
  const std::vector<std::string> outside = {".oooo..", "o####o.", "o####o.", "o####o.", ".oooo..", "......."};
  const RECT all{0, 0, 7, 6}, none{};
  const Case cases[] = {
      {"inner border of a square", -1, none, square, ring},
      {"the image edge is no border", -1, none, {"###..", "###..", "###.."}, {"##o..", "##o..", "##o.."}},
      {"any non-white pixel is marked", -1, none, {"--.", "--#"}, {"-o.", "--o"}},
      {"rectangle, inner border", 0, all, square, ring},
      {"rectangle, outer border", 1, all, square, outside},
      {"only mode bit 0 counts", 0xFE, all, square, ring},
      // Neighbours outside the rectangle are tested and marked.
      {"part of the square, outer",
       1,
       {3, 0, 7, 6},
       square,
       {"...oo..", ".####o.", ".####o.", ".####o.", "...oo..", "......."}},
      {"part of the square, inner",
       0,
       {3, 0, 7, 6},
       square,
       {".......", ".##oo..", ".###o..", ".##oo..", ".......", "......."}},
      {"only black pixels start a rectangle's marking", 0, {0, 0, 3, 2}, {"--.", "--#"}, {"--.", "--o"}},
      {"a rectangle reaching outside is cut to the image", 1, {-5, -5, 50, 50}, square, outside},
      {"a rectangle wholly outside marks nothing", 1, {8, 0, 20, 6}, square, square},
  };
  for (const Case& c : cases)
    for (bool gray : {true, false}) {
      Image img = FromMarks(c.in, gray);
      if (c.mode < 0) {
        AllocationBorders(img.img());
      } else {
        AllocationBordersRect(img.img(), c.r, static_cast<unsigned char>(c.mode));
      }
      EXPECT_EQ(Marks(img), c.expected) << c.name << (gray ? " (gray)" : " (24-bit)");
    }
}

// In 24-bit images AllocationBorders writes 128, 0, 0; the rectangle form
// writes byte 0 only.
TEST(Borders, BytesWrittenIn24BitPictures) {
  Image img = FromMarks({"#.", ".."}, false);
  AllocationBorders(img.img());
  EXPECT_EQ(img.at(0, 0, 0), 128);
  EXPECT_EQ(img.at(0, 0, 1), 0);
  EXPECT_EQ(img.at(0, 0, 2), 0);
  Image inner = FromMarks({"#.", ".."}, false);
  inner.at(0, 0, 1) = 7, inner.at(0, 0, 2) = 9;
  AllocationBordersRect(inner.img(), RECT{0, 0, 2, 2}, 0);
  EXPECT_EQ(inner.at(0, 0, 0), 128);
  EXPECT_EQ(inner.at(0, 0, 1), 7);
  EXPECT_EQ(inner.at(0, 0, 2), 9);
  Image outer = FromMarks({"#.", ".."}, false);
  AllocationBordersRect(outer.img(), RECT{0, 0, 2, 2}, 1);
  EXPECT_EQ(outer.at(1, 0, 0), 128);
  EXPECT_EQ(outer.at(1, 0, 1), 255);
  EXPECT_EQ(outer.at(1, 0, 2), 255);
}

// Records that cannot be marked are left alone.
TEST(Borders, UnmarkableImagesAreLeftAlone) {
  Image img = Image::FromArt({"#."});
  IMG not_valid = img.img(), short_rows = img.img();
  not_valid.valid = 0;
  short_rows.gray = 0;  // 24-bit pixels in a 4-byte row
  for (const IMG& bad : {not_valid, short_rows, IMG{nullptr, 2, 4, 1, 1, 1}}) {
    AllocationBorders(bad);
    AllocationBordersRect(bad, RECT{0, 0, 2, 1}, 1);
  }
  EXPECT_EQ(img.Art(), (std::vector<std::string>{"#."}));
  EXPECT_EQ(img.at(1, 0), 255);
}
