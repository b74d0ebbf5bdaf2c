// How a quadrilateral figure is read "as a person sees it": which corner is
// the top-left one and which way the rows run. The command and the test
// picture generator both use this rule, so the generator's expected answer
// and the command's reading agree by construction.
//
// The figure has no orientation mark, so the rule uses only the corners, in
// top-down picture coordinates (x to the right, y down, pixel centres at
// whole numbers):
//  1. Put the corners in outline order running clockwise as seen.
//  2. The top edge is the edge whose direction is closest to "pointing right"
//     (the largest x component of its unit vector). Its start is the
//     top-left corner; the outline then gives top-right, bottom-right and
//     bottom-left.
//  3. Two edges tie only when the figure is turned exactly 45 degrees (plus
//     a multiple of 90); then the edge whose start is higher (smaller y)
//     wins, so a diamond's top corner is its top-left.
// Rows are the bands of cells stacked from the top edge to the bottom edge,
// columns the bands from the left edge to the right edge.
#pragma once

#include <array>
#include <cmath>

namespace vxcli {

// A point in top-down picture coordinates, in pixels.
struct Pt {
  double x;  // column, growing to the right
  double y;  // row, growing downward
};

// Twice the signed area of the outline a -> b -> c -> d; positive when the
// outline runs clockwise as seen (y grows downward).
inline double TwiceSignedArea(const std::array<Pt, 4>& q) {
  double sum = 0.0;
  for (int i = 0; i < 4; ++i) {
    const Pt& a = q[i];
    const Pt& b = q[(i + 1) % 4];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum;
}

// The same outline running clockwise as seen, starting at the same corner.
inline std::array<Pt, 4> Clockwise(const std::array<Pt, 4>& q) {
  if (TwiceSignedArea(q) >= 0.0) return q;
  return {q[0], q[3], q[2], q[1]};
}

// Index (0..3) of the top-left corner in a clockwise outline.
inline int SeenTopLeft(const std::array<Pt, 4>& clockwise) {
  int best = 0;
  double best_score = -2.0;
  for (int k = 0; k < 4; ++k) {
    const Pt& a = clockwise[k];
    const Pt& b = clockwise[(k + 1) % 4];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    const double score = len > 0.0 ? (b.x - a.x) / len : -2.0;
    // 1e-9 keeps an exact 45-degree tie from being decided by rounding noise.
    const bool tie = std::fabs(score - best_score) <= 1e-9;
    if (score > best_score + 1e-9 || (tie && a.y < clockwise[best].y)) {
      best = k;
      best_score = score;
    }
  }
  return best;
}

// Corners in outline order (either direction, any start) as top-left,
// top-right, bottom-right, bottom-left.
inline std::array<Pt, 4> SeenCorners(const std::array<Pt, 4>& outline) {
  const std::array<Pt, 4> cw = Clockwise(outline);
  const int k = SeenTopLeft(cw);
  return {cw[k], cw[(k + 1) % 4], cw[(k + 2) % 4], cw[(k + 3) % 4]};
}

// Degrees from the nearest angle where the rule is ambiguous (45 + k * 90)
// for a figure turned by `degrees`; below about 3 the reading may flip.
inline double DegreesFromAmbiguity(double degrees) {
  const double m = std::fmod(std::fmod(degrees - 45.0, 90.0) + 90.0, 90.0);
  return m < 45.0 ? m : 90.0 - m;
}

}  // namespace vxcli
