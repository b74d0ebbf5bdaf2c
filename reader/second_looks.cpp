#include "reader/second_looks.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "reader/cell_checks.h"
#include "reader/cell_labels.h"
#include "reader/edges.h"
#include "reader/grid_fit.h"
#include "reader/label_register.h"

namespace vx::reader {
namespace {

// Samples a cell along each side, at most, for the fitted levels.
constexpr int kFitSamples = 4;
// The margin a reading of fitted levels needs (confidence 0.33: every inner
// cell 0.165 from the threshold, the gap in the split 0.33).
constexpr double kFitConfidence = 0.33;
// Noise (sigma) at least this share of the ring's contrast, as the fitted
// levels give it, is left to the windows.
constexpr double kFitNoise = 0.2;
// The most chance, by the cells' odds, that a labelled cell is wrong.
constexpr double kMostDoubt = 0.002;
// The most doubt of a corner placed by the labels, for its allowance.
constexpr double kMostCornerDoubt = 1.0;
// The most misfit a labelled drawing may leave, for the noise between
// pixels: the samples, each a blend of up to four pixels, carry less noise
// than a pixel, and a drawing that holds leaves about half to two thirds of
// it. More says something is there the drawing does not hold (a shadow's
// edge the light misses, a box's thin frame).
constexpr double kMostScatter = 0.7;
// The fewest inner cells of each colour a labelled reading needs.
constexpr int kFewestOfEach = 2;
// How far a shadow's edge fitted round the figure may be off its true
// width, as a factor either way.
constexpr double kEdgeWidthDoubt = 2.0;

CellReading Refused(const char* fault) {
  CellReading r;
  r.fault = fault;
  return r;
}

// The figure's levels, its light and its cells' colours where it is seen at
// `at`; false when the colours cannot be told.
bool Label(const PictureView& picture, const Quad& at, int rows, int cols, GridFit& fit,
           std::optional<Light>& light, CellLabels& labels) {
  fit = FitGridAndBlur(picture, at, rows, cols, SamplesPerCell(MeanCellPixels(at, rows, cols), kFitSamples));
  if (!fit.ok) return false;
  // The ring's fitted levels stand for its gray levels in the light's fit.
  std::vector<double> gray(static_cast<std::size_t>(rows) * cols);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      gray[static_cast<std::size_t>(i) * cols + j] =
          fit.levels[static_cast<std::size_t>(i + 1) * (cols + 2) + j + 1];
  light.emplace(LightRound(picture, Homography(at), rows, cols, gray));
  labels = LabelCells(picture, at, rows, cols, fit, *light);
  return labels.ok;
}

// True when the cells keep the colours `labels` gives them, told again with
// the shadow's edge of `light` half and twice as wide.
bool ColoursHoldAcrossEdgeWidths(const PictureView& picture, const Quad& at, int rows, int cols,
                                 const GridFit& fit, const Light& light, const CellLabels& labels) {
  for (double soft : {light.soft() / kEdgeWidthDoubt, light.soft() * kEdgeWidthDoubt}) {
    const CellLabels again = LabelCells(picture, at, rows, cols, fit, light.WithSoftness(soft));
    if (!again.ok || again.black != labels.black) return false;
  }
  return true;
}

// True when every inner black cell lies on a line next to the ring that is
// black all along: a box whose frame is thicker on a side than the ring.
bool OnlyLinesAlongTheRing(const std::vector<unsigned char>& black, int rows, int cols) {
  auto at = [&](int i, int j) { return black[static_cast<std::size_t>(i) * cols + j] != 0; };
  bool line[4] = {true, true, true, true};  // row 1, column cols - 2, row rows - 2, column 1
  for (int j = 1; j + 1 < cols; ++j) line[0] = line[0] && at(1, j), line[2] = line[2] && at(rows - 2, j);
  for (int i = 1; i + 1 < rows; ++i) line[3] = line[3] && at(i, 1), line[1] = line[1] && at(i, cols - 2);
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j)
      if (at(i, j) && !((i == 1 && line[0]) || (j == cols - 2 && line[1]) || (i == rows - 2 && line[2]) ||
                        (j == 1 && line[3])))
        return false;
  return true;
}

}  // namespace

