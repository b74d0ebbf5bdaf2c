// Straight lines: a segment between two points and a whole F_LINE across the
// image, one pixel per step of the free coordinate.
#include <algorithm>

#include "draw/line_round.h"
#include "draw/paint.h"
#include "vexolith/draw.h"
#include "vexolith/geometry.h"

namespace {

// Paints the pixels (u, round(k * u + b)) for u in [lo, hi), with u a
// column when the line is y = k*x + b (dir 1) and a row when it is
// x = k*y + b (any other dir). Pixels whose other coordinate falls outside the image are
// skipped; the caller keeps lo and hi within the free coordinate's range.
void PaintRun(const IMG& img, const F_LINE& line, int lo, int hi, vx::Colour colour) {
  const bool x_free = line.dir == 1;
  const int other_limit = x_free ? img.height : img.width;
  for (int u = lo; u < hi; ++u) {
    int other;
    if (!vx::RoundToPixel(line.k * u + line.b, other_limit, other)) continue;
    if (x_free) {
      vx::Paint(img, u, other, colour);
    } else {
      vx::Paint(img, other, u, colour);
    }
  }
}

}  // namespace

int DrawLine(IMG img, C_POINT p1, C_POINT p2, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (!vx::Paintable(img)) return 0;
  const F_LINE line = MakeLine(p1, p2);
  const bool x_free = line.dir == 1;
  const int a = x_free ? p1.x : p1.y;
  const int b = x_free ? p2.x : p2.y;
  const int limit = x_free ? img.width : img.height;
  // The end with the larger free coordinate is not painted: lo is raised to
  // 0 and hi lowered to the last pixel, which is then not drawn either.
  const int lo = std::max(std::min(a, b), 0);
  const int hi = std::min(std::max(a, b), limit - 1);
  PaintRun(img, line, lo, hi, vx::Colour{c0, c1, c2});
  return 0;
}

int DrawLine(IMG img, F_LINE line, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (!vx::Paintable(img)) return 0;
  // Any dir other than 1 is drawn as x = k*y + b.
  const int limit = line.dir == 1 ? img.width : img.height;
  PaintRun(img, line, 0, limit, vx::Colour{c0, c1, c2});
  return 0;
}
