// A single pixel.
#include "draw/paint.h"
#include "vexolith/draw.h"

void DrawPoint(IMG img, int x, int y, unsigned char c0, unsigned char c1, unsigned char c2) {
  // Points beyond the right or bottom edge are clipped like those left of or
  // above the image, so nothing is ever written outside it.
  if (!vx::Paintable(img)) return;
  vx::PaintClipped(img, x, y, vx::Colour{c0, c1, c2});
}
