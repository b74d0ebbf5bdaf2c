// Pixel painting shared by the drawing operations.
#pragma once

#include <cstdint>

#include "image/buffer.h"
#include "vexolith/types.h"

namespace vx {

// A colour in pixel byte order: blue, green, red.
struct Colour {
  unsigned char c0;  // byte 0 (blue)
  unsigned char c1;  // byte 1 (green)
  unsigned char c2;  // byte 2 (red)
};

// Only 24-bit images with pixels take paint. Three colour bytes written into
// a gray row would run past the row, and past the buffer at its last pixels,
// so every drawing operation leaves a gray image unchanged; so it does an
// image without pixels, with no rows or columns, or whose stride is shorter
// than its pixels (0 or negative included), where rows would overlap or
// run outside the buffer.
inline bool Paintable(const IMG& img) { return img.gray == 0 && HasPixels(img); }

// Whether (x, y) is a pixel of the image. 64-bit arguments let callers test
// coordinates such as bottom - 1 without overflow.
inline bool Inside(const IMG& img, std::int64_t x, std::int64_t y) {
  return x >= 0 && y >= 0 && x < img.width && y < img.height;
}

// Writes the colour to pixel (x, y); the caller has checked Paintable and Inside.
inline void Paint(const IMG& img, int x, int y, Colour c) {
  unsigned char* p = PixelAt(img, x, y);
  p[0] = c.c0;
  p[1] = c.c1;
  p[2] = c.c2;
}

// Paints (x, y) when it lies inside the image; anything outside is clipped.
inline void PaintClipped(const IMG& img, std::int64_t x, std::int64_t y, Colour c) {
  if (Inside(img, x, y)) Paint(img, static_cast<int>(x), static_cast<int>(y), c);
}

}  // namespace vx
