// The cell-by-cell model of a figure and the corners it places: on drawn
// figures with known corners, the fit finds the cells' levels, the grid
// moved off its place comes back within its stated doubt, and a shadow's
// edge across the figure, which the model does not hold, is refused. On
// small cells under strong blur the central window of a lone white cell
// among black ones reads half gray; the cells' fitted levels, the blur
// taken out, read them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "reader/cells.h"
#include "reader/grid_fit.h"
#include "reader/grid_register.h"
#include "reader/second_looks.h"
#include "tests/reader/drawn_figures.h"
#include "tools/test_picture.h"

namespace vx::reader {
namespace {

// A small-celled figure, tilted, blurred and noisy: the sides of such
// figures place their corners no better than a quarter cell.
vxgen::FigureParams Noisy(std::uint32_t seed) {
  vxgen::FigureParams p;
  p.rows = 12, p.cols = 10, p.size = 70, p.angle = 20.0 * seed, p.tilt = 30, p.tilt_axis = 40.0 * seed;
  p.blur = 1.2, p.noise = 14, p.paper = 220, p.ink = 150, p.seed = seed;
  return p;
}

TEST(Homography, UnapplyUndoesApply) {
  const Homography map({Point{10, 20}, Point{110, 25}, Point{120, 140}, Point{5, 130}});
  for (double u : {0.0, 0.3, 1.0}) {
    for (double v : {0.0, 0.7, 1.0}) {
      const Point back = map.Unapply(map.Apply(u, v));
      EXPECT_NEAR(back.x, u, 1e-12) << u << "," << v;
      EXPECT_NEAR(back.y, v, 1e-12) << u << "," << v;
    }
  }
}

TEST(GridFit, LevelsOfACleanFigureAreItsInkAndPaper) {
  vxgen::FigureParams p;
  p.rows = 8, p.cols = 9, p.size = 120, p.angle = 10, p.blur = 0.8, p.paper = 230, p.ink = 30, p.seed = 3;
  const vxgen::TestPicture t = vxgen::Render(p);
  const PictureView picture(View(t.picture), true);
  ASSERT_EQ(t.truth.rows, p.rows);  // turned less than 45 degrees: rows as drawn
  const GridFit fit = FitGridAndBlur(picture, Corners(t.truth), p.rows, p.cols, 4);
  ASSERT_TRUE(fit.ok);
  for (int i = 0; i < p.rows; ++i) {
    for (int j = 0; j < p.cols; ++j) {
      SCOPED_TRACE("cell " + std::to_string(i) + "," + std::to_string(j));
      const double level = fit.levels[static_cast<std::size_t>(i + 1) * (p.cols + 2) + j + 1];
      EXPECT_NEAR(level, t.truth.black[i * p.cols + j] ? 30.0 : 230.0, 20.0);
    }
  }
  EXPECT_NEAR(fit.levels[0], 230.0, 10.0);  // the paper off the top-left corner
  EXPECT_NEAR(fit.lines, 30.0, 40.0);       // the thin lines are ink
  // The blur chosen is the drawn one with the pixels' own spread.
  EXPECT_GE(fit.sigma, 0.8);
  EXPECT_LE(fit.sigma, 1.6);
}

TEST(GridFit, FigureReachingOutOfThePictureIsRefused) {
  vxgen::FigureParams p;
  p.size = 100, p.seed = 2;
  const vxgen::TestPicture t = vxgen::Render(p);
  Quad q = Corners(t.truth);
  for (Point& c : q) c.x -= q[0].x + 5.0;  // the left side 5 pixels beyond the picture's edge
  EXPECT_FALSE(FitGrid(PictureView(View(t.picture), true), q, q, p.rows, p.cols, 1.0, 4).ok);
}

// Corners moved up to 0.15 cell off in any direction come back within a
// quarter cell (at least a pixel) and within the doubt stated for them.
TEST(GridRegister, CornersMovedOffComeBack) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const vxgen::FigureParams p = Noisy(seed);
    const vxgen::TestPicture t = vxgen::Render(p);
    const PictureView picture(View(t.picture), true);
    const Quad truth = Corners(t.truth);
    const double cell = CellPixels(truth, t.truth.rows, t.truth.cols);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> off(-0.15 * cell, 0.15 * cell);
    Quad start = truth;
    for (Point& c : start) c.x += off(rng), c.y += off(rng);
    const int rows = t.truth.rows, cols = t.truth.cols;  // as seen
    const Registration placed = RegisterGrid(picture, start, rows, cols);
    ASSERT_TRUE(placed.ok) << "misfit " << placed.misfit;
    EXPECT_TRUE(PlacedWell(placed, rows, cols));
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE("corner " + std::to_string(k));
      const double error = Distance(placed.seen[k], truth[k]);
      EXPECT_LE(error, std::max(1.0, cell / 4.0));
      EXPECT_LE(error, placed.doubt[k]);
    }
  }
}

