// Small plane geometry of the reader: lines, crossings, quadrilaterals and
// the projective map of the unit square onto a figure.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "vexolith/reader.h"

namespace vx::reader {

using vexolith::Point;
using Quad = std::array<Point, 4>;  // corners in outline order

// A line through `point` along the unit vector `dir`.
struct Line {
  Point point;
  Point dir;
};

// Signed distance of p from the line, positive to the right of `dir` as seen.
inline double SignedDistance(const Line& l, Point p) {
  return (p.x - l.point.x) * -l.dir.y + (p.y - l.point.y) * l.dir.x;
}

inline double Distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Orthogonal least squares: the line through the centroid along the
// principal axis. False for fewer than 2 points.
bool FitLine(const std::vector<Point>& pts, Line& line);

// Crossing of two lines; false when they are nearly parallel.
bool Cross(const Line& a, const Line& b, Point& out);

// Twice the signed area; positive when the outline runs clockwise as seen.
double TwiceSignedArea(const Quad& q);

// The side of the mean cell of a figure of rows x cols cells with corners
// `q`, pixels.
double MeanCellPixels(const Quad& q, int rows, int cols);

// True when the outline turns the same way at all four corners.
bool IsConvex(const Quad& q);

// Shortest and longest side.
double ShortestSide(const Quad& q);
double LongestSide(const Quad& q);

// True when p lies inside the quadrilateral (convex, either direction).
bool Contains(const Quad& q, Point p);

// The corners as seen: top-left, top-right, bottom-right, bottom-left. The
// outline is put clockwise as seen; the top edge is the edge whose direction
// points most nearly to the right; on an exact tie (a figure turned 45
// degrees) the edge starting higher wins.
Quad SeenCorners(const Quad& outline);

// The projective map taking (u, v) of the unit square (u right, v down) to a
// quadrilateral given as top-left, top-right, bottom-right, bottom-left.
class Homography {
 public:
  explicit Homography(const Quad& corners);
  Point Apply(double u, double v) const {
    const double w = m_[6] * u + m_[7] * v + m_[8];
    return {(m_[0] * u + m_[1] * v + m_[2]) / w, (m_[3] * u + m_[4] * v + m_[5]) / w};
  }
  // (u, v) of the picture point p: the inverse map, through the adjugate.
  Point Unapply(Point p) const;

 private:
  double m_[9];
};

}  // namespace vx::reader
