// Records shared by every part of the vexolith interface.
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define VEXOLITH_API __attribute__((visibility("default")))
#else
#define VEXOLITH_API
#endif

// An image: rows of pixels in one block. Row y starts at bits + y * stride.
// A 24-bit pixel is three bytes B, G, R; a gray pixel is one byte, 0 black .. 255 white.
struct IMG {
  unsigned char* bits;  // first byte of row 0; rows follow one another
  int width;            // pixels per row
  int stride;           // bytes from one row start to the next (whole 4-byte units for new buffers)
  int height;           // number of rows; row 0 is the first row in memory
  unsigned char valid;  // 1: holds pixels; 0: a failed result, other members meaningless
  unsigned char gray;   // 1: one byte per pixel; 0: three bytes per pixel
};

// A rectangle in pixel coordinates. Whether right and bottom are inclusive
// depends on the operation (search, threshold and drawing areas: exclusive;
// contour bounding boxes and DrawFillRect: inclusive).
struct RECT {
  int left;    // smallest x
  int top;     // smallest y (rows counted in buffer order)
  int right;   // largest x, or one past it
  int bottom;  // largest y, or one past it
};

// Integer point: x is the column, y the row.
struct C_POINT {
  int x;  // column
  int y;  // row
};

// Double point: x is the column, y the row, in pixels.
struct C_POINTd {
  double x;  // column
  double y;  // row
};

// A straight line in explicit form.
struct F_LINE {
  int type;  // tag word, copied whole; 3 for lines built through two points
  int dir;   // 1: y = k*x + b (x free); 2: x = k*y + b (y free)
  double k;  // slope in the chosen form; |k| <= 1 for lines built through two points
  double b;  // intercept in the chosen form, in pixels
};

// A quadrilateral: p1/p2 and p3/p4 are opposite corners; the outline runs
// p1 -> p3 -> p2 -> p4 -> p1.
struct FOUR_FIG_P {
  C_POINT p1;  // corner of row 0, column 0 of a grid
  C_POINT p2;  // corner opposite p1
  C_POINT p3;  // corner between p1 and p2 on the outline's first leg
  C_POINT p4;  // corner opposite p3
};

// The same quadrilateral with double corners.
struct FOUR_FIG_Pd {
  C_POINTd p1;  // corner of row 0, column 0 of a grid
  C_POINTd p2;  // corner opposite p1
  C_POINTd p3;  // corner between p1 and p2 on the outline's first leg
  C_POINTd p4;  // corner opposite p3
};