// A sharp shadow's edge across the figure leaves a misfit beyond the noise
// between neighbouring pixels: the placing is not tight, and where only a
// tight one will do it is refused.
TEST(GridRegister, SharpShadowAcrossTheFigureIsNotTight) {
  vxgen::FigureParams p = Noisy(2);
  p.noise = 3;
  const vxgen::TestPicture lit = vxgen::Render(p);
  const Registration clear =
      RegisterGrid(PictureView(View(lit.picture), true), Corners(lit.truth), lit.truth.rows, lit.truth.cols);
  EXPECT_TRUE(clear.ok);
  EXPECT_TRUE(clear.tight);
  p.shadow = 0.5, p.shadow_soft = 0;
  const vxgen::TestPicture shaded = vxgen::Render(p);
  const PictureView picture(View(shaded.picture), true);
  const Quad truth = Corners(shaded.truth);
  EXPECT_FALSE(RegisterGrid(picture, truth, shaded.truth.rows, shaded.truth.cols).tight);
  EXPECT_FALSE(RegisterGrid(picture, truth, shaded.truth.rows, shaded.truth.cols, true).ok);
}

// JPEG at low quality smooths the noise, so neighbouring pixels differ by
// less than the noise the model's samples carry: a placing judged by that
// alone would fail. Judged by the noise between pixels two apart, it holds
// and puts the corners within a quarter cell.
TEST(GridRegister, CompressedNoiseIsJudgedOverTwoPixels) {
  int loose = 0;
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    vxgen::FigureParams p = Noisy(seed);
    p.jpeg = 40;
    const vxgen::TestPicture t = vxgen::Render(p);
    const Quad truth = Corners(t.truth);
    const double cell = CellPixels(truth, t.truth.rows, t.truth.cols);
    const Registration placed =
        RegisterGrid(PictureView(View(t.picture), true), truth, t.truth.rows, t.truth.cols);
    ASSERT_TRUE(placed.ok) << "misfit " << placed.misfit;
    loose += !placed.tight;
    for (int k = 0; k < 4; ++k) EXPECT_LE(Distance(placed.seen[k], truth[k]), std::max(1.0, cell / 4.0)) << k;
  }
  EXPECT_GT(loose, 0);  // some would have been refused on the neighbours' noise
}

// Cells of about 4.5 pixels, tilted, under a blur of 0.35 cell.
vxgen::FigureParams Blurred(std::uint32_t seed) {
  vxgen::FigureParams p;
  p.rows = 14, p.cols = 12, p.size = 64, p.angle = 9.0 * seed, p.tilt = 35, p.tilt_axis = 25.0 * seed;
  p.blur = 1.6, p.noise = 2, p.paper = 220, p.ink = 100, p.seed = seed;
  return p;
}

TEST(FittedCells, SmallCellsUnderBlurReadWhereTheWindowCannot) {
  int window = 0;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const vxgen::TestPicture t = vxgen::Render(Blurred(seed));
    const PictureView picture(View(t.picture), true);
    const Quad seen = Corners(t.truth);
    window += Right(ReadCells(picture, seen, t.truth.rows, t.truth.cols, -1.0), t.truth);
    EXPECT_TRUE(Right(ReadCellsByFit(picture, seen, t.truth.rows, t.truth.cols, -1.0), t.truth));
  }
  EXPECT_LT(window, 10);  // the central window reads no more than a few of the 12
}

// Where noise rather than blur spoils the cells, the levels only follow it:
// no reading of them is stood behind, right or wrong.
TEST(FittedCells, NoisyCellsAreLeftToTheWindows) {
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    vxgen::FigureParams p = Blurred(seed);
    p.noise = 28, p.blur = 0.8, p.size = 120;  // noise near a quarter of the paper-ink gap
    const vxgen::TestPicture t = vxgen::Render(p);
    const CellReading r = ReadCellsByFit(PictureView(View(t.picture), true), Corners(t.truth), t.truth.rows,
                                         t.truth.cols, -1.0);
    EXPECT_FALSE(r.ok) << "seed " << seed;
  }
}

// A second look stands behind no figure whose inner cells are all one
// colour (an outlined box reads so), nor levels of the wrong shape.
TEST(FittedCells, UniformFiguresAndBadLevelsAreRefused) {
  vxgen::FigureParams p = Blurred(3);
  p.blur = 0.5;
  p.black.assign(static_cast<std::size_t>(p.rows) * p.cols, false);
  for (int i = 0; i < p.rows; ++i)
    for (int j = 0; j < p.cols; ++j)
      if (i == 0 || j == 0 || i == p.rows - 1 || j == p.cols - 1) p.black[i * p.cols + j] = true;
  const vxgen::TestPicture t = vxgen::Render(p);
  const PictureView picture(View(t.picture), true);
  const Quad seen = Corners(t.truth);
  ASSERT_TRUE(ReadCells(picture, seen, t.truth.rows, t.truth.cols, -1.0).uniform);  // read at a first look
  EXPECT_FALSE(ReadCellsByFit(picture, seen, t.truth.rows, t.truth.cols, -1.0).ok);
  EXPECT_FALSE(ReadCellsFromLevels(picture, seen, t.truth.rows, t.truth.cols, -1.0, {1.0, 2.0}).ok);
}

}  // namespace
}  // namespace vx::reader
