// Anti-aliased drawing of test-picture shapes into a plane of reflectance
// (1 paper, 0 ink). A pixel wholly inside or outside a shape is settled by
// one test at its centre; only pixels an edge may cross are supersampled
// (4 x 4), which keeps drawing fast on large pictures.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "tools/camera.h"

namespace vxgen {

// Reflectance per pixel, top-down rows; pixel centres at whole coordinates.
struct Plane {
  int width = 0;
  int height = 0;
  std::vector<float> v;  // width * height values, 1 paper .. 0 ink

  Plane(int w, int h) : width(w), height(h), v(static_cast<std::size_t>(w) * h, 1.0f) {}
  float* Row(int y) { return v.data() + static_cast<std::size_t>(y) * width; }
};

// Samples per pixel side where an edge may cross the pixel.
inline constexpr int kSupersample = 4;

// The figure whose unit square maps onto `quad` (top-left, top-right,
// bottom-right, bottom-left of the figure itself): rows x cols cells,
// `cells` row-major (true black), thin dark lines `line` cells wide between
// them.
void PaintFigure(Plane& plane, const std::array<Pt, 4>& quad, int rows, int cols, double line,
                 const std::vector<bool>& cells);

// A dark convex quadrilateral, corners in outline order (either direction).
void PaintQuad(Plane& plane, const std::array<Pt, 4>& quad);

// Share of the pixel at (x, y) that `quad` covers, by the same supersampling
// (for tests: the covered area of a shape is known exactly).
double QuadCover(const std::array<Pt, 4>& quad, int x, int y);

}  // namespace vxgen
