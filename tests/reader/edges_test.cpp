// Sides found again near the picture's edge, where the paper beyond a side
// is narrower than the profiles across it would run.
#include <gtest/gtest.h>

#include <vector>

#include "reader/edges.h"

namespace vx::reader {
namespace {

// A gray picture `width` x 100 of paper 200 with an ink square (50) over
// pixels 10..89 each way: its sides lie at 9.5 and 89.5.
std::vector<unsigned char> InkSquare(int width) {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * 100, 200);
  for (int y = 10; y < 90; ++y)
    for (int x = 10; x < 90 && x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = 50;
  return pixels;
}

// The square's outline refined from a rough one whose right side lies at
// `rough_right`; cells of 8 pixels, the true edge within 2 pixels.
Quad Refined(std::vector<unsigned char>& pixels, int width, double rough_right) {
  const IMG img{pixels.data(), width, width, 100, 1, 1};
  const PictureView view(img, true);
  Quad q{Point{9.5, 9.5}, Point{rough_right, 9.5}, Point{rough_right, 89.5}, Point{9.5, 89.5}};
  std::array<double, 4> doubt{};
  EXPECT_TRUE(RefineEdges(view, q, 2.0, 8.0, 0.0, doubt));
  return q;
}

TEST(EdgesNearThePicturesEdge, ASideWithAFewPixelsOfPaperBeyondItIsFoundFromThem) {
  // Four pixels of paper right of the side, the rough line 2.5 beyond the
  // true edge: the profiles are cut at the picture's edge but still show it.
  std::vector<unsigned char> pixels = InkSquare(94);
  const Quad q = Refined(pixels, 94, 92.0);
  EXPECT_NEAR(q[1].x, 89.5, 0.3);
  EXPECT_NEAR(q[2].x, 89.5, 0.3);
}

TEST(EdgesNearThePicturesEdge, ASideWithTooLittlePaperKeepsItsRoughLine) {
  // One pixel of paper: too little to tell paper's level, so the side is
  // not found again and stays where the rough outline put it.
  std::vector<unsigned char> pixels = InkSquare(91);
  const Quad q = Refined(pixels, 91, 90.0);
  EXPECT_DOUBLE_EQ(q[1].x, 90.0);
  EXPECT_DOUBLE_EQ(q[2].x, 90.0);
}

}  // namespace
}  // namespace vx::reader
