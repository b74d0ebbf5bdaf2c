// A quadrilateral from a region's outer boundary: four corners by distance
// (the point farthest from the centre, the one farthest from it, and the
// farthest from their chord on either arc), every arc checked to be straight,
// then each side refitted to its arc's middle by least squares.
#pragma once

#include <vector>

#include "reader/components.h"
#include "reader/geometry.h"

namespace vx::reader {

// Fits the boundary (pixel centres, in order). On success `quad` is the
// region's outer edge in outline order (half a pixel outside the boundary
// pixel centres). False when the boundary is not a convex four-sided shape
// with straight sides (a blob, a text stroke, a ragged cluster).
bool FitQuad(const std::vector<PixelPoint>& boundary, Quad& quad);

}  // namespace vx::reader
