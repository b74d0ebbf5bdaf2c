#include "cli/pipeline_marked.h"

#include <algorithm>

#include "cli/pipeline_perspective.h"

namespace vxcli {
namespace {

struct Colour {
  unsigned char b, g, r;  // bytes 0, 1, 2 of a pixel
};

constexpr Colour kOutline{0, 200, 0};  // green
constexpr Colour kGrid{255, 128, 0};   // light blue
constexpr Colour kCross{0, 0, 255};    // red

void ThickLine(IMG img, Pt a, Pt b, int half, Colour c) {
  for (int dy = -half; dy <= half; ++dy) {
    for (int dx = -half; dx <= half; ++dx) {
      const C_POINT p = PointDI(a.x + dx, a.y + dy);
      const C_POINT q = PointDI(b.x + dx, b.y + dy);
      DrawLine(img, p, q, c.b, c.g, c.r);
    }
  }
}

}  // namespace

Pt FigurePoint(const std::array<Pt, 4>& c, double u, double v) { return Perspective(c).Apply(u, v); }

void DrawMarked(IMG picture, const std::array<Pt, 4>& corners, int rows, int cols,
                const std::vector<bool>& black) {
  const int half = std::max(0, std::min(picture.width, picture.height) / 800);
  for (int i = 1; i < rows; ++i)
    ThickLine(picture, FigurePoint(corners, 0, double(i) / rows), FigurePoint(corners, 1, double(i) / rows),
              half, kGrid);
  for (int j = 1; j < cols; ++j)
    ThickLine(picture, FigurePoint(corners, double(j) / cols, 0), FigurePoint(corners, double(j) / cols, 1),
              half, kGrid);
  for (int k = 0; k < 4; ++k) ThickLine(picture, corners[k], corners[(k + 1) % 4], half, kOutline);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      if (!black[static_cast<std::size_t>(i) * cols + j]) continue;
      const double u0 = double(j) / cols, u1 = double(j + 1) / cols;
      const double v0 = double(i) / rows, v1 = double(i + 1) / rows;
      ThickLine(picture, FigurePoint(corners, u0, v0), FigurePoint(corners, u1, v1), half, kCross);
      ThickLine(picture, FigurePoint(corners, u1, v0), FigurePoint(corners, u0, v1), half, kCross);
    }
  }
}

}  // namespace vxcli
