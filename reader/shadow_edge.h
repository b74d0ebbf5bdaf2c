// A straight shadow's edge across the page, found on the search plane and
// taken out of it.
//
// The paper's light taken as a closing of the plane (Flatten) is right
// wherever lit paper lies near. Beside a sharp shadow, though, a block of
// lit ink can be lighter than the shaded paper next to it; the closing then
// takes the block's light from that paper and the block reads as paper,
// cutting the figure along the shadow's edge. A shadow cast by something
// straight (a sheet, a ruler, the camera's own body) leaves a long straight
// step across the page with one ratio of light on paper and on ink alike.
// Such a step is found by its straightness and length, and the shaded side
// is lifted by the ratio, after which ink reads as ink on both sides.
#pragma once

#include "reader/plane.h"

namespace vx::reader {

struct ShadowEdge {
  // The edge's line: nx x + ny y = rho, (nx, ny) a unit normal pointing to
  // the lit side.
  double nx = 0.0, ny = 0.0, rho = 0.0;
  double depth = 0.0;  // log of the lit side's light over the shaded side's, 8 pixels either side
  double full = 0.0;   // the same past a soft edge's ramp: the largest step out to 32 pixels
  double ramp = 8.0;   // how far either side the step first comes within a tenth of `full`, pixels
};

// The edge found on a plane reduced `factor` fold, on the picture's pixels.
ShadowEdge ScaledUp(const ShadowEdge& edge, int factor);

// Finds a straight step in the light running at least half the plane's
// shorter side, with the same ratio along three quarters of its length
// inside the plane. False when there is none.
bool FindShadowEdge(const Plane& plane, ShadowEdge& edge);

// The plane with the shaded side of `edge` brightened by its depth, the
// lift easing in over `ramp` pixels each side of the line (the edge's blur).
Plane LiftShadow(const Plane& plane, const ShadowEdge& edge, double ramp);

}  // namespace vx::reader
