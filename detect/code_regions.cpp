// Region fill, one-pass widening, bounding boxes and the aspect test.
#include "detect/code_regions.h"

#include <algorithm>
#include <cstdint>

namespace vx {
namespace {

// The 4-neighbours of cell k inside the grid, in the order left, right, up,
// down, handed to visit(neighbour index).
template <class Visit>
inline void ForNeighbours(int k, Visit visit) {
  const int c = k % kCodeGrid, r = k / kCodeGrid;
  if (c > 0) visit(k - 1);
  if (c < kCodeGrid - 1) visit(k + 1);
  if (r > 0) visit(k - kCodeGrid);
  if (r < kCodeGrid - 1) visit(k + kCodeGrid);
}

// Breadth-first fill of the dense cells 4-connected to seed. Every cell is
// labelled as it enters the queue, so the queue never holds more than 400.
void Fill(CodeCells& cells, int seed, int label) {
  std::array<std::int16_t, kCodeCells> queue;
  int head = 0, tail = 0;
  cells[seed] = label;
  queue[tail++] = static_cast<std::int16_t>(seed);
  while (head < tail) {
    ForNeighbours(queue[head++], [&](int nb) {
      if (cells[nb] > kSeedBorderPixels) {
        cells[nb] = label;
        queue[tail++] = static_cast<std::int16_t>(nb);
      }
    });
  }
}

// One pass in index order: a labelled cell takes its non-empty neighbours.
// Neighbours taken to the right or below are visited later in the same pass
// and spread the label further; those to the left or above are not visited
// again. So a region grows along chains of non-empty cells that lead right
// and down, and by one ring of cells elsewhere. Cells of earlier regions are
// negative and stay theirs.
void Widen(CodeCells& cells, int label) {
  for (int k = 0; k < kCodeCells; ++k) {
    if (cells[k] != label) continue;
    ForNeighbours(k, [&](int nb) {
      if (cells[nb] > 0) cells[nb] = label;
    });
  }
}

RECT BoundingBox(const CodeCells& cells, int label, int cell_width, int cell_height) {
  RECT box{0, -1, 0, 0};  // top -1: no cell yet
  for (int k = 0; k < kCodeCells; ++k) {
    if (cells[k] != label) continue;
    const int c = k % kCodeGrid, r = k / kCodeGrid;
    const RECT cell{c * cell_width, r * cell_height, (c + 1) * cell_width, (r + 1) * cell_height};
    if (box.top == -1) {
      box = cell;
    } else {
      box = RECT{std::min(box.left, cell.left), std::min(box.top, cell.top), std::max(box.right, cell.right),
                 std::max(box.bottom, cell.bottom)};
    }
  }
  return box;
}

// Zero by zero passes: a grid too small for whole cells collapses every box.
bool RoughlySquare(const RECT& box) {
  const double w = box.right - box.left, h = box.bottom - box.top;
  return w <= kMaxAspect * h && h <= kMaxAspect * w;
}

}  // namespace

int CodeRegions(CodeCells& cells, int cell_width, int cell_height, RECT* rects) {
  int count = 0, regions = 0;
  for (int k = 0; k < kCodeCells; ++k) {
    if (cells[k] <= kSeedBorderPixels) continue;
    const int label = -(regions + 1);
    Fill(cells, k, label);
    Widen(cells, label);
    const RECT box = BoundingBox(cells, label, cell_width, cell_height);
    ++regions;
    // The count cannot pass kMaxCodeRegions; the test keeps the caller's
    // array safe should that reasoning ever be broken.
    if (RoughlySquare(box) && count < kMaxCodeRegions) rects[count++] = box;
  }
  return count;
}

}  // namespace vx
