// Projective maps for test pictures: the homography of the unit square onto
// a quadrilateral, and a pinhole camera looking at a flat page.
#pragma once

#include <array>
#include <cmath>
#include <numbers>

#include "cli/seen_orientation.h"

namespace vxgen {

using vxcli::Pt;

// The projective map of the unit square (u right, v down) onto a
// quadrilateral, and its inverse.
struct Homography {
  double m[9];  // row-major 3x3: x = (m0 u + m1 v + m2) / (m6 u + m7 v + m8), y likewise with m3..m5

  Pt Apply(double u, double v) const {
    const double w = m[6] * u + m[7] * v + m[8];
    return {(m[0] * u + m[1] * v + m[2]) / w, (m[3] * u + m[4] * v + m[5]) / w};
  }

  // Quad corners for u,v = (0,0), (1,0), (1,1), (0,1). A homography is fixed
  // by four points, so for a figure seen through a camera this is the
  // camera's own map of the figure, not an approximation of it.
  static Homography FromSquare(const std::array<Pt, 4>& q) {
    const double dx1 = q[1].x - q[2].x, dx2 = q[3].x - q[2].x, dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
    const double dy1 = q[1].y - q[2].y, dy2 = q[3].y - q[2].y, dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
    const double den = dx1 * dy2 - dx2 * dy1;
    const double g = (dx3 * dy2 - dx2 * dy3) / den;
    const double h = (dx1 * dy3 - dx3 * dy1) / den;
    return {{q[1].x - q[0].x + g * q[1].x, q[3].x - q[0].x + h * q[3].x, q[0].x, q[1].y - q[0].y + g * q[1].y,
             q[3].y - q[0].y + h * q[3].y, q[0].y, g, h, 1.0}};
  }

  // The adjugate: a scale of the inverse, which the division cancels.
  Homography Inverse() const {
    const double* a = m;
    return {{a[4] * a[8] - a[5] * a[7], a[2] * a[7] - a[1] * a[8], a[1] * a[5] - a[2] * a[4],
             a[5] * a[6] - a[3] * a[8], a[0] * a[8] - a[2] * a[6], a[2] * a[3] - a[0] * a[5],
             a[3] * a[7] - a[4] * a[6], a[1] * a[6] - a[0] * a[7], a[0] * a[4] - a[1] * a[3]}};
  }
};

// A camera over a flat page. Page points are in pixels about the page's
// centre (x right, y down as the page lies). The page is first turned by
// `turn` degrees counter-clockwise as seen, then tilted by `tilt` degrees
// about an axis in the page at `axis` degrees, and seen by a pinhole at
// `distance` pixels whose focal length equals that distance, so scale at the
// centre stays 1 and a shorter distance means stronger perspective.
class Camera {
 public:
  Camera(double turn, double tilt, double axis, double distance)
      : ca_(std::cos(turn * kRad)),
        sa_(std::sin(turn * kRad)),
        ct_(std::cos(tilt * kRad)),
        st_(std::sin(tilt * kRad)),
        kx_(std::cos(axis * kRad)),
        ky_(std::sin(axis * kRad)),
        d_(distance) {}

  Pt Project(Pt p) const {
    const double x = p.x * ca_ + p.y * sa_, y = -p.x * sa_ + p.y * ca_;
    // Rodrigues' turn of (x, y, 0) about the in-page axis (kx, ky, 0).
    const double dot = kx_ * x + ky_ * y;
    const double X = x * ct_ + kx_ * dot * (1.0 - ct_);
    const double Y = y * ct_ + ky_ * dot * (1.0 - ct_);
    const double Z = (kx_ * y - ky_ * x) * st_;
    const double s = d_ / (d_ + Z);
    return {X * s, Y * s};
  }

 private:
  static constexpr double kRad = std::numbers::pi / 180.0;
  double ca_, sa_, ct_, st_, kx_, ky_, d_;
};

}  // namespace vxgen
