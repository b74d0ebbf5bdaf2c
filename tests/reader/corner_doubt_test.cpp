// When a corner's doubt leaves its place in question: beyond a quarter of
// the cell met at it, with a quarter more room for a doubt of 3 pixels or
// less (the scatter of the edge points, which overstates the error).
#include <gtest/gtest.h>

#include "reader/edges.h"

namespace vx::reader {
namespace {

// A 10 x 10 figure `side` pixels square, corners in reading order.
Quad Square(double side) { return {Point{0, 0}, Point{side, 0}, Point{side, side}, Point{0, side}}; }

bool InDoubt(double side, double corner_doubt) {
  const Quad q = Square(side);
  std::array<double, 4> doubt{};
  doubt[2] = corner_doubt;
  return CornersInDoubt(q, doubt, q, 10, 10);
}

TEST(CornerDoubt, SmallDoubtsGetAQuarterMoreRoomLargeOnesNone) {
  // Cells of 10 pixels: a quarter cell is 2.5, and 3 pixels is within the
  // quarter more a small doubt gets.
  EXPECT_FALSE(InDoubt(100.0, 2.5));
  EXPECT_FALSE(InDoubt(100.0, 3.0));
  EXPECT_TRUE(InDoubt(100.0, 3.2));
  // Cells of 20 pixels: a quarter cell is 5; a doubt over 3 pixels gets no
  // more room than that.
  EXPECT_FALSE(InDoubt(200.0, 5.0));
  EXPECT_TRUE(InDoubt(200.0, 5.5));
  // Cells of 2 pixels: the quarter cell is raised to a pixel.
  EXPECT_FALSE(InDoubt(20.0, 1.2));
  EXPECT_TRUE(InDoubt(20.0, 1.3));
}

}  // namespace
}  // namespace vx::reader
