// Cells read from their fitted levels: on small cells under strong blur the
// central window of a lone white cell among black ones reads half gray;
// the fitted level has the blur taken out.
#include <gtest/gtest.h>

#include <string>

#include "reader/cells.h"
#include "tools/test_picture.h"

namespace vx::reader {
namespace {

IMG View(const vxgen::Picture& p) {
  return IMG{const_cast<unsigned char*>(p.bgr.data()), p.width, p.width * 3, p.height, 1, 0};
}

Quad Corners(const vxgen::Truth& t) {
  Quad q{};
  for (int k = 0; k < 4; ++k) q[k] = {t.corners[k].x, t.corners[k].y};
  return q;
}

bool Right(const CellReading& r, const vxgen::Truth& t) {
  if (!r.ok) return false;
  for (std::size_t k = 0; k < r.black.size(); ++k)
    if (static_cast<bool>(r.black[k]) != static_cast<bool>(t.black[k])) return false;
  return true;
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
