// Connected black regions of a binary plane and their outer boundaries.
// Linear in the number of pixels, with no limit on a region's size.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/plane.h"

namespace vx::reader {

struct PixelPoint {
  int x;
  int y;
};

// One 8-connected region of black pixels.
struct Region {
  int area = 0;                                // black pixels
  int left = 0, top = 0, right = 0, bottom = 0;  // bounding box, inclusive
  PixelPoint first{};                          // its first pixel in row order (on the outer boundary)
};

// The labelled plane: label of every pixel (0 white, n > 0 region n - 1).
struct Labels {
  int width = 0;
  int height = 0;
  std::vector<std::int32_t> id;
  std::vector<Region> regions;
};

// Labels the black pixels (non-zero) of `binary` by 8-connectivity.
Labels LabelRegions(const Plane& binary);

// The outer boundary of region `index`: its pixels that touch the outside,
// in order around the region (clockwise as seen), starting at its first pixel.
std::vector<PixelPoint> TraceOuterBoundary(const Labels& labels, int index);

}  // namespace vx::reader
