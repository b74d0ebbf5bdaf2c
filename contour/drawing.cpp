// Painting stored contours into a 24-bit image.
#include "image/buffer.h"
#include "vexolith/contour.h"

namespace {

// Writes c0, c1, c2 to bytes 0, 1, 2 of every point of item. The image is
// the host's and is not trusted: a gray or empty image is left alone (as a
// point drawn on a gray image is), and points outside it are skipped rather
// than written past the buffer.
void Paint(const IMG& img, const CONTOUR_ITEM& item, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (img.gray != 0 || img.bits == nullptr) return;
  for (unsigned int i = 0; i < item.count; ++i) {
    const C_POINT p = item.points[i];
    if (p.x < 0 || p.y < 0 || p.x >= img.width || p.y >= img.height) continue;
    unsigned char* px = vx::PixelAt(img, p.x, p.y);
    px[0] = c0;
    px[1] = c1;
    px[2] = c2;
  }
}

}  // namespace

int CONTOUR::DrawContour(IMG img, int index, unsigned char c0, unsigned char c1, unsigned char c2) {
  if (index < 0 || index >= number) return 1;
  Paint(img, items[index], c0, c1, c2);
  return 0;
}

int CONTOUR::DrawContours(IMG img, unsigned char c0, unsigned char c1, unsigned char c2) {
  for (int i = 0; i < number; ++i) Paint(img, items[i], c0, c1, c2);
  return 0;
}
