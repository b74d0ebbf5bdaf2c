#include "bench/pictures.h"

#include <cstdint>

namespace vxbench {
namespace {

Picture Blank(int width, int height, bool gray, unsigned char fill) {
  Picture p;
  const int stride = ((gray ? 1 : 3) * width + 3) / 4 * 4;
  p.bytes.assign(static_cast<std::size_t>(stride) * height, fill);
  p.img = IMG{p.bytes.data(), width, stride, height, 1, static_cast<unsigned char>(gray)};
  return p;
}

}  // namespace

Picture Photo(int width, int height) {
  Picture p = Blank(width, height, false, 0);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      int v = 110 + 120 * x / width + 20 * y / height + static_cast<int>(noise >> 28) - 8;
      const int dx = x % 800 - 400, dy = y % 700 - 350;
      if (dx * dx + dy * dy < 90 * 90) v -= 90;                     // discs
      if (y % 300 < 12 && x > 200 && x < width - 200) v -= 70;      // bars
      const int gx = x - width * 3 / 10, gy = y - height * 4 / 15;  // grid
      if (gx >= 0 && gx < width * 9 / 20 && gy >= 0 && gy < height * 7 / 15 &&
          (gx % 200 < 14 || gy % 155 < 14))
        v = 35;
      v = v < 0 ? 0 : v > 255 ? 255 : v;
      unsigned char* px = p.img.bits + static_cast<std::size_t>(y) * p.img.stride + 3 * x;
      px[0] = static_cast<unsigned char>(v * 9 / 10);
      px[1] = static_cast<unsigned char>(v);
      px[2] = static_cast<unsigned char>(v < 245 ? v + 10 : 255);
    }
  }
  return p;
}

Picture LetterPage(int width, int height, double scale) {
  const int kCellW = static_cast<int>(50 * scale), kCellH = static_cast<int>(40 * scale);
  Picture p = Blank(width, height, true, 255);
  auto ink = [&](int x, int y) { p.img.bits[static_cast<std::size_t>(y) * p.img.stride + x] = 0; };
  for (int cy = 0; cy + kCellH <= height; cy += kCellH) {
    for (int cx = 0; cx + kCellW <= width; cx += kCellW) {
      const int x0 = cx + static_cast<int>(8 * scale),
                y0 = cy + static_cast<int>(6 * scale);  // glyph box 30 x 26
      for (int ys = 0; ys < static_cast<int>(26 * scale); ++ys) {
        for (int xs = 0; xs < static_cast<int>(30 * scale); ++xs) {
          const int x = static_cast<int>(xs / scale), y = static_cast<int>(ys / scale);
          bool on = false;
          switch ((cx / kCellW + cy / kCellH) % 4) {
            case 0:
              on = x < 4 || x >= 26 || y < 4 || y >= 22 || (y >= 11 && y < 15 && x >= 13 && x < 17);
              break;
            case 1:
              on = x < 4 || y >= 22;
              break;
            case 2:
              on = x < 4 || x >= 26 || (y >= 11 && y < 15);
              break;
            default:
              on = x >= y && x < y + 4;
          }
          if (on) ink(x0 + xs, y0 + ys);
        }
      }
    }
  }
  return p;
}

const IMG& BenchPicture() {
  static const Picture picture = Photo(4000, 3000);
  return picture.img;
}

const vxgen::TestPicture& FigurePhoto() {
  static const vxgen::TestPicture picture = [] {
    vxgen::FigureParams params;
    params.rows = 12;
    params.cols = 16;
    params.size = 3600;
    params.angle = 3;
    params.skew = 0.01;
    params.blur = 1.0;
    params.noise = 4;
    params.gradient = 0.2;
    params.margin = 0.05;
    params.seed = 12;
    return vxgen::Render(params);
  }();
  return picture;
}

}  // namespace vxbench
