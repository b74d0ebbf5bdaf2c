// The marked picture: the figure's outline, its grid under the figure's
// perspective and a cross over every black cell.
#include <algorithm>

#include "image/buffer.h"
#include "reader/geometry.h"
#include "vexolith/draw.h"
#include "vexolith/geometry.h"
#include "vexolith/reader.h"

namespace vexolith {
namespace {

struct Colour {
  unsigned char b, g, r;  // bytes 0, 1, 2 of a pixel
};

constexpr Colour kOutline{0, 200, 0};  // green
constexpr Colour kGrid{255, 128, 0};   // light blue
constexpr Colour kCross{0, 0, 255};    // red

// A line `half` pixels thick on each side, in seen coordinates.
void ThickLine(const IMG& img, bool top_down, Point a, Point b, int half, Colour c) {
  if (!top_down) {
    a.y = img.height - 1 - a.y;
    b.y = img.height - 1 - b.y;
  }
  for (int dy = -half; dy <= half; ++dy) {
    for (int dx = -half; dx <= half; ++dx) {
      const C_POINT p = PointDI(a.x + dx, a.y + dy);
      const C_POINT q = PointDI(b.x + dx, b.y + dy);
      DrawLine(img, p, q, c.b, c.g, c.r);
    }
  }
}

}  // namespace

int DrawReading(const IMG& picture, bool top_down, const FigureReading& figure) {
  if (!vx::HasPixels(picture) || picture.gray) return 1;
  const std::size_t cells = static_cast<std::size_t>(std::max(figure.rows, 0)) * std::max(figure.cols, 0);
  if (figure.black.size() < cells) return 1;
  const vx::reader::Homography map(figure.corners);
  const int half = std::max(0, std::min(picture.width, picture.height) / 800);
  const int rows = figure.rows, cols = figure.cols;
  for (int i = 1; i < rows; ++i)
    ThickLine(picture, top_down, map.Apply(0, double(i) / rows), map.Apply(1, double(i) / rows), half, kGrid);
  for (int j = 1; j < cols; ++j)
    ThickLine(picture, top_down, map.Apply(double(j) / cols, 0), map.Apply(double(j) / cols, 1), half, kGrid);
  for (int k = 0; k < 4; ++k)
    ThickLine(picture, top_down, figure.corners[k], figure.corners[(k + 1) % 4], half, kOutline);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      if (!figure.black[static_cast<std::size_t>(i) * cols + j]) continue;
      const double u0 = double(j) / cols, u1 = double(j + 1) / cols;
      const double v0 = double(i) / rows, v1 = double(i + 1) / rows;
      ThickLine(picture, top_down, map.Apply(u0, v0), map.Apply(u1, v1), half, kCross);
      ThickLine(picture, top_down, map.Apply(u1, v0), map.Apply(u0, v1), half, kCross);
    }
  }
  return 0;
}

}  // namespace vexolith
