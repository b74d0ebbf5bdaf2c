// What a camera and the light do to a drawn page: paper and ink levels,
// uneven light and a shadow, blur, noise, and the 8-bit colour picture.
#pragma once

#include <cstdint>

#include "tools/raster.h"
#include "tools/test_picture.h"

namespace vxgen {

// Light over the picture, as factors on the page's gray level.
struct Light {
  double paper = 235.0;      // gray level of paper in full light
  double ink = 30.0;         // gray level of ink in full light
  double fall = 0.0;         // light falls by this share from one end of `fall_span` to the other
  Pt fall_from{0, 0};        // where the fall starts (full light) ...
  Pt fall_dir{1, 0};         // ... the unit direction it runs in ...
  double fall_span = 1.0;    // ... and the distance, in pixels, over which it reaches `fall`
  double shadow = 0.0;       // the shadowed side is darker by this share (0 .. 0.5)
  Pt shadow_at{0, 0};        // a point on the shadow's edge
  Pt shadow_normal{1, 0};    // unit normal of the edge, pointing into the shadow
  double shadow_soft = 0.0;  // width of the edge's ramp in pixels (below 1: sharp)
};

// Gray levels from reflectance under `light`, then a Gaussian blur of
// `blur` pixels (sigma), then noise of `noise` gray levels (sigma, the same
// on the three channels, so the gray picture sees it whole) from `seed`,
// with a faint warm tint; rounded to bytes.
Picture Spoil(Plane& plane, const Light& light, double blur, double noise, std::uint64_t seed);

// Separable Gaussian blur in place, edges clamped (exposed for tests).
void GaussianBlur(Plane& plane, double sigma);

}  // namespace vxgen
