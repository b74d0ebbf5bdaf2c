// Perspective of the figure: the projective map of the unit square onto the
// figure's four corners, and a grid whose cells follow it.
#pragma once

#include <array>

#include "cli/seen_orientation.h"
#include "vexolith.h"

namespace vxcli {

// The projective map taking (u, v) of the unit square (u right, v down) to
// a quadrilateral: (0, 0), (1, 0), (1, 1), (0, 1) go to its top-left,
// top-right, bottom-right and bottom-left corners.
class Perspective {
 public:
  explicit Perspective(const std::array<Pt, 4>& corners);
  Pt Apply(double u, double v) const;

 private:
  double m_[9];  // row-major 3 x 3 matrix of the map
};

// Builds the grid over the seen corners (top-left, top-right, bottom-right,
// bottom-left) with cells that shrink toward the far side as a picture taken
// at an angle shows them. The grid's spaced division takes a linear model of
// the cell size along each side; each model is fitted so that the cell
// boundaries it places along that side come as close as they can (least
// squares) to the boundaries under the perspective map. For a
// parallelogram every size is equal and the grid is the equal division.
void CreatePerspectiveGrid(GRID& grid, const std::array<Pt, 4>& seen);

}  // namespace vxcli
