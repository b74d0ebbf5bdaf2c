// DetectCode: border pixels of a reduced copy counted in a 20 x 20 grid of
// cells, dense cells joined into regions, roughly square regions returned.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "detect/borders.h"
#include "detect/code_regions.h"
#include "image/buffer.h"
#include "vexolith/detect.h"
#include "vexolith/image.h"

namespace vx {
namespace {

// Cell index along one side for each of n pixels: (i * 20) / n.
std::vector<int> CellOf(int n) {
  std::vector<int> cell(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) cell[i] = static_cast<int>(std::int64_t{i} * kCodeGrid / n);
  return cell;
}

// Border pixels (byte 0 = 128) per cell of the marked reduced image.
CodeCells CountBorders(const IMG& small) {
  CodeCells cells{};
  const int step = BytesPerPixel(small);
  const std::vector<int> column = CellOf(small.width), row = CellOf(small.height);
  for (int y = 0; y < small.height; ++y) {
    const unsigned char* px = RowAt(small, y);
    int* line = cells.data() + row[y] * kCodeGrid;
    for (int x = 0; x < small.width; ++x, px += step) line[column[x]] += px[0] == kBorderMark;
  }
  return cells;
}

}  // namespace
}  // namespace vx

int DetectCode(IMG img, int factor, int* count, RECT* rects) {
  if (count == nullptr || rects == nullptr) return 1;
  *count = 0;
  if (!vx::Markable(img)) return 2;
  if (factor < 1 || factor > img.width || factor > img.height) return 3;
  IMG small = ReduceImage(img, factor);
  if (!small.valid) return 4;
  vx::MarkInnerBorders(small);
  vx::CodeCells cells = vx::CountBorders(small);
  // Cells are a whole number of reduced pixels wide and high (0 below 20
  // pixels), scaled back to the picture.
  const int cell_width = small.width / vx::kCodeGrid * factor;
  const int cell_height = small.height / vx::kCodeGrid * factor;
  DeleteImg(small);
  *count = vx::CodeRegions(cells, cell_width, cell_height, rects);
  return 0;
}
