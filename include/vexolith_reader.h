/* The reader for C hosts: one call from a picture to the figures found in it
   and their cells. It lives in its own library, libvexolith_reader (link
   with -lvexolith_reader -lvexolith), so that libvexolith exports exactly
   its plain functions; C++ hosts call vexolith::Read from
   "vexolith/reader.h" instead. */
#ifndef VEXOLITH_READER_H
#define VEXOLITH_READER_H

#include "vexolith_c.h"

VEXOLITH_BEGIN_C

/* How the gray picture becomes black and white for the figure search. */
enum {
  VEXOLITH_BINARIZE_AUTO = 0,   /* one level (Otsu) and local means at a few windows; every candidate tried */
  VEXOLITH_BINARIZE_GLOBAL = 1, /* one level: `level` */
  VEXOLITH_BINARIZE_LOCAL = 2,  /* mean of the `window` x `window` square, less 2 */
  VEXOLITH_BINARIZE_BLOCK = 3   /* block means over `block` x `block` squares */
};

typedef struct vexolith_read_options {
  int rows;         /* cell rows as seen, border ring included; 1..1000 */
  int cols;         /* cell columns as seen, border ring included; 1..1000 */
  int binarize;     /* one of VEXOLITH_BINARIZE_* */
  int level;        /* global level, 0..255 */
  int window;       /* local-mean window in working pixels; 0: chosen */
  int block;        /* block-mean square in working pixels; 0: chosen */
  double threshold; /* cell value above which a cell is black, 0..1; below 0: chosen per figure */
  int all;          /* 0: the most confident figure; 1: every figure found */
  int max_side;     /* the search works at most this many pixels along a side; >= 16 */
} vexolith_read_options;

typedef struct vexolith_figure {
  double corners[4][2];  /* (x, y) of top-left, top-right, bottom-right, bottom-left as seen; y downward */
  int rows;              /* cell rows */
  int cols;              /* cell columns */
  double* values;        /* rows * cols, row-major: darkness of each cell, 0 paper .. 1 ink (about) */
  double* margins;       /* rows * cols: distance of each value from the threshold */
  unsigned char* black;  /* rows * cols verdicts: 1 black, 0 white */
  double threshold;      /* the cell threshold used */
  double confidence;     /* 0..1 */
  int black_count;       /* cells read as black */
} vexolith_figure;

typedef struct vexolith_reading {
  int ok;                   /* 1 when at least one figure was read */
  char fault[256];          /* when ok is 0: why, one line, NUL-terminated */
  int width;                /* picture width in pixels */
  int height;               /* picture height in pixels */
  int figure_count;         /* entries of figures */
  vexolith_figure* figures; /* most confident first; released by vexolith_reading_free */
} vexolith_reading;

/* The defaults: 10 x 10 cells, automatic thresholds, threshold chosen, one figure. */
VEXOLITH_API void vexolith_read_options_init(vexolith_read_options* options);

/* Read a picture file, or a 24-bit/gray IMG (top_down: row 0 is the top
   line; 0 for images from OpenGraphFile and OpenDF). Return 0 when the call
   ran (then see reading->ok), 1 for a null pointer, 2 for options out of
   range, 3 when memory ran out. The reading is always left releasable. */
VEXOLITH_API int vexolith_read_file(const char* path, const vexolith_read_options* options,
                                    vexolith_reading* reading);
VEXOLITH_API int vexolith_read_image(IMG picture, int top_down, const vexolith_read_options* options,
                                     vexolith_reading* reading);

/* Releases what a reading holds and empties it; a null pointer is accepted. */
VEXOLITH_API void vexolith_reading_free(vexolith_reading* reading);

VEXOLITH_END_C

#endif /* VEXOLITH_READER_H */
