// Cells told by their colours: on drawn figures of small cells under blur
// and noise, where neither a window over each cell nor the levels fitted
// with the blur taken out can be stood behind, the colours that best
// explain the picture read the cells, and the drawing they give places
// corners started off their place. Across a shadow's edge the colours are
// read in the light they were told in, unless they hang on the edge's
// width. Boxes, however their frames read, and figures beyond the
// picture's edge are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

#include "reader/cell_labels.h"
#include "reader/second_looks.h"
#include "tests/reader/drawn_figures.h"
#include "tools/condition_sets.h"
#include "tools/test_picture.h"

namespace vx::reader {
namespace {

// Cells of about 5 pixels, tilted, under a blur of 0.3 cell and noise of a
// quarter of the paper-ink gap.
vxgen::FigureParams Hard(std::uint32_t seed) {
  vxgen::FigureParams p;
  p.rows = 12, p.cols = 11, p.size = 64, p.angle = 13.0 * seed, p.tilt = 30, p.tilt_axis = 35.0 * seed;
  p.blur = 1.5, p.noise = 16, p.paper = 215, p.ink = 150, p.seed = seed;
  return p;
}

TEST(CellLabels, NoisySmallCellsReadWhereWindowsAndLevelsCannot) {
  int windows = 0, levels = 0, labels = 0;
  for (std::uint32_t seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const vxgen::TestPicture t = vxgen::Render(Hard(seed));
    const PictureView picture(View(t.picture), true);
    const Quad seen = Corners(t.truth);
    const int rows = t.truth.rows, cols = t.truth.cols;
    windows += Right(ReadCells(picture, seen, rows, cols, -1.0), t.truth);
    levels += Right(ReadCellsByFit(picture, seen, rows, cols, -1.0), t.truth);
    Quad placed{};
    const CellReading r = ReadCellsByLabels(picture, seen, rows, cols, -1.0, placed);
    labels += r.ok;
    if (r.ok) {
      EXPECT_TRUE(Right(r, t.truth));
      EXPECT_TRUE(r.labelled);
      EXPECT_GE(r.confidence, 0.33);
    }
  }
  EXPECT_LE(windows, 3);
  EXPECT_EQ(levels, 0);  // noise a quarter of the gap: the fitted levels are not stood behind
  EXPECT_GE(labels, 7);
}

// Harsh pictures with a shadow's edge across small cells, read on their
// true corners. The colours are told in the light fitted round the figure,
// edge and all; against the sides' levels carried across the figure the
// labelled levels spread into each other, against the fitted light they
// split cleanly.
TEST(CellLabels, ShadowsEdgeReadInTheLightTheColoursWereToldIn) {
  const vxgen::ConditionSet* harsh = vxgen::FindConditionSet("harsh");
  ASSERT_NE(harsh, nullptr);
  const std::pair<int, int> cases[] = {{2, 243}, {4, 383}, {6, 338}, {7, 896}, {8, 172}};
  for (const auto& [seed, index] : cases) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " #" + std::to_string(index));
    const vxgen::TestPicture t = vxgen::Render(harsh->make(seed, index));
    Quad placed{};
    const CellReading r = ReadCellsByLabels(PictureView(View(t.picture), true), Corners(t.truth),
                                            t.truth.rows, t.truth.cols, -1.0, placed);
    ASSERT_TRUE(r.ok) << r.fault;
    EXPECT_TRUE(Right(r, t.truth));
    EXPECT_TRUE(r.shadow);
  }
}

// Harsh seed 10 #92: a sharp shadow's edge fitted 1.25 cells wide. Told in
// that light, a white cell beside the edge comes out black with odds of 19,
// and twice as wide two cells change colour: the reading is refused.
TEST(CellLabels, ColoursHangingOnTheEdgesWidthAreRefused) {
  const vxgen::TestPicture t = vxgen::Render(vxgen::FindConditionSet("harsh")->make(10, 92));
  Quad placed{};
  EXPECT_FALSE(ReadCellsByLabels(PictureView(View(t.picture), true), Corners(t.truth), t.truth.rows,
                                 t.truth.cols, -1.0, placed)
                   .ok);
}

// Corners moved up to a fifth of a cell off, in x and in y, come back
// within a quarter cell (at least a pixel).
TEST(CellLabels, CornersMovedOffArePlacedAgain) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    vxgen::FigureParams p = Hard(seed);
    p.noise = 8;
    const vxgen::TestPicture t = vxgen::Render(p);
    const Quad truth = Corners(t.truth);
    const double cell = CellPixels(truth, t.truth.rows, t.truth.cols);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> off(-0.2 * cell, 0.2 * cell);
    Quad start = truth;
    for (Point& c : start) c.x += off(rng), c.y += off(rng);
    Quad placed{};
    const CellReading r = ReadCellsByLabels(PictureView(View(t.picture), true), start, t.truth.rows,
                                            t.truth.cols, -1.0, placed);
    ASSERT_TRUE(r.ok) << r.fault;
    EXPECT_TRUE(Right(r, t.truth));
    for (int k = 0; k < 4; ++k) EXPECT_LE(Distance(placed[k], truth[k]), std::max(1.0, cell / 4.0)) << k;
  }
}

// A box drawn as a figure whose black cells are the ring and one cell
// inside, or the ring and a whole line beside it (a frame thicker on one
// side), is not read by its colours, however clearly they show.
TEST(CellLabels, BoxesAreNotFigures) {
  for (int kind = 0; kind < 2; ++kind) {
    SCOPED_TRACE(kind == 0 ? "one mark inside" : "a thick side");
    vxgen::FigureParams p = Hard(4);
    p.noise = 6;
    p.black.assign(static_cast<std::size_t>(p.rows) * p.cols, false);
    for (int i = 0; i < p.rows; ++i)
      for (int j = 0; j < p.cols; ++j)
        p.black[i * p.cols + j] =
            i == 0 || j == 0 || i == p.rows - 1 || j == p.cols - 1 || (kind == 0 ? i == 5 && j == 5 : j == 1);
    const vxgen::TestPicture t = vxgen::Render(p);
    Quad placed{};
    EXPECT_FALSE(ReadCellsByLabels(PictureView(View(t.picture), true), Corners(t.truth), t.truth.rows,
                                   t.truth.cols, -1.0, placed)
                     .ok);
  }
}

TEST(CellLabels, FigureBeyondThePictureIsRefused) {
  const vxgen::TestPicture t = vxgen::Render(Hard(2));
  const PictureView picture(View(t.picture), true);
  Quad q = Corners(t.truth);
  for (Point& c : q) c.x -= q[0].x + 4.0;  // the left side 4 pixels beyond the picture's edge
  Quad placed{};
  EXPECT_FALSE(ReadCellsByLabels(picture, q, t.truth.rows, t.truth.cols, -1.0, placed).ok);
}

}  // namespace
}  // namespace vx::reader
