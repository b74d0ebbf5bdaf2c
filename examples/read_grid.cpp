// Reads the cells of a grid from a picture with the vexolith library:
//   read_grid PICTURE ROWS COLUMNS
// Prints one line per row of the figure as the file stores it, '#' for a
// black cell and '.' for a white one.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "vexolith.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: read_grid PICTURE ROWS COLUMNS\n");
    return 2;
  }
  const int rows = std::atoi(argv[2]);
  const int columns = std::atoi(argv[3]);
  if (rows < 1 || columns < 1) {
    std::fprintf(stderr, "read_grid: ROWS and COLUMNS must be positive\n");
    return 2;
  }

  IMG picture = OpenGraphFile(argv[1]);  // 24-bit, row 0 is the bottom line
  if (!picture.valid) {
    std::fprintf(stderr, "%s: cannot read the picture\n", argv[1]);
    return 1;
  }
  IMG gray = Img24To8(picture);
  DeleteImg(picture);
  ThresholdImage(gray, 128, RECT{0, 0, gray.width, gray.height});  // black 0, white 255

  auto contours = std::make_unique<CONTOUR>();  // large: keep it on the heap
  contours->Find(gray, RECT{0, 0, gray.width, gray.height}, 0, 1);

  // The figure: the region with the most pixels.
  int figure = -1;
  for (int i = 0; i < contours->ReturnAllContours(); ++i) {
    if (figure < 0 || contours->AllPoints(i) > contours->AllPoints(figure)) figure = i;
  }
  C_POINT corners[4];
  C_POINTd cornersd[4];
  F_LINE sides[4];
  if (figure < 0 || contours->Return4DistantPoints(corners[0], figure) != 0) {
    std::fprintf(stderr, "%s: no figure found\n", argv[1]);
    DeleteImg(gray);
    return 1;
  }
  FOUR_FIG_Pd quad{PointID(corners[0].x, corners[0].y), PointID(corners[1].x, corners[1].y),
                   PointID(corners[2].x, corners[2].y), PointID(corners[3].x, corners[3].y)};
  if (contours->Accuracy4RombPoints(corners[0], cornersd[0], sides[0], figure) == 0) {
    quad = FOUR_FIG_Pd{cornersd[0], cornersd[1], cornersd[2], cornersd[3]};
  }

  GRID grid(rows, columns);
  grid.CreateGrid(quad);
  int result = grid.RecogCells(gray);
  DeleteImg(gray);
  if (result != 0) {
    std::fprintf(stderr, "%s: cells cannot be measured (code %d)\n", argv[1], result);
    return 1;
  }
  std::unique_ptr<bool[]> black(new bool[rows * columns]);
  grid.ReturnGrid(0.5, black[0]);  // column by column
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) std::fputc(black[j * rows + i] ? '#' : '.', stdout);
    std::fputc('\n', stdout);
  }
  return 0;
}
