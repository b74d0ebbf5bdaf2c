// The cell grid of code detection and its regions.
//
// The reduced picture is divided into 20 x 20 cells, each holding the number
// of border pixels in it. Cells with more than 10 are dense. A region is a
// 4-connected set of dense cells, widened by the non-empty cells next to it;
// its bounding box is kept when neither side is more than 1.8 times the other.
#pragma once

#include <array>

#include "vexolith/types.h"

namespace vx {

inline constexpr int kCodeGrid = 20;                      // cells per row and per column
inline constexpr int kCodeCells = kCodeGrid * kCodeGrid;  // numbered row by row
inline constexpr int kSeedBorderPixels = 10;              // a dense cell holds more than this
inline constexpr int kMaxCodeRegions = 200;               // no two seeds of different regions touch
inline constexpr double kMaxAspect = 1.8;                 // longer side over shorter side, at most

// Border-pixel counts per cell; a cell of region n is set to -(n + 1).
using CodeCells = std::array<int, kCodeCells>;

// Labels the regions of `cells` in index order of their first dense cell and
// writes the bounding boxes that pass the aspect test to rects (room for
// kMaxCodeRegions), in picture pixels: cell (c, r) covers columns
// [c * cell_width, (c + 1) * cell_width) and rows [r * cell_height,
// (r + 1) * cell_height). Returns the number written.
int CodeRegions(CodeCells& cells, int cell_width, int cell_height, RECT* rects);

}  // namespace vx
