// A shadow's edge too soft to show as a step at the plane's own scale.
//
// A shadow cast from further off has a penumbra tens of pixels wide: beside
// it lit ink can still be lighter than shaded paper, as beside a sharp
// edge, but no step a few pixels across shows where it lies. On a plane
// reduced until the penumbra is a few pixels wide it is a step again, and
// found as one (FindShadowEdge). The light across the line is then read off
// the plane itself, as the paper's level at each distance from it, and
// divided out.
#pragma once

#include <vector>

#include "reader/plane.h"
#include "reader/shadow_edge.h"

namespace vx::reader {

struct SoftShadow {
  ShadowEdge edge;            // the line on the plane, its normal towards the lit side
  double first = 0.0;         // distance from the line of light[0]
  std::vector<double> light;  // the paper's level at each whole pixel of distance from `first` on
};

// Finds a straight shadow's edge on the plane reduced about 48-fold along
// its shorter side, and the paper's light across it. False when there is
// none.
bool FindSoftShadow(const Plane& plane, SoftShadow& shadow);

// The plane with the light across the shadow's edge divided out: each
// pixel scaled by the brightest light over the light at its distance.
// `factor`: the plane is that many times finer than the one the shadow was
// found on (the picture itself beside its reduced plane).
Plane LiftSoftShadow(const Plane& plane, const SoftShadow& shadow, int factor = 1);

}  // namespace vx::reader
