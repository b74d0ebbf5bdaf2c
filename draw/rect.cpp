// Rectangle outlines (right and bottom exclusive) and filled rectangles
// (right and bottom inclusive).
#include <algorithm>
#include <cstdint>

#include "draw/paint.h"
#include "vexolith/draw.h"

// Rectangles reaching outside the image are clipped: exactly the pixels of
// the outline that lie inside are painted. The loops run over the clipped
// ranges only, so a rectangle with far-out sides costs no more than one that
// fits.
int DrawRect(IMG img, RECT r, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (!vx::Paintable(img)) return 0;
  const vx::Colour colour{c0, c1, c2};
  const std::int64_t last_row = static_cast<std::int64_t>(r.bottom) - 1;
  const std::int64_t last_col = static_cast<std::int64_t>(r.right) - 1;
  const int x_end = std::min(r.right, img.width);
  for (int x = std::max(r.left, 0); x < x_end; ++x) {
    vx::PaintClipped(img, x, r.top, colour);
    vx::PaintClipped(img, x, last_row, colour);
  }
  const int y_end = std::min(r.bottom, img.height);
  for (int y = std::max(r.top, 0); y < y_end; ++y) {
    vx::PaintClipped(img, r.left, y, colour);
    vx::PaintClipped(img, last_col, y, colour);
  }
  return 0;
}

void DrawFillRect(IMG img, RECT r, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (!vx::Paintable(img)) return;
  const vx::Colour colour{c0, c1, c2};
  // Inclusive bounds clipped to the last column and row.
  const int x0 = std::max(r.left, 0), x1 = std::min(r.right, img.width - 1);
  const int y0 = std::max(r.top, 0), y1 = std::min(r.bottom, img.height - 1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) vx::Paint(img, x, y, colour);
  }
}
