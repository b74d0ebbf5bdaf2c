// A figure's corners placed by its cells' colours.
//
// Once every cell's colour is told (cell_labels.h), the drawing of the
// figure has no free level left: each edge between cells of different
// colours, inside the figure and round it, pins the grid, and a misplaced
// grid cannot be made up for by levels that follow it. The corners are
// moved to where the drawing fits the picture best, by Gauss-Newton steps
// on the eight coordinates, and the misfit's spread says how well that
// places them.
#pragma once

#include <array>

#include "reader/cell_labels.h"
#include "reader/geometry.h"
#include "reader/grid_fit.h"
#include "reader/light.h"
#include "reader/plane.h"

namespace vx::reader {

struct LabelPlacing {
  bool ok = false;                // false when the fit failed or wandered more than half a cell
  Quad seen{};                    // the corners, top-left first, picture pixels
  std::array<double, 4> doubt{};  // how far each corner may be from its place, pixels (3 standard errors)
};

// Places the corners of the figure seen at `seen`, its levels fitted as
// `fit`, its light `light` and its cells labelled `labels` there.
LabelPlacing PlaceByLabels(const PictureView& picture, const Quad& seen, int rows, int cols,
                           const GridFit& fit, const Light& light, const CellLabels& labels);

}  // namespace vx::reader
