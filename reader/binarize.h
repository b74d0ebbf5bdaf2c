// Black-and-white versions of the search plane. Black is 1, white 0. The
// figure is looked for in several of them: one level for the whole picture
// finds figures in even light; local means at a few window sizes find them
// under shadows, falling light and low contrast.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/plane.h"

namespace vx::reader {

// The level that best separates dark from light (Otsu: the largest variance
// between the two classes) among the gray values up to `top`. Gray values at
// or below it are dark.
int OtsuLevel(const Plane& plane, int top = 255);

// Summed-area table of a plane, (width + 1) x (height + 1) entries. Sums are
// kept modulo 2^32: a box's sum is a difference of four entries, exact as
// long as the box itself sums below 2^32 (any box under 16 million pixels).
class Integral {
 public:
  explicit Integral(const Plane& plane);
  // Sum over x0 <= x < x1, y0 <= y < y1 (clipped by the caller).
  std::uint32_t Box(int x0, int y0, int x1, int y1) const {
    const std::size_t w = static_cast<std::size_t>(width_) + 1;
    return s_[y1 * w + x1] - s_[y0 * w + x1] - s_[y1 * w + x0] + s_[y0 * w + x0];
  }

 private:
  int width_;
  std::vector<std::uint32_t> s_;
};

// Black where gray <= level.
Plane ThresholdGlobal(const Plane& plane, int level);

// Black where gray < (mean of the window x window square around the pixel,
// cut at the plane's edges) - offset.
Plane ThresholdLocal(const Plane& plane, const Integral& sums, int window, int offset);

// Black where gray <= (m + 128) / 2, m the mean of the pixel's square of the
// block x block tiling: the level follows the light halfway to mid-gray.
Plane ThresholdBlock(const Plane& plane, const Integral& sums, int block);

// The plane divided by the level of the paper under each pixel, scaled so
// paper is 255: the paper level is the plane's closing (largest value over a
// window x window square, then the smallest of those), which takes away
// every dark thing narrower than the window and keeps the steps of a shadow
// edge where they are. Ink reads as its share of the paper's light, alike on
// both sides of a shadow edge.
Plane Flatten(const Plane& plane, int window);

// A black-and-white plane with white gaps narrower than `width` pixels
// closed (black spread by the window, then taken back).
Plane CloseGaps(const Plane& binary, int width);

// A black-and-white plane with black strips narrower than `width` pixels
// taken away (black shrunk by the window, then spread back). The window
// does not look beyond the plane's edges: pad the plane with white to take
// away strips along them too.
Plane OpenStrips(const Plane& binary, int width);

}  // namespace vx::reader
