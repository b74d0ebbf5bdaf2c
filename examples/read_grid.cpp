// Reads the cells of a grid from a picture with the vexolith library:
//   read_grid PICTURE ROWS COLUMNS
// Prints one line per row of the figure as seen, '#' for a black cell and
// '.' for a white one, then the reader's confidence on standard error.
#include <cstdio>
#include <cstdlib>

#include "vexolith/reader.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: read_grid PICTURE ROWS COLUMNS\n");
    return 2;
  }
  vexolith::ReaderOptions options;
  options.rows = std::atoi(argv[2]);
  options.cols = std::atoi(argv[3]);
  if (options.rows < 1 || options.cols < 1) {
    std::fprintf(stderr, "read_grid: ROWS and COLUMNS must be positive\n");
    return 2;
  }
  const vexolith::ReadResult result = vexolith::ReadFile(argv[1], options);
  if (!result.ok) {
    std::fprintf(stderr, "%s: %s\n", argv[1], result.fault.c_str());
    return 1;
  }
  const vexolith::FigureReading& figure = result.figures.front();
  for (int i = 0; i < figure.rows; ++i) {
    for (int j = 0; j < figure.cols; ++j) std::fputc(figure.black[i * figure.cols + j] ? '#' : '.', stdout);
    std::fputc('\n', stdout);
  }
  std::fprintf(stderr, "confidence %.2f\n", figure.confidence);
  return 0;
}
