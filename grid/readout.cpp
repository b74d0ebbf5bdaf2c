// Black/white verdicts from measured cells: a cell is black exactly when its
// value is greater than the threshold, so a value equal to it, and a value
// that is not a number, read as white.
#include "grid/grid_arrays.h"
#include "vexolith/grid.h"

namespace {

bool IsBlack(double value, double threshold) { return value > threshold; }

}  // namespace

int GRID::ReturnBlackCells(double threshold) {
  if (!vx::HasCells(*this)) return 0;
  int count = 0;
  for (int j = 0; j < columns; ++j) {
    for (int i = 0; i < rows; ++i) count += IsBlack(cells[vx::CellIndex(*this, i, j)], threshold) ? 1 : 0;
  }
  return count;
}

void GRID::ReturnGrid(double threshold, bool& out) {
  if (!vx::HasCells(*this)) return;
  bool* flags = &out;
  // Column by column, each column from row 0 down: the order of `cells`.
  for (int j = 0; j < columns; ++j) {
    for (int i = 0; i < rows; ++i) {
      const std::size_t at = vx::CellIndex(*this, i, j);
      flags[at] = IsBlack(cells[at], threshold);
    }
  }
}

void GRID::ReturnGrid1(double threshold, bool& out) {
  if (!vx::HasCells(*this)) return;
  bool* flags = &out;
  // Row by row, each row from its last column to its first.
  std::size_t n = 0;
  for (int i = 0; i < rows; ++i) {
    for (int j = columns - 1; j >= 0; --j) flags[n++] = IsBlack(cells[vx::CellIndex(*this, i, j)], threshold);
  }
}
