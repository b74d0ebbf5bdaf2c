// The marked picture: the figure's outline, the grid and a cross over every
// black cell, drawn over the picture for a person to check the reading.
#pragma once

#include <array>
#include <vector>

#include "cli/seen_orientation.h"
#include "vexolith.h"

namespace vxcli {

// Draws into a 24-bit top-down picture. corners: top-left, top-right,
// bottom-right, bottom-left in its pixels. The grid lines follow the
// figure's perspective, as the grid that measured the cells does; lines
// are thickened to about 1/400 of the picture's shorter side so they stay
// visible on large pictures.
void DrawMarked(IMG picture, const std::array<Pt, 4>& corners, int rows, int cols,
                const std::vector<bool>& black);

// The point at (u, v) of the figure under its perspective, u across from
// the left side (0) to the right side (1) and v down from the top side (0)
// to the bottom side (1).
Pt FigurePoint(const std::array<Pt, 4>& corners, double u, double v);

}  // namespace vxcli
