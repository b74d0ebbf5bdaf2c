// The eight neighbours of a block in a block grid.
#pragma once

#include <array>

namespace vx {

// A rows x cols grid of blocks numbered row-major.
class BlockGrid {
 public:
  BlockGrid(int rows, int cols) : rows_(rows), cols_(cols) {}

  // The neighbours of block b in the order up-left, up, up-right, left,
  // right, down-left, down, down-right; -1 for those outside the grid.
  std::array<int, 8> Neighbours(int b) const {
    const int r = b / cols_, c = b % cols_;
    std::array<int, 8> out{};
    int n = 0;
    for (int k = 0; k < 9; ++k) {
      if (k == 4) continue;
      const int nr = r + k / 3 - 1, nc = c + k % 3 - 1;
      out[n++] = nr >= 0 && nr < rows_ && nc >= 0 && nc < cols_ ? nr * cols_ + nc : -1;
    }
    return out;
  }

 private:
  int rows_;
  int cols_;
};

}  // namespace vx
