// Painting stored contours into a 24-bit image.
#include "draw/paint.h"
#include "vexolith/contour.h"

namespace {

// Paints every point of item. The image is the host's and is not trusted: a
// gray or empty image is left alone, as the drawing operations leave it, and
// points outside it are skipped rather than written past the buffer.
void Paint(const IMG& img, const CONTOUR_ITEM& item, vx::Colour colour) {
  if (!vx::Paintable(img)) return;
  for (unsigned int i = 0; i < item.count; ++i)
    vx::PaintClipped(img, item.points[i].x, item.points[i].y, colour);
}

}  // namespace

int CONTOUR::DrawContour(IMG img, int index, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (index < 0 || index >= number) return 1;
  Paint(img, items[index], vx::Colour{c0, c1, c2});
  return 0;
}

int CONTOUR::DrawContours(IMG img, unsigned char c0, unsigned char c1, unsigned char c2) {
  for (int i = 0; i < number; ++i) Paint(img, items[i], vx::Colour{c0, c1, c2});
  return 0;
}
