// Corners to sub-pixel precision on the gray picture: each side of a rough
// outline is found again where the light outside turns to the dark border,
// on short profiles across it, and the corners are the crossings of the
// refitted sides.
#pragma once

#include "reader/geometry.h"
#include "reader/plane.h"

namespace vx::reader {

// Refines a convex outline (picture pixels, any direction). `reach` is how
// far, in pixels, the true edge may lie from the rough one; `cell` the
// figure's cell side, pixels. Sides with too few clear profiles keep their
// rough line. Returns false (outline unchanged) when the refitted outline
// is not convex or moved a corner by more than the profiles span. `doubt`
// gets how far each corner may be from its place, pixels, from the scatter
// of the edge points about the sides and from any bend in them beyond what
// that scatter explains (`unfound` for a side not found again, whose rough
// line stands).
bool RefineEdges(const PictureView& picture, Quad& outline, double reach, double cell, double unfound,
                 std::array<double, 4>& doubt);

// True when a corner of `outline` (with `doubt` from RefineEdges) may lie
// further from its place than a quarter of the cell side met at that corner
// (at least a pixel; a doubt of 3 pixels or less is allowed a quarter more):
// `seen` is the same outline in reading order (top-left first) for a figure
// of rows x cols cells.
// The cell side met at corner j of `seen` (top-left first): the shorter of
// the corner cell's two sides along the outline, through the figure's map,
// so a corner seen from afar in a tilted view gets its own, smaller cell.
double CornerCell(const Quad& seen, int rows, int cols, int j);

bool CornersInDoubt(const Quad& outline, const std::array<double, 4>& doubt, const Quad& seen, int rows,
                    int cols);

}  // namespace vx::reader
