// GRID lifecycle: construction, copying, release, and access to the inner lines.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "grid/grid_arrays.h"
#include "vexolith/grid.h"

namespace vx {

GridArraySizes ArraySizesFor(int rows, int columns) {
  // Counts below 1 give a grid without cells. Above that, every index the
  // grid forms (a cell j * rows + i, a line rows + columns - 3, a flag of the
  // readouts) is an int, so both array lengths must stay within int range;
  // larger counts, such as 2^20 x 2^20, also give a grid without cells.
  if (rows < 1 || columns < 1) return {false, 0, 0};
  std::int64_t lines = static_cast<std::int64_t>(rows) + columns + 3;
  std::int64_t cells = static_cast<std::int64_t>(rows) * columns + 100;
  if (lines > INT_MAX || cells > INT_MAX) return {false, 0, 0};
  return {true, static_cast<std::size_t>(lines), static_cast<std::size_t>(cells)};
}

}  // namespace vx

namespace {

// Zero-filled arrays: a fresh grid reads as zero lines (dir 0) and zero cell
// values instead of leftover memory. calloc leaves a large block untouched
// until it is used and reports failure with null instead of throwing.
void AllocateArrays(int rows, int columns, F_LINE** lines, double** cells) {
  *lines = nullptr;
  *cells = nullptr;
  vx::GridArraySizes sizes = vx::ArraySizesFor(rows, columns);
  if (!sizes.usable) return;
  auto* new_lines = static_cast<F_LINE*>(std::calloc(sizes.lines, sizeof(F_LINE)));
  auto* new_cells = static_cast<double*>(std::calloc(sizes.cells, sizeof(double)));
  if (new_lines == nullptr || new_cells == nullptr) {
    // A grid that cannot hold its cells becomes a grid without cells.
    std::free(new_lines);
    std::free(new_cells);
    return;
  }
  *lines = new_lines;
  *cells = new_cells;
}

}  // namespace

GRID::GRID(int row_count, int column_count)
    : rows(row_count), columns(column_count), corners{}, sides{}, lines(nullptr), cells(nullptr) {
  AllocateArrays(rows, columns, &lines, &cells);
}

GRID::~GRID() {
  std::free(lines);
  std::free(cells);
}

GRID& GRID::operator=(const GRID& source) {
  if (this == &source) return *this;
  F_LINE* new_lines = nullptr;
  double* new_cells = nullptr;
  if (vx::HasCells(source)) {
    AllocateArrays(source.rows, source.columns, &new_lines, &new_cells);
    if (new_lines != nullptr) {
      vx::GridArraySizes sizes = vx::ArraySizesFor(source.rows, source.columns);
      std::memcpy(new_lines, source.lines, sizes.lines * sizeof(F_LINE));
      std::memcpy(new_cells, source.cells, sizes.cells * sizeof(double));
    }
  }
  std::free(lines);
  std::free(cells);
  rows = source.rows;
  columns = source.columns;
  corners = source.corners;
  for (int s = 0; s < 4; ++s) sides[s] = source.sides[s];
  lines = new_lines;
  cells = new_cells;
  return *this;
}

F_LINE GRID::GetLine(int n) {
  // Only the inner lines 0 .. rows + columns - 3 are reachable. Any other n,
  // or a grid without cells, gives a zeroed line whose dir 0 no operation
  // takes for a line, instead of a read outside the array.
  if (!vx::HasCells(*this) || n < 0 || n > rows + columns - 3) return F_LINE{0, 0, 0.0, 0.0};
  return lines[n];
}
