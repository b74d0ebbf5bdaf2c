#include "tools/raster.h"

#include <algorithm>
#include <cmath>

namespace vxgen {
namespace {

// Half the diagonal of a pixel: a centre farther than this from every edge
// leaves the pixel wholly on one side.
constexpr double kHalfDiagonal = 0.7072;

// The pixel rows and columns a set of points (plus a pixel) can touch.
struct Box {
  int x0, y0, x1, y1;  // inclusive; empty when x0 > x1 or y0 > y1
};

template <std::size_t N>
Box Bounds(const std::array<Pt, N>& q, const Plane& plane) {
  double minx = q[0].x, maxx = minx, miny = q[0].y, maxy = miny;
  for (const Pt& p : q) {
    minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
    miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  }
  // Clamped in double first, so far-off shapes cannot overflow the int cast.
  auto lo = [](double v, int n) { return static_cast<int>(std::clamp(std::floor(v) - 1.0, 0.0, n + 1.0)); };
  auto hi = [](double v, int n) { return static_cast<int>(std::clamp(std::ceil(v) + 1.0, -1.0, n - 1.0)); };
  return {lo(minx, plane.width), lo(miny, plane.height), hi(maxx, plane.width), hi(maxy, plane.height)};
}

// True where the figure is dark at cell coordinates (cu, cv), cells of unit size.
bool IsInk(double cu, double cv, int rows, int cols, double half_line, const std::vector<bool>& cells) {
  if (!(cu >= 0.0 && cu < cols && cv >= 0.0 && cv < rows)) return false;
  const int c = static_cast<int>(cu), r = static_cast<int>(cv);
  if (cells[static_cast<std::size_t>(r) * cols + c]) return true;
  return std::fabs(cu - std::round(cu)) < half_line || std::fabs(cv - std::round(cv)) < half_line;
}

// Signed distances to the sides of a convex quadrilateral, positive inside.
struct Sides {
  double a[4], b[4], c[4];  // a x + b y + c, (a, b) a unit normal

  explicit Sides(const std::array<Pt, 4>& q) {
    const double area = vxcli::TwiceSignedArea(q);
    const double sign = area >= 0.0 ? 1.0 : -1.0;
    for (int i = 0; i < 4; ++i) {
      const Pt& p = q[i];
      const Pt& n = q[(i + 1) % 4];
      const double len = std::hypot(n.x - p.x, n.y - p.y);
      const double inv = len > 0.0 ? sign / len : 0.0;
      // Inside a clockwise-as-seen outline lies to the right of each side: (-dy, dx).
      a[i] = -(n.y - p.y) * inv;
      b[i] = (n.x - p.x) * inv;
      c[i] = -(a[i] * p.x + b[i] * p.y);
    }
  }
  double Nearest(double x, double y) const {
    double d = a[0] * x + b[0] * y + c[0];
    for (int i = 1; i < 4; ++i) d = std::min(d, a[i] * x + b[i] * y + c[i]);
    return d;
  }
};

double SidesCover(const Sides& s, int x, int y) {
  const double d = s.Nearest(x, y);
  if (d >= kHalfDiagonal) return 1.0;
  if (d <= -kHalfDiagonal) return 0.0;
  int hits = 0;
  for (int sy = 0; sy < kSupersample; ++sy)
    for (int sx = 0; sx < kSupersample; ++sx)
      hits += s.Nearest(x - 0.5 + (sx + 0.5) / kSupersample, y - 0.5 + (sy + 0.5) / kSupersample) >= 0.0;
  return hits / double(kSupersample * kSupersample);
}

}  // namespace

void PaintFigure(Plane& plane, const std::array<Pt, 4>& quad, int rows, int cols, double line,
                 const std::vector<bool>& cells) {
  const Box box = Bounds(quad, plane);
  if (box.x0 > box.x1 || box.y0 > box.y1) return;
  Homography inv = Homography::FromSquare(quad).Inverse();
  // Work in cell units: u * cols, v * rows.
  for (int k = 0; k < 3; ++k) inv.m[k] *= cols, inv.m[3 + k] *= rows;
  const double* m = inv.m;
  auto cell_at = [&](double x, double y) {
    const double w = m[6] * x + m[7] * y + m[8];
    return Pt{(m[0] * x + m[1] * y + m[2]) / w, (m[3] * x + m[4] * y + m[5]) / w};
  };
  // How far, in cells, a pixel's footprint reaches from its centre. The map's
  // scale is largest at a corner of the box (its denominator is linear), so
  // the corners bound it; the 1.25 covers the step between them.
  double ru = 0.0, rv = 0.0;
  for (const double x : {box.x0 - 1.0, box.x1 + 1.0}) {
    for (const double y : {box.y0 - 1.0, box.y1 + 1.0}) {
      const Pt c = cell_at(x, y), dx = cell_at(x + 0.5, y), dy = cell_at(x, y + 0.5);
      ru = std::max(ru, std::fabs(dx.x - c.x) + std::fabs(dy.x - c.x));
      rv = std::max(rv, std::fabs(dx.y - c.y) + std::fabs(dy.y - c.y));
    }
  }
  ru *= 1.25, rv *= 1.25;
  const double half_line = line / 2;
  for (int y = box.y0; y <= box.y1; ++y) {
    float* row = plane.Row(y);
    double nu = m[0] * box.x0 + m[1] * y + m[2], nv = m[3] * box.x0 + m[4] * y + m[5],
           nw = m[6] * box.x0 + m[7] * y + m[8];
    for (int x = box.x0; x <= box.x1; ++x, nu += m[0], nv += m[3], nw += m[6]) {
      const double cu = nu / nw, cv = nv / nw;
      if (cu < -ru || cv < -rv || cu > cols + ru || cv > rows + rv) continue;
      double cover;
      if (std::fabs(cu - std::round(cu)) > half_line + ru &&
          std::fabs(cv - std::round(cv)) > half_line + rv) {
        cover = IsInk(cu, cv, rows, cols, half_line, cells) ? 1.0 : 0.0;
      } else {
        int hits = 0;
        for (int sy = 0; sy < kSupersample; ++sy) {
          for (int sx = 0; sx < kSupersample; ++sx) {
            const Pt c = cell_at(x - 0.5 + (sx + 0.5) / kSupersample, y - 0.5 + (sy + 0.5) / kSupersample);
            hits += IsInk(c.x, c.y, rows, cols, half_line, cells);
          }
        }
        cover = hits / double(kSupersample * kSupersample);
      }
      row[x] *= static_cast<float>(1.0 - cover);
    }
  }
}

void PaintQuad(Plane& plane, const std::array<Pt, 4>& quad) {
  const Box box = Bounds(quad, plane);
  const Sides sides(quad);
  for (int y = box.y0; y <= box.y1; ++y) {
    float* row = plane.Row(y);
    for (int x = box.x0; x <= box.x1; ++x) {
      const double cover = SidesCover(sides, x, y);
      if (cover > 0.0) row[x] *= static_cast<float>(1.0 - cover);
    }
  }
}

double QuadCover(const std::array<Pt, 4>& quad, int x, int y) { return SidesCover(Sides(quad), x, y); }

}  // namespace vxgen
