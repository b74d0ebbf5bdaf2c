#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

// A hand-made segmentation of a 4 x 2 block grid:
//   labels 0 0 1 3     marks 1 0 1 1
//          2 2 1 3           1 1 0 1
// Label 4 holds no block (as after a fold); label 2 has the most marks.
struct Fixture {
  std::vector<int> labels{0, 0, 1, 3, 2, 2, 1, 3};
  std::vector<unsigned char> marks{1, 0, 1, 1, 1, 1, 0, 1};
  SEGMENTS s() { return SEGMENTS{5, 4, 2, labels.data(), marks.data()}; }
};

std::vector<std::vector<int>> Rects(SEGMENTS s, int minMarked, int maxRects, int flags) {
  RECT out[8];
  const int n = ReturnRectSegmentsh(s, 10, out, minMarked, maxRects, flags);
  std::vector<std::vector<int>> rects;
  for (int i = 0; i < n; ++i) rects.push_back({out[i].left, out[i].top, out[i].right, out[i].bottom});
  return rects;
}

TEST(SegmentRects, QualifyingLabelsInOrder) {
  Fixture f;
  const std::vector<int> r0{0, 0, 19, 9}, r1{20, 0, 29, 19}, r2{0, 10, 19, 19}, r3{30, 0, 39, 19};
  struct Case {
    int minMarked, maxRects, flags;
    std::vector<std::vector<int>> rects;
  } cases[] = {
      {1, 8, 0, {r0, r1, r2, r3}},  // bounds in pixels, inclusive
      {2, 8, 0, {r2, r3}},
      {0, 8, 0, {r0, r1, r2, r3}},  // the label without blocks is skipped
      {1, 2, 0, {r0, r1}},          // the walk stops at maxRects
      {1, 0, 0, {}},
      {1, 8, SEGMENTS_BEST_ONLY, {r2}},  // label 2 (two marks) beats the first written
      {1, 2, SEGMENTS_BEST_ONLY, {r0}},  // only labels 0 and 1 written, equal marks: the first
      {3, 8, SEGMENTS_BEST_ONLY, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rects(f.s(), c.minMarked, c.maxRects, c.flags), c.rects)
        << "minMarked " << c.minMarked << " maxRects " << c.maxRects << " flags " << c.flags;
  }
  RECT out[1];
  EXPECT_EQ(ReturnRectSegmentsh(f.s(), 10, nullptr, 1, 8, 0), 0) << "null out";
  EXPECT_EQ(ReturnRectSegmentsh(SEGMENTS{0, -1, 0, nullptr, nullptr}, 10, out, 0, 1, 0), 0) << "empty record";
}

// Block (c, r) of the picture as the palette entry of its colour, '.' for
// unpainted (the image starts as (1, 2, 3)).
std::string Painted(SEGMENTS s, int flags, IMG img) {
  DrawSegmentsH(img, s, 2, flags);
  std::string out;
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 4; ++c) {
      const unsigned char* p = img.bits + (2 * r + 1) * img.stride + 3 * (2 * c + 1);
      out += p[0] == 1 && p[1] == 2 && p[2] == 3         ? '.'
             : p[0] == 255 && p[1] == 255 && p[2] == 255 ? 'W'
             : p[0] == 0 && p[1] == 255 && p[2] == 255   ? 'Y'
             : p[0] == 255 && p[1] == 0 && p[2] == 255   ? 'M'
             : p[0] == 255 && p[1] == 255 && p[2] == 0   ? 'C'
                                                         : '?';
    }
    out += '|';
  }
  return out;
}

TEST(SegmentDrawing, PaletteAndSelections) {
  Fixture f;
  struct Case {
    int flags;
    const char* picture;
  } cases[] = {
      {0, "WWYC|MMYC|"},  // palette entries 0 .. 3
      {SEGMENTS_TWO_PEAKS, "W.YC|MM.C|"},
      {SEGMENTS_MARKED_LABELS, "WWYC|MMYC|"},
      {SEGMENTS_BEST_ONLY, "....|MM..|"},
      {SEGMENTS_BEST_ONLY | SEGMENTS_TWO_PEAKS, "....|MM..|"},
  };
  for (const Case& c : cases) {
    vxtest::Image image = vxtest::Image::Color(9, 5, 1, 2, 3);
    EXPECT_EQ(Painted(f.s(), c.flags, image.img()), c.picture) << "flags " << c.flags;
    EXPECT_EQ(image.at(8, 4, 0), 1) << "pixels outside the block grid stay";
  }
  // Refused: a grid wider than the image, a gray image.
  vxtest::Image small = vxtest::Image::Color(7, 4, 1, 2, 3);
  DrawSegmentsH(small.img(), f.s(), 2, 0);
  EXPECT_EQ(small.at(0, 0, 0), 1) << "grid wider than the image";
  vxtest::Image fresh = vxtest::Image::Color(8, 4, 1, 2, 3);
  IMG as_gray = fresh.img();
  as_gray.gray = 1;
  EXPECT_EQ(Painted(f.s(), 0, as_gray), "....|....|");
}

TEST(SegmentDrawing, LabelsWrapAroundThePalette) {
  std::vector<int> labels(28);
  for (int i = 0; i < 28; ++i) labels[i] = i;
  SEGMENTS s{28, 28, 1, labels.data(), nullptr};
  vxtest::Image image = vxtest::Image::Color(56, 2, 1, 2, 3);
  DrawSegmentsH(image.img(), s, 2, 0);
  const int expected[][4] = {{1, 0, 255, 255}, {26, 0, 255, 128}, {27, 255, 255, 255}};  // label, B, G, R
  for (const auto& e : expected)
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(image.at(2 * e[0] + 1, 1, ch), e[ch + 1]) << "label " << e[0];
}

}  // namespace