CellReading ReadCellsFromLevels(const PictureView& picture, const Quad& seen, int rows, int cols,
                                double fixed_threshold, const std::vector<double>& levels) {
  CellReading r = ReadCellsWithLevels(picture, seen, rows, cols, fixed_threshold, levels);
  // Where noise is what spoils the cells, the levels only follow it, and a
  // reading of them would be luck.
  if (r.ok && (r.uniform || r.confidence < kFitConfidence ||
               !(NoiseWithin(picture, seen) < kFitNoise * r.contrast))) {
    r.ok = false;
    r.fault = "cells not clearly black or white";
  }
  return r;
}

CellReading ReadCellsByFit(const PictureView& picture, const Quad& seen, int rows, int cols,
                           double fixed_threshold) {
  const GridFit fit = FitGridAndBlur(picture, seen, rows, cols,
                                     SamplesPerCell(MeanCellPixels(seen, rows, cols), kFitSamples));
  if (!fit.ok) return Refused("the figure's levels cannot be fitted");
  return ReadCellsFromLevels(picture, seen, rows, cols, fixed_threshold, fit.levels);
}

CellReading ReadCellsByLabels(const PictureView& picture, const Quad& seen, int rows, int cols,
                              double fixed_threshold, Quad& placed) {
  const char* unclear = "cells not clearly black or white";
  GridFit fit;
  std::optional<Light> light;
  CellLabels labels;
  if (!Label(picture, seen, rows, cols, fit, light, labels)) return Refused(unclear);
  const LabelPlacing placing = PlaceByLabels(picture, seen, rows, cols, fit, *light, labels);
  if (!placing.ok) return Refused(unclear);
  for (int j = 0; j < 4; ++j)
    if (placing.doubt[j] > kMostCornerDoubt * std::max(1.0, CornerCell(placing.seen, rows, cols, j) / 4.0))
      return Refused("the edges too ragged to place the corners");
  // The colours again where the drawing placed the figure.
  const Quad at = placing.seen;
  if (!Label(picture, at, rows, cols, fit, light, labels) || labels.doubt > kMostDoubt)
    return Refused(unclear);
  // JPEG smooths the noise between neighbouring pixels: the noise between
  // pixels two apart is taken where larger.
  if (labels.scatter > kMostScatter * std::max(NoiseWithin(picture, at, 1), NoiseWithin(picture, at, 2)))
    return Refused(unclear);
  int black = 0, inner = 0;
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j, ++inner) black += labels.black[static_cast<std::size_t>(i) * cols + j];
  if (black < kFewestOfEach || inner - black < kFewestOfEach) return Refused(unclear);
  if (OnlyLinesAlongTheRing(labels.black, rows, cols))
    return Refused("a frame thicker than one cell round white cells (an outlined box, not a figure)");
  CellReading r = ReadCellsWithLevels(picture, at, rows, cols, fixed_threshold, labels.levels);
  // The labels were drawn in the light fitted round the figure. Where that
  // light has a shadow's edge, the sides' levels carried across the figure
  // miss it and spread the labelled levels into each other: they are read
  // against the fitted light then. The edge's width is fitted to the paper
  // and ring round the figure, not to the cells, so such a reading stands
  // only where the colours do not hang on that width.
  if (!r.ok && !r.decisive) {
    CellReading lit = ReadCellsWithLevels(picture, at, rows, cols, fixed_threshold, labels.levels, true);
    if (lit.ok && ColoursHoldAcrossEdgeWidths(picture, at, rows, cols, fit, *light, labels))
      r = std::move(lit);
  }
  if (!r.ok) return r;
  if (r.uniform) return Refused(unclear);
  // The labelled levels are clean, and the reading of them as sure as its
  // levels' contrast: its confidence falls with the chance that a cell is
  // wrong, to what a second look must have at the most doubt allowed.
  r.confidence = std::max(kFitConfidence, std::min(r.confidence, 1.0 - labels.doubt / kMostDoubt));
  r.labelled = true;
  placed = at;
  return r;
}

}  // namespace vx::reader
