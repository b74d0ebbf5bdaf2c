// A last look for a figure across a shadow's edge, on the picture with the
// shadow taken out.
//
// Where shaded paper is as dark as lit ink, every black-and-white version
// of the picture may join the figure to the shadow or cut it along the
// edge, and the light the cells are read against must be fitted round an
// edge that may cross the figure anywhere. A straight edge across the whole
// page is found on the working plane (sharp, or soft on a coarser one) and
// divided out of the picture at full size; on what is left the figure is
// an ordinary one. But the lift is known only as well as the edge's step,
// and its seam may cross cells and sides: a figure found there must have
// cells of 6 pixels or more, has its corners placed again by its whole
// grid, and stands only where its cells,
// read again on the picture itself against the light fitted round it, read
// the same.
#pragma once

#include <vector>

#include "reader/plane.h"
#include "reader/search.h"
#include "vexolith/reader.h"

namespace vx::reader {

// The picture in gray at full size with the straight shadow's edge seen on
// its plane reduced `factor` fold taken out; empty when there is none.
Plane LiftedPicture(const PictureView& picture, int factor);

// Searches the lifted picture at reduction `factor` and, while nothing
// stands, at twice and four times it, and appends to `found` the figures
// that stand (no filled blocks). Nothing when the picture has no straight
// shadow's edge.
void SearchLifted(const PictureView& picture, int factor, const vexolith::ReaderOptions& options,
                  std::vector<Accepted>& found);

}  // namespace vx::reader
