#include "reader/lifted_look.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "reader/cell_checks.h"
#include "reader/grid_register.h"
#include "reader/second_looks.h"
#include "reader/shadow_edge.h"
#include "reader/soft_shadow.h"

namespace vx::reader {
namespace {

// The smallest mean cell, pixels, of a figure found only on the lifted
// picture.
constexpr double kLeastLiftedCell = 6.0;

}  // namespace

Plane LiftedPicture(const PictureView& picture, int factor) {
  // The plane the search binarized: smoothed where it is noisy.
  Plane plane = ReduceToGray(picture, factor);
  if (NoiseSigma(plane) > 4.0) plane = BoxSmooth(plane);
  ShadowEdge edge;
  if (FindShadowEdge(plane, edge)) {
    // Lifted by the full step; a sharp edge, at its full step 8 pixels
    // out, eased in over 3 pixels either side, a soft one over as much more
    // as its ramp is wider.
    ShadowEdge full = ScaledUp(edge, factor);
    full.depth = edge.full;
    return LiftShadow(ReduceToGray(picture, 1), full, std::max(3.0, edge.ramp - 5.0) * factor);
  }
  SoftShadow soft;
  if (!FindSoftShadow(plane, soft)) return Plane();
  return LiftSoftShadow(ReduceToGray(picture, 1), soft, factor);
}

namespace {

// Whether a figure found on the lifted picture stands on the picture itself;
// if so its corners and cells are the ones given.
bool Stands(const PictureView& picture, const PictureView& lifted, const vexolith::ReaderOptions& options,
            Accepted& a) {
  // The lift is known to a pixel or so along its seam, which may move a
  // side by as much: on cells under 6 pixels that is more than the quarter
  // cell a corner may be off.
  const double cell = std::sqrt(a.area / (double(options.rows) * options.cols));
  if (a.cells.filled || cell < kLeastLiftedCell) return false;
  // The sides found on the lifted picture may be bent where the seam
  // crosses them; the grid, where it fits tightly, is not, and its corners
  // are the ones given. The cells are read on the picture at those and,
  // failing that, at the sides' (the light round the figure is fitted to
  // samples that move with the corners).
  std::vector<Quad> places{a.seen};
  const Registration placed = RegisterGrid(lifted, a.seen, options.rows, options.cols);
  if (placed.ok && placed.tight) places.insert(places.begin(), placed.seen);
  for (const Quad& at : places) {
    CellReading cells = ReadCells(picture, at, options.rows, options.cols, options.threshold);
    if (!cells.ok && !cells.decisive && cells.contrast > 0.0) {
      CellReading fitted = ReadCellsByFit(picture, at, options.rows, options.cols, options.threshold);
      if (fitted.ok) cells = std::move(fitted);
    }
    if (!cells.ok || cells.black != a.cells.black ||
        ExpectedWrongCells(cells.values, cells.black, options.rows, options.cols) >= kMostWrongCells)
      continue;
    a.seen = places.front();
    a.cells = std::move(cells);
    a.area = std::fabs(TwiceSignedArea(a.seen)) / 2.0;
    return true;
  }
  return false;
}

}  // namespace

void SearchLifted(const PictureView& picture, int factor, const vexolith::ReaderOptions& options,
                  std::vector<Accepted>& found) {
  const Plane lifted = LiftedPicture(picture, factor);
  if (lifted.width == 0) return;
  const IMG record{
      const_cast<unsigned char*>(lifted.px.data()), lifted.width, lifted.width, lifted.height, 1, 1};
  const PictureView view(record, true);
  // Searched at the working reduction and, where nothing stands there, at
  // twice and four times it: the lift multiplies the shaded side's noise by
  // its step, and a coarser pixel averages it down, as in the first search.
  for (const int at : {factor, 2 * factor, 4 * factor}) {
    if (at > factor && std::min(lifted.width, lifted.height) / at < 24) break;
    std::vector<Accepted> seen_there;
    std::string fault;
    std::vector<Quad> others, in_doubt;
    SearchAt(view, at, options, !options.all, seen_there, fault, others, in_doubt);
    bool any = false;
    for (Accepted& a : seen_there) {
      // What only a coarser look finds is taken with a clear margin, as
      // the first search takes it.
      if (at > factor && !a.cells.labelled && a.cells.confidence < kCoarserConfidence) continue;
      if (!Stands(picture, view, options, a)) continue;
      found.push_back(std::move(a));
      any = true;
    }
    if (any) return;
  }
}

}  // namespace vx::reader
