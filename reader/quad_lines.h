// A quadrilateral from the straight runs of a region's outer boundary.
//
// A figure joined to specks of noise, to a shadow's dark wedge at a corner
// or to the picture's edge has an outline that is no quadrilateral, yet
// most of its four sides still run straight along the figure's edges: the
// longest straight lines through the boundary are found one after another
// (each the line through two boundary points that most others lie on), and
// the four that close the best-covered convex quadrilateral are its sides.
#pragma once

#include <vector>

#include "reader/components.h"
#include "reader/geometry.h"

namespace vx::reader {

// Fits the boundary (pixel centres, in order) of a region on a plane of
// width x height; boundary pixels on the plane's edge are left out (the
// picture's edge is no side). On success `quad` is the region's outer edge
// (half a pixel outside the pixel centres), clockwise as seen. False when
// no four lines close a convex quadrilateral whose sides they each cover
// over most of its length.
bool FitQuadByLines(const std::vector<PixelPoint>& boundary, int width, int height, Quad& quad);

}  // namespace vx::reader
