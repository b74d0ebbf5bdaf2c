// Second looks at a figure whose cells ReadCells refused for no decisive
// reason. Each is one more chance for a reading to pass by luck, so each
// asks more than the first look does.
//
// Where blur spreads each cell into its neighbours on cells of a few
// pixels, the central window reads a lone white cell among black ones half
// gray: the levels fitted cell by cell under the blur (grid_fit.h) have the
// spread taken out. Where noise as well keeps the levels from telling the
// cells apart, the colours that best explain the picture (cell_labels.h)
// weigh every pixel of each cell and its neighbours' blur at once, and
// place the corners by the drawing they give (label_register.h).
#pragma once

#include <vector>

#include "reader/cells.h"
#include "reader/geometry.h"
#include "reader/plane.h"

namespace vx::reader {

// Reads the cells from the figure's levels fitted under its blur,
// (rows + 2) x (cols + 2) with the paper ring: each cell's level stands for
// its gray, the paper ring's for the strip beside the ring. It stands only
// with cells of both colours and a clearer margin than a first look needs.
// The fit takes the blur out, not the noise: where the picture's noise is a
// fifth of the ring's contrast or more, the reading is refused.
CellReading ReadCellsFromLevels(const PictureView& picture, const Quad& seen, int rows, int cols,
                                double fixed_threshold, const std::vector<double>& levels);

// The same on levels fitted here, under the blur that fits best.
CellReading ReadCellsByFit(const PictureView& picture, const Quad& seen, int rows, int cols,
                           double fixed_threshold);

// Reads the cells by their colours, labelled where the figure is seen and
// again where the labelled drawing places its corners; `placed` gets those
// corners. It stands only where every corner is placed within its allowance
// (a quarter cell, at least a pixel), the chance that any cell is wrong is
// under 0.2% by the odds the misfit gives, at least two inner cells are of
// each colour (a box with a mark in it is not a figure), and the checks of
// ReadCells hold on the labelled levels.
CellReading ReadCellsByLabels(const PictureView& picture, const Quad& seen, int rows, int cols,
                              double fixed_threshold, Quad& placed);

}  // namespace vx::reader
