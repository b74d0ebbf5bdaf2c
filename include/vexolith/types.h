// Records shared by every part of the vexolith interface. This header and
// the plain-function parts of the others compile as C11 as well as C++:
// C hosts include "vexolith_c.h".
#pragma once

#include <stdbool.h>
#include <stdint.h>

#if defined(__GNUC__)
#define VEXOLITH_API __attribute__((visibility("default")))
#else
#define VEXOLITH_API
#endif

// Plain functions have C linkage in C++ and are ordinary declarations in C.
#ifdef __cplusplus
#define VEXOLITH_BEGIN_C extern "C" {
#define VEXOLITH_END_C }
#else
#define VEXOLITH_BEGIN_C
#define VEXOLITH_END_C
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
typedef struct IMG IMG;

// A rectangle in pixel coordinates. Whether right and bottom are inclusive
// depends on the operation (search, threshold and drawing areas: exclusive;
// contour bounding boxes and DrawFillRect: inclusive).
struct RECT {
  int left;    // smallest x
  int top;     // smallest y (rows counted in buffer order)
  int right;   // largest x, or one past it
  int bottom;  // largest y, or one past it
};
typedef struct RECT RECT;

// Integer point: x is the column, y the row.
struct C_POINT {
  int x;  // column
  int y;  // row
};
typedef struct C_POINT C_POINT;

// Double point: x is the column, y the row, in pixels.
struct C_POINTd {
  double x;  // column
  double y;  // row
};
typedef struct C_POINTd C_POINTd;

// A straight line in explicit form.
struct F_LINE {
  int type;  // tag word, copied whole; 3 for lines built through two points
  int dir;   // 1: y = k*x + b (x free); 2: x = k*y + b (y free)
  double k;  // slope in the chosen form; |k| <= 1 for lines built through two points
  double b;  // intercept in the chosen form, in pixels
};
typedef struct F_LINE F_LINE;

// A quadrilateral: p1/p2 and p3/p4 are opposite corners; the outline runs
// p1 -> p3 -> p2 -> p4 -> p1.
struct FOUR_FIG_P {
  C_POINT p1;  // corner of row 0, column 0 of a grid
  C_POINT p2;  // corner opposite p1
  C_POINT p3;  // corner between p1 and p2 on the outline's first leg
  C_POINT p4;  // corner opposite p3
};
typedef struct FOUR_FIG_P FOUR_FIG_P;

// The same quadrilateral with double corners.
struct FOUR_FIG_Pd {
  C_POINTd p1;  // corner of row 0, column 0 of a grid
  C_POINTd p2;  // corner opposite p1
  C_POINTd p3;  // corner between p1 and p2 on the outline's first leg
  C_POINTd p4;  // corner opposite p3
};
typedef struct FOUR_FIG_Pd FOUR_FIG_Pd;
