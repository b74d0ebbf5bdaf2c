// How a grid's two arrays are sized, and when a grid has cells at all.
#pragma once

#include <cstddef>

#include "vexolith/grid.h"

namespace vx {

// Sizes of a grid's arrays: rows + columns + 3 line records and
// rows * columns + 100 cell values. The spare tail of each is never used.
struct GridArraySizes {
  bool usable;        // false: a count below 1, or an index that would not fit in an int
  std::size_t lines;  // F_LINE records in `lines`
  std::size_t cells;  // doubles in `cells`
};

GridArraySizes ArraySizesFor(int rows, int columns);

// A grid has cells when its counts were usable and both arrays could be had;
// every operation tests this before it touches either array.
inline bool HasCells(const GRID& grid) { return grid.lines != nullptr && grid.cells != nullptr; }

// Position of the cell in row i, column j: the array runs column by column.
inline std::size_t CellIndex(const GRID& grid, int i, int j) {
  return static_cast<std::size_t>(j) * static_cast<std::size_t>(grid.rows) + static_cast<std::size_t>(i);
}

}  // namespace vx
