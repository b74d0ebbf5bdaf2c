/* Reads the cells of a grid from a picture with vexolith, from C:
     read_grid_c PICTURE ROWS COLUMNS
   Prints one line per row of the figure as seen, '#' for a black cell and
   '.' for a white one, then the reader's confidence on standard error.
   Link with -lvexolith_reader -lvexolith (pkg-config vexolith-reader). */
#include <stdio.h>
#include <stdlib.h>

#include "vexolith_reader.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: read_grid_c PICTURE ROWS COLUMNS\n");
    return 2;
  }
  vexolith_read_options options;
  vexolith_read_options_init(&options);
  options.rows = atoi(argv[2]);
  options.cols = atoi(argv[3]);

  vexolith_reading reading;
  const int status = vexolith_read_file(argv[1], &options, &reading);
  if (status != 0) {
    fprintf(stderr, "read_grid_c: bad arguments (code %d)\n", status);
    return 2;
  }
  if (!reading.ok) {
    fprintf(stderr, "%s: %s\n", argv[1], reading.fault);
    vexolith_reading_free(&reading);
    return 1;
  }
  const vexolith_figure* figure = &reading.figures[0];
  for (int i = 0; i < figure->rows; ++i) {
    for (int j = 0; j < figure->cols; ++j) putchar(figure->black[i * figure->cols + j] ? '#' : '.');
    putchar('\n');
  }
  fprintf(stderr, "confidence %.2f\n", figure->confidence);
  vexolith_reading_free(&reading);
  return 0;
}
