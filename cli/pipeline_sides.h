// Sub-pixel sides of a figure: each side of a rough outline is refitted to
// the region's boundary pixels along it, and the corners are the crossings
// of neighbouring sides.
#pragma once

#include <array>

#include "cli/seen_orientation.h"
#include "vexolith.h"

namespace vxcli {

// Refits the outline of a region found in `binary` (black 0). A boundary
// pixel is a region pixel with a white 4-neighbour or on the image's edge.
// For each side, the boundary pixels within 2 pixels + 3% of the side's
// length of the rough side, and away from its ends by a tenth of the side,
// are fitted by orthogonal least squares; a second fit keeps the pixels
// within 1.2 pixels of the first. Boundary pixel centres lie inside the
// figure's edge by half a pixel on average along the nearer axis, so each
// fitted line is moved outward by 0.5 * max(|cos|, |sin|) of its direction:
// the result is the figure's edge, not its outermost pixel centres.
// Returns false (outline unchanged) when a side has fewer than 4 pixels or
// two neighbouring sides do not cross.
bool FitSides(const IMG& binary, const CONTOUR_ITEM& region, std::array<Pt, 4>& outline);

}  // namespace vxcli
