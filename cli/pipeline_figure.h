// Choosing the figure among the black regions of a binary image and finding
// its four corners.
#pragma once

#include <array>
#include <string>

#include "cli/seen_orientation.h"
#include "vexolith.h"

namespace vxcli {

// The chosen figure.
struct Figure {
  bool found = false;           // false: no region passed the checks
  std::string fault;            // why nothing was found, when found is false
  std::array<Pt, 4> outline{};  // the figure's edge: corners in outline order (the finder's p1, p3, p2, p4)
  int region = -1;              // index of the region in the contour store
  bool store_full = false;      // the search stopped at the store's 10000 regions
  unsigned int largest = 0;     // pixels of the largest region of the image
  int candidates = 0;           // regions that were large enough to be tried
  bool refined = false;         // true when the corner finder's fitted side lines gave the rough corners
  bool sides_fitted = false;    // true when the sides were refitted to the boundary pixels
};

// The region fill keeps at most 20000 pending pixels, which it reaches after
// about 40000 pixels of a solid region; a region of 20000 pixels or more may
// therefore have been cut into pieces.
inline constexpr unsigned int kRegionMayBeCut = 20000;

// Smallest figure, in pixels along either side of its bounding box, that is
// tried at all: below that the cells would be a pixel or two across.
inline constexpr int kMinFigurePixels = 12;

// The figure in an 8-bit binary image (black 0, white 255), found among its
// black regions by this rule: the regions are tried from the most pixels
// down (at most 12 of them, each at least kMinFigurePixels across). A
// region's rough corners come from the corner finder; its sides are then
// refitted to its boundary pixels (FitSides), or, when that fails, the rough
// outline is moved out by half a pixel to the figure's edge. The region
// qualifies when its outline is a plausible quadrilateral: convex, no side
// shorter than a fifth of the longest, at least 97% of its pixels inside the
// outline widened by 1.5 pixels, and its bounding box within 3 pixels + 5%
// of the outline's. Of the qualifying regions the one whose outline has the
// largest area is the figure.
Figure FindFigure(const IMG& binary);

// Area of a quadrilateral in outline order, in square pixels.
double QuadArea(const std::array<Pt, 4>& q);

// True when the outline turns the same way at all four corners.
bool IsConvex(const std::array<Pt, 4>& q);

// The outline moved outward by `d` pixels on every side (corners moved along
// their two sides' normals). Region pixels are centred on whole coordinates
// while the figure's edge runs along their outer border, half a pixel further out.
std::array<Pt, 4> Expand(const std::array<Pt, 4>& q, double d);

}  // namespace vxcli
