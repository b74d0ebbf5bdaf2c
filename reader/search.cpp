#include "reader/search.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "reader/binarize.h"
#include "reader/cell_checks.h"
#include "reader/components.h"
#include "reader/edges.h"
#include "reader/grid_register.h"
#include "reader/quad_fit.h"
#include "reader/quad_lines.h"
#include "reader/second_looks.h"
#include "reader/shadow_edge.h"
#include "reader/soft_shadow.h"

namespace vx::reader {
namespace {

using vexolith::Binarize;

// Smallest figure tried, in working pixels along its bounding box.
constexpr int kMinFigure = 12;
// Regions tried per binarization, largest first: the figure is among the
// larger dark things of any picture it can be read from.
constexpr std::size_t kMaxRegions = 40;
// Regions per binarization tried again with thin strips cut off, and the
// widest strip cut, working pixels.
constexpr std::size_t kOpenedRegions = 4;
constexpr int kBridge = 5;
// A reading at least this confident ends the search early.
constexpr double kConfident = 0.55;
// Candidates per look whose corners the whole grid places again: each
// costs some fifty fits of the figure's model (0.1-0.5 s on figures of up
// to 16 x 16 cells), so a picture full of dark marks that fail as figures
// must not take them all.
constexpr int kMostPlacings = 8;
// A reading of an outline fitted by the straight runs of its region's
// boundary is taken only this confident (every inner cell 0.2 from the
// threshold).
constexpr double kLinesConfidence = 0.4;
// A placing that holds only for compression's coarser noise (not tight)
// may have settled a little off; it may move no corner further than this
// share of its cell (at least a pixel) from where the sides put it.
constexpr double kLooseMove = 0.2;
// A reading on corners the whole grid placed is taken below this
// confidence (every inner cell 0.17 from the threshold) only when the
// cells' fitted levels bear it out; one on a plane whose soft shadow was
// lifted is not taken below it at all.
constexpr double kPlacedConfidence = 0.34;

// A working-plane point in picture pixels (pixel centres at whole numbers).
Point ToPicture(Point p, int factor) { return {(p.x + 0.5) * factor - 0.5, (p.y + 0.5) * factor - 0.5}; }

// True when two outlines are the same figure: centres close and sizes alike.
bool SameFigure(const Quad& a, const Quad& b) {
  Point ca{0, 0}, cb{0, 0};
  for (int k = 0; k < 4; ++k) ca.x += a[k].x / 4, ca.y += a[k].y / 4, cb.x += b[k].x / 4, cb.y += b[k].y / 4;
  const double sa = std::sqrt(std::fabs(TwiceSignedArea(a)) / 2),
               sb = std::sqrt(std::fabs(TwiceSignedArea(b)) / 2);
  return Distance(ca, cb) < 0.08 * std::max(sa, sb) && std::min(sa, sb) > 0.85 * std::max(sa, sb);
}

// True when every corner of `a` lies within `tolerance` of one of `b`'s,
// taken in turn from any start.
bool SameCorners(const Quad& a, const Quad& b, double tolerance) {
  for (int s = 0; s < 4; ++s) {
    bool all = true;
    for (int k = 0; k < 4 && all; ++k) all = Distance(a[k], b[(k + s) % 4]) <= tolerance;
    if (all) return true;
  }
  return false;
}

// Number of binarizations tried for the options.
int BinarizationCount(const vexolith::ReaderOptions& options) {
  return options.binarize == Binarize::kAuto ? 11 : 1;
}

// Binarization number `b` of the plane: for kAuto first one level for the
// picture, then local means over windows of a quarter, a twelfth and a
// 36th of the shorter side, against an offset above the noise, then the
// level splitting the dark side of the first once more. A shadow on white
// paper brings it down towards the ink: the first level then takes the
// shaded paper for dark, and every local mean does near the shadow's edge,
// joining it to the figure; the second level parts ink from shaded paper.
// Then one level for the plane divided by its paper's light (Flatten) over
// windows of a half and a fifth of the shorter side, which sees ink on both
// sides of a sharp shadow edge alike. Where lit ink is as dark as shaded
// paper, the light there is taken from the shaded side and a thin white
// seam opens along the edge inside the ink; closing gaps of a 60th of the
// shorter side joins the figure again. Where the seam is wider (a large
// block of ink on the lit side, whose light the closing takes from the
// shaded paper) and cuts the figure's outline, a further try closes gaps of
// a 40th on the finer flattening. (Wider still merges the figure with the
// shadow's dark wedges at its corners and misplaces them.) Last, where a
// straight shadow's edge runs across the picture, its shaded side is lifted
// by the edge's step before the finer flattening: the closing cannot give
// a block of lit ink beside shaded paper its light, the step can. An empty
// plane is returned when there is no such edge. A shadow's edge too soft
// to show as a step (a penumbra tens of pixels wide) is found on a coarser
// plane and the light across it divided out; the lift leaves the shaded
// side's noise larger, so the plane is smoothed once more and specks
// narrower than 3 pixels are taken off the split. Last of all, the lifted
// plane of the straight edge flattened over half the shorter side: a
// figure of wide cells filling much of the picture has no paper within the
// finer window over its ink, which that flattening takes for paper. `fine`
// keeps the finer flattening's split between its two uses, `lifted` the
// lifted plane between its two (empty when the plane has no such edge).
Plane Binarization(int b, const Plane& plane, const Integral* sums, double noise,
                   const vexolith::ReaderOptions& options, Plane& fine, std::optional<Plane>& lifted) {
  const int shorter = std::min(plane.width, plane.height);
  const int square = std::max(8, shorter / 8);
  const int finer = std::max(7, shorter / 5) | 1;  // the finer flattening's window
  switch (options.binarize) {
    case Binarize::kGlobal:
      return ThresholdGlobal(plane, std::clamp(options.level, 0, 255));
    case Binarize::kLocal:
      return ThresholdLocal(plane, *sums, options.window > 0 ? options.window : (std::min(square, 25) | 1),
                            2);
    case Binarize::kBlock:
      return ThresholdBlock(
          plane, *sums, std::min({options.block > 0 ? options.block : square, plane.width, plane.height}));
    case Binarize::kAuto:
      break;
  }
  if (b == 0) return ThresholdGlobal(plane, OtsuLevel(plane));
  if (b == 4) return ThresholdGlobal(plane, OtsuLevel(plane, OtsuLevel(plane)));
  if (b == 8 || b == 10) {
    if (!lifted) {
      ShadowEdge edge;
      lifted = FindShadowEdge(plane, edge) ? LiftShadow(plane, edge, 3.0) : Plane();
    }
    if (lifted->width == 0) return Plane();
    const Plane flat = Flatten(*lifted, b == 8 ? finer : std::max(7, shorter / 2) | 1);
    return CloseGaps(ThresholdGlobal(flat, OtsuLevel(flat)), std::max(3, shorter / 60) | 1);
  }
  if (b == 9) {
    SoftShadow shadow;
    if (!FindSoftShadow(plane, shadow)) return Plane();
    const Plane flat = Flatten(BoxSmooth(LiftSoftShadow(plane, shadow)), finer);
    return CloseGaps(OpenStrips(ThresholdGlobal(flat, OtsuLevel(flat)), 3), std::max(3, shorter / 60) | 1);
  }
  if (b == 5) {
    const Plane flat = Flatten(plane, std::max(7, shorter / 2) | 1);
    return CloseGaps(ThresholdGlobal(flat, OtsuLevel(flat)), std::max(3, shorter / 60) | 1);
  }
  if (b == 6 || b == 7) {
    // The finer flattening, split once for both gap widths.
    if (fine.width == 0) {
      const Plane flat = Flatten(plane, finer);
      fine = ThresholdGlobal(flat, OtsuLevel(flat));
    }
    return CloseGaps(fine, std::max(3, shorter / (b == 7 ? 40 : 60)) | 1);
  }
  static constexpr int kDivisors[3] = {4, 12, 36};
  const int offset = std::max(3, static_cast<int>(std::lround(2.0 * noise)));
  return ThresholdLocal(plane, *sums, std::max(7, shorter / kDivisors[b - 1]) | 1, offset);
}

// The outline can hold rows x cols cells: its width-to-height ratio within a
// factor 2.5 of cols : rows (a camera tilted 55 degrees shortens one way by
// 0.57, perspective a little more), and cells at least 2 pixels a side.
bool ShapeFits(const Quad& seen, int rows, int cols) {
  const double top = Distance(seen[0], seen[1]), bottom = Distance(seen[3], seen[2]);
  const double left = Distance(seen[0], seen[3]), right = Distance(seen[1], seen[2]);
  const double ratio = ((top + bottom) / cols) / ((left + right) / rows);
  if (!(ratio > 0.4 && ratio < 2.5)) return false;
  return std::min(top, bottom) / cols >= 2.0 && std::min(left, right) / rows >= 2.0;
}

// The outline of region `index` with the dark strips narrower than `width`
// taken off, the largest part left: a figure joined by a thin bridge (noise
// frays its paper margin, shaded paper at the picture's edge) to another
// dark thing or to the picture's edge comes apart from it. The picture's
// edge counts as white, so a strip along it goes too.
bool FitOpened(const Labels& labels, int index, int width, Quad& quad) {
  const Region& g = labels.regions[index];
  const int x0 = g.left - width, y0 = g.top - width;
  Plane mask(g.right - g.left + 1 + 2 * width, g.bottom - g.top + 1 + 2 * width);
  for (int y = g.top; y <= g.bottom; ++y) {
    const std::int32_t* id = &labels.id[static_cast<std::size_t>(y) * labels.width];
    std::uint8_t* row = mask.Row(y - y0);
    for (int x = g.left; x <= g.right; ++x) row[x - x0] = id[x] == index + 1;
  }
  const Labels parts = LabelRegions(OpenStrips(mask, width));
  int largest = -1;
  for (int i = 0; i < static_cast<int>(parts.regions.size()); ++i)
    if (largest < 0 || parts.regions[i].area > parts.regions[largest].area) largest = i;
  if (largest < 0 || !FitQuad(TraceOuterBoundary(parts, largest), quad)) return false;
  for (Point& p : quad) p.x += x0, p.y += y0;
  return true;
}

// True when the whole grid, placed again from `seen`, moves a corner
// further than half as much again as its side's doubt (at least a pixel).
// Where the grid cannot be placed tightly (a shadow's edge across it, the
// picture's edge, the coarser noise of compression) it cannot disagree.
bool GridDisagrees(const PictureView& picture, const Quad& outline, const std::array<double, 4>& doubt,
                   const Quad& seen, int rows, int cols) {
  const Registration placed = RegisterGrid(picture, seen, rows, cols, true);
  if (!placed.ok) return false;
  for (int j = 0; j < 4; ++j)
    for (int k = 0; k < 4; ++k)
      if (outline[k].x == seen[j].x && outline[k].y == seen[j].y &&
          Distance(placed.seen[j], seen[j]) > std::max(1.0, 1.5 * doubt[k]))
        return true;
  return false;
}

}  // namespace

void SearchAt(const PictureView& picture, int factor, const vexolith::ReaderOptions& options, bool stop_early,
              std::vector<Accepted>& found, std::string& fault, std::vector<Quad>& others,
              std::vector<Quad>& in_doubt) {
  Plane plane = ReduceToGray(picture, factor);
  if (plane.width < kMinFigure || plane.height < kMinFigure) return;
  double noise = NoiseSigma(plane);
  if (noise > 4.0) {
    plane = BoxSmooth(plane);
    noise = NoiseSigma(plane);
  }
  // The summed-area table serves the local and block thresholds only; the
  // first search, with one level for the picture, goes without it.
  std::unique_ptr<Integral> sums;
  Plane fine;                   // the finer flattening split, kept for its second gap width
  std::optional<Plane> lifted;  // the plane lifted across a shadow's edge, kept for its second window
  // Outlines tried already, and whether each was refused as part of a
  // larger figure (what one binarization left of a figure cut along a
  // shadow's edge: another may show it whole).
  struct Tried {
    Quad quad;
    bool part;
  };
  std::vector<Tried> tried, tried_lines;
  int placings = 0;
  const bool working = factor == ReductionFactor(picture.width(), picture.height(), options.max_side);
  for (int b = 0; b < BinarizationCount(options); ++b) {
    const bool global =
        options.binarize == Binarize::kGlobal || (options.binarize == Binarize::kAuto && (b == 0 || b >= 4));
    if (!global && !sums) sums = std::make_unique<Integral>(plane);
    const Plane binary = Binarization(b, plane, sums.get(), noise, options, fine, lifted);
    if (binary.width == 0) continue;
    const Labels labels = LabelRegions(binary);
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(labels.regions.size()); ++i) {
      const Region& g = labels.regions[i];
      if (g.right - g.left + 1 >= kMinFigure && g.bottom - g.top + 1 >= kMinFigure) order.push_back(i);
    }
    auto box = [&](int i) {
      const Region& g = labels.regions[i];
      return static_cast<double>(g.right - g.left + 1) * (g.bottom - g.top + 1);
    };
    std::sort(order.begin(), order.end(), [&](int a, int c) { return box(a) > box(c); });
    if (order.size() > kMaxRegions) order.resize(kMaxRegions);
    // What only the lifted plane shows may be of the lift's own making (a
    // figure's side taken for a shadow's edge): it is no evidence of another
    // dark thing beside a filled block.
    const bool evidence = b < 8;
    // The coarser looks run where noise frays every outline at the working
    // size. A soft shadow's ramp running along a side there moves its edge
    // further than the side's doubt says, which the lifted plane hides:
    // such a reading stands only where the whole grid agrees.
    const bool checked_by_grid = b == 9 && !working;
    // Takes a reading whose cells' spread does not put it in doubt.
    auto take = [&](const Quad& at, CellReading&& cells) {
      if (ExpectedWrongCells(cells.values, cells.black, options.rows, options.cols) >= kMostWrongCells) {
        if (fault.empty()) fault = "cells not clearly black or white";
        return false;
      }
      found.push_back({at, std::move(cells), std::fabs(TwiceSignedArea(at)) / 2.0});
      return true;
    };
    // Places the corners of a candidate by its whole grid and reads it
    // there; true when the reading was taken. Each new place is one more
    // chance for a reading to pass by luck: one with less than a clear
    // margin (kPlacedConfidence) must be borne out by the cells' fitted
    // levels too.
    auto read_placed_by_grid = [&](const Quad& seen) {
      if (placings >= kMostPlacings) return false;
      ++placings;
      const Registration placed = RegisterGrid(picture, seen, options.rows, options.cols);
      if (!PlacedWell(placed, options.rows, options.cols)) return false;
      if (!placed.tight)
        for (int j = 0; j < 4; ++j)
          if (Distance(placed.seen[j], seen[j]) >
              std::max(1.0, kLooseMove * CornerCell(seen, options.rows, options.cols, j)))
            return false;
      CellReading cells = ReadCells(picture, placed.seen, options.rows, options.cols, options.threshold);
      // The placing's own levels, the blur taken out, read the cells where
      // their windows cannot; only where the grid holds tightly and places
      // every corner within half the doubt it is otherwise allowed, for a
      // placing barely within that doubt may be off by more than it says.
      bool sure = placed.tight;
      for (int j = 0; j < 4; ++j)
        if (placed.doubt[j] >
            0.5 * std::max(1.0, CornerCell(placed.seen, options.rows, options.cols, j) / 4.0))
          sure = false;
      if (!cells.ok && !cells.decisive && sure)
        cells = ReadCellsFromLevels(picture, placed.seen, options.rows, options.cols, options.threshold,
                                    placed.levels);
      Quad at = placed.seen;
      if (!cells.ok && !cells.decisive)
        cells = ReadCellsByLabels(picture, placed.seen, options.rows, options.cols, options.threshold, at);
      // Inner cells all one colour are what an outlined box shows too: a
      // new place is no evidence for such a reading.
      if (!cells.ok || cells.uniform) return false;
      if (!cells.labelled && cells.confidence < kPlacedConfidence &&
          !LevelsAgree(placed, cells.black, options.rows, options.cols))
        return false;
      return take(at, std::move(cells));
    };
    // Reads a candidate by its cells' colours, which place the corners
    // again themselves (counted against the same limit as the grid's
    // placings); true when the reading was taken. For cells spoiled by noise
    // as well as blur, or corners the sides leave in doubt.
    auto read_by_labels = [&](const Quad& seen) {
      if (placings >= kMostPlacings) return false;
      ++placings;
      Quad at = seen;
      CellReading labelled =
          ReadCellsByLabels(picture, seen, options.rows, options.cols, options.threshold, at);
      if (!labelled.ok) return false;
      return take(at, std::move(labelled));
    };
    auto try_outline = [&](Quad quad, bool by_lines = false) {
      for (Point& p : quad) p = ToPicture(p, factor);
      const double area = std::fabs(TwiceSignedArea(quad)) / 2.0;
      // A figure read already is not read again. An outline is not tried
      // again where one with every corner within a cell of it was (the
      // sides are found again from there), nor within a quarter cell of one
      // refused as part of a larger figure: another binarization may have
      // joined the figure to a shadow's dark side or cut it there, and the
      // outline it finds whole may lie within a cell of that one. Outlines
      // fitted by lines are kept apart: one refused must not keep the
      // region's own outline, found by another binarization, from a try.
      if (std::any_of(found.begin(), found.end(),
                      [&](const Accepted& a) { return SameFigure(a.seen, quad); }))
        return;
      const double mean_cell = std::sqrt(area / (double(options.rows) * options.cols));
      auto near_one = [&](const std::vector<Tried>& list) {
        return std::any_of(list.begin(), list.end(), [&](const Tried& t) {
          return SameCorners(t.quad, quad, std::max(1.5 * factor, t.part ? mean_cell / 4 : mean_cell));
        });
      };
      if (near_one(tried) || (by_lines && near_one(tried_lines))) return;
      std::vector<Tried>& into = by_lines ? tried_lines : tried;
      into.push_back({quad, false});
      if (evidence) others.push_back(quad);
      // The true edge lies within a working pixel or two of the region's,
      // but never further than a third of a cell.
      const double reach = std::min(std::max(2.0, 1.5 * factor), std::max(1.0, mean_cell / 3.0));
      std::array<double, 4> doubt{};
      // A side that cannot be found again (the picture's edge too near)
      // keeps the region's line: on the working plane at full size that
      // lies on the edge's pixels, on a reduced one it may be off by the
      // reach.
      RefineEdges(picture, quad, reach, mean_cell, factor > 1 ? reach : 0.0, doubt);
      const Quad seen = SeenCorners(quad);
      if (!ShapeFits(seen, options.rows, options.cols)) return;
      // A corner beyond the picture's edge cannot be checked.
      if (std::any_of(seen.begin(), seen.end(), [&](Point p) { return !picture.Inside(p.x, p.y, -0.5); })) {
        if (fault.empty()) fault = "the figure reaches outside the picture";
        return;
      }
      CellReading cells = ReadCells(picture, seen, options.rows, options.cols, options.threshold);
      // A reading refused for no decisive reason may be of corners placed
      // off by the sides' noise: the whole grid places them again.
      if (!cells.ok && !cells.decisive && cells.contrast > 0.0) {
        if (read_placed_by_grid(seen)) return;
        // Where blur, not the corners, spoils the cells: their levels with
        // the blur taken out.
        CellReading fitted = ReadCellsByFit(picture, seen, options.rows, options.cols, options.threshold);
        if (fitted.ok) {
          cells = std::move(fitted);
        } else if (read_by_labels(seen)) {
          // Where noise as well spoils them: their colours.
          return;
        }
      }
      if (!cells.ok) {
        if (cells.part) into.back().part = true;
        if (fault.empty()) fault = cells.fault;
        return;
      }
      // A shadow's edge as dark as the ink along a side puts shaded paper
      // where the side's profiles look for paper, and the side may be
      // placed off by the edge's blur: its corners are in doubt by a pixel
      // and a half.
      if (cells.edge_side >= 0)
        for (int j : {cells.edge_side, (cells.edge_side + 1) % 4})
          for (int k = 0; k < 4; ++k)
            if (quad[k].x == seen[j].x && quad[k].y == seen[j].y) doubt[k] = std::max(doubt[k], 1.5);
      // Corners placed no better than a quarter cell (edges scattered by
      // noise, or bent by a shadow's edge) may be right or not; such a
      // reading is not stood behind. Nor is one of corners each within a
      // quarter cell of corners left in doubt before; an outline further
      // from those (the first had a corner drawn off towards the picture's
      // edge, say) is judged on its own.
      const bool doubted_before = std::any_of(in_doubt.begin(), in_doubt.end(), [&](const Quad& q) {
        return SameCorners(q, seen, std::max(1.0, mean_cell / 4));
      });
      if (doubted_before || CornersInDoubt(quad, doubt, seen, options.rows, options.cols)) {
        // The whole grid may place the corners where the sides cannot.
        if (!doubted_before && read_placed_by_grid(seen)) return;
        // ... or, where the grid's own doubt is too wide to stand behind its
        // placing (cells of a few pixels), the cells' colours place them.
        if (!doubted_before && read_by_labels(seen)) return;
        in_doubt.push_back(seen);
        if (fault.empty()) fault = "the edges too ragged to place the corners";
        return;
      }
      // Lines may bridge whatever broke the region (a speck, a notch, a
      // shadow's wedge) or close a shape round something else: such an
      // outline's reading stands only with a clear margin and its corners
      // within half the doubt others are allowed.
      if (by_lines) {
        bool clear = cells.confidence >= kLinesConfidence;
        for (int j = 0; j < 4; ++j)
          for (int k = 0; k < 4; ++k)
            if (quad[k].x == seen[j].x && quad[k].y == seen[j].y &&
                doubt[k] > 0.5 * std::max(1.0, CornerCell(seen, options.rows, options.cols, j) / 4.0))
              clear = false;
        if (!clear) {
          if (fault.empty()) fault = "the edges too ragged to place the corners";
          return;
        }
      }
      // The lift is one more chance for a reading to pass by luck, and the
      // light it leaves across the ramp is known less well than elsewhere
      // (the straight edge's lift, too, on the wider flattening that comes
      // after every other look: a soft edge lifted as a sharp one bends a
      // small figure's side).
      if ((b == 9 || b == 10) && cells.confidence < kPlacedConfidence) {
        if (fault.empty()) fault = "cells not clearly black or white";
        return;
      }
      if (checked_by_grid && (placings++ >= kMostPlacings ||
                              GridDisagrees(picture, quad, doubt, seen, options.rows, options.cols))) {
        if (fault.empty()) fault = "the edges too ragged to place the corners";
        return;
      }
      take(seen, std::move(cells));
    };
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
      const int index = order[rank];
      const Region& g = labels.regions[index];
      Quad quad{};
      const std::vector<PixelPoint> boundary = TraceOuterBoundary(labels, index);
      const bool fits = FitQuad(boundary, quad);
      if (fits) {
        try_outline(quad);
      } else if (evidence) {
        others.push_back({ToPicture({double(g.left), double(g.top)}, factor),
                          ToPicture({double(g.right), double(g.top)}, factor),
                          ToPicture({double(g.right), double(g.bottom)}, factor),
                          ToPicture({double(g.left), double(g.bottom)}, factor)});
      }
      // The largest regions that are no quadrilateral, or run to the
      // plane's edge, are tried again with their thin strips cut off.
      const bool at_edge =
          g.left == 0 || g.top == 0 || g.right == plane.width - 1 || g.bottom == plane.height - 1;
      if (rank < kOpenedRegions && (!fits || at_edge) && FitOpened(labels, index, kBridge, quad))
        try_outline(quad);
      // ... and fitted by their straightest runs, at the working size (on the
      // coarser looks noise has frayed the runs the lines follow).
      if (working && rank < kOpenedRegions && (!fits || at_edge) &&
          FitQuadByLines(boundary, plane.width, plane.height, quad))
        try_outline(quad, true);
    }
    if (stop_early) {
      for (const Accepted& a : found)
        if (a.cells.confidence >= kConfident) return;
    }
  }
}

}  // namespace vx::reader
