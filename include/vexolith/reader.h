// The reader: one call that finds the figures in a picture and reads their
// cells. It is the library's answer to the central task; the plain functions
// of vexolith.h are the building blocks it is made of.
//
// A figure is a dark quadrilateral of rows x cols cells whose outer ring of
// cells is solid black; the cells inside are black or white. The reader
// looks for it in several black-and-white versions of the picture, checks
// every quadrilateral it finds by measuring its cells on the gray picture,
// and keeps only readings its own checks stand behind. It prints nothing,
// writes no files, and may run on several threads at once on distinct
// pictures.
//
// These names have C++ linkage in namespace vexolith.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "vexolith/types.h"

namespace vexolith {

// A point in top-down picture coordinates.
struct Point {
  double x;  // pixels to the right of the centre of the top-left pixel
  double y;  // pixels below it (y grows downward)
};

// How the gray picture becomes black and white for the figure search.
enum class Binarize {
  kAuto,    // one level for the picture (Otsu) and local means at a few window sizes; every candidate is tried
  kGlobal,  // one level given by `level`
  kLocal,   // each pixel against the mean of the `window` x `window` square around it, less 2
  kBlock,   // each pixel against (m + 128) / 2, m the mean of its `block` x `block` square
};

// What the reader is told.
struct ReaderOptions {
  int rows = 10;                        // cell rows as seen, border ring included; 1..1000
  int cols = 10;                        // cell columns as seen, border ring included; 1..1000
  Binarize binarize = Binarize::kAuto;  // thresholding method of the search
  int level = 128;                      // kGlobal: gray 0..level is black; 0..255
  int window = 0;   // kLocal: window side in working pixels, >= 1; 0: an eighth of the shorter side, <= 25
  int block = 0;    // kBlock: square side in working pixels, >= 2; 0: an eighth of the shorter side
  double threshold = -1.0;  // cell value above which a cell is black, 0..1; below 0: chosen per figure
  bool all = false;         // false: the one most confident figure; true: every figure found
  int max_side = 1200;      // the search runs on the picture reduced to at most this side, pixels; >= 16
};

// One figure read.
struct FigureReading {
  std::array<Point, 4> corners{};  // top-left, top-right, bottom-right, bottom-left as seen, picture pixels
  int rows = 0;                    // cell rows, as asked
  int cols = 0;                    // cell columns, as asked
  std::vector<double> values;      // rows * cols, row-major: darkness of each cell, 0 paper .. 1 ink (about)
  std::vector<double> margins;     // rows * cols: |value - threshold|, 0 .. about 1; small means unsure
  std::vector<unsigned char> black;  // rows * cols verdicts, 1 black, 0 white
  double threshold = 0.5;            // the cell threshold used, 0..1
  double confidence = 0.0;  // 0..1: how clearly the cells split into black and white and the ring reads black
  int black_count = 0;      // cells read as black
};

// The reading of one picture.
struct ReadResult {
  bool ok = false;     // true when at least one figure was read
  std::string fault;   // when ok is false: one line saying why
  int width = 0;       // picture width in pixels (0 when it could not be loaded)
  int height = 0;      // picture height in pixels
  std::vector<FigureReading> figures;  // most confident first; one unless options.all; never overlapping
};

// Reads a 24-bit (B, G, R) or 8-bit gray picture. top_down: row 0 of the
// record is the top line of the picture (false for records from
// OpenGraphFile and OpenDF, whose row 0 is the bottom line); corners are
// always given as seen, y downward. The picture is only read.
VEXOLITH_API ReadResult Read(const IMG& picture, bool top_down, const ReaderOptions& options);

// Reads a picture file (BMP, PNG, JPEG, TIFF or GIF).
VEXOLITH_API ReadResult ReadFile(const std::string& path, const ReaderOptions& options);

// Draws a reading over a 24-bit picture for a person to check it: the
// outline (green), the grid following the figure's perspective (blue) and a
// cross over every black cell (red), lines about 1/400 of the shorter side
// thick. Returns 0, or 1 when the picture is not a 24-bit image with pixels.
VEXOLITH_API int DrawReading(const IMG& picture, bool top_down, const FigureReading& figure);

}  // namespace vexolith
