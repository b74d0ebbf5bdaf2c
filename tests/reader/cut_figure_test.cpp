// A figure cut along a sharp shadow's edge: the part on one side passes for
// a whole figure unless the ring is seen going on past the cut.
#include <gtest/gtest.h>

#include "reader/cells.h"
#include "tests/reader/drawn_figures.h"
#include "tools/condition_sets.h"

namespace vx::reader {
namespace {

// Harsh seed 5 #331: a shadow taking a third of the light runs along the
// figure's left side half a cell in, so lit ink beside the cut is as light
// as the shaded paper round the rest. The outline along the cut reads
// every cell right with its left corners 28 px off; the ring goes on only
// half a cell past them, then lit paper.
TEST(CutFigure, RingGoingOnHalfACellPastTheCutIsSeen) {
  const vxgen::ConditionSet* harsh = vxgen::FindConditionSet("harsh");
  ASSERT_NE(harsh, nullptr);
  const vxgen::TestPicture t = vxgen::Render(harsh->make(5, 331));
  const PictureView picture(View(t.picture), true);
  const Quad truth = Corners(t.truth);
  // The cut outline in the truth's order: its left side on the shadow's edge.
  const Quad cut{Point{92.36, 88.10}, Point{398.68, 20.91}, Point{505.73, 288.46}, Point{194.05, 390.36}};
  ASSERT_GT(Distance(cut[0], truth[0]), 20.0);  // the picture is the one described

  const CellReading on_cut = ReadCells(picture, cut, t.truth.rows, t.truth.cols, -1.0);
  EXPECT_FALSE(on_cut.ok);
  EXPECT_TRUE(on_cut.part);
  EXPECT_TRUE(Right(ReadCells(picture, truth, t.truth.rows, t.truth.cols, -1.0), t.truth));
}

}  // namespace
}  // namespace vx::reader
