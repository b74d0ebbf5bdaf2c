// The grid: inner lines over a quadrilateral, per-cell measurement, verdicts.
#pragma once

#include "vexolith/types.h"

#ifdef __cplusplus
// One thread at a time per object.
class VEXOLITH_API GRID {
 public:
  int rows;             // cells from side p4-p1 to side p3-p2
  int columns;          // cells from side p1-p3 to side p2-p4
  FOUR_FIG_Pd corners;  // the quadrilateral last given to CreateGrid
  F_LINE sides[4];      // p1-p3, p3-p2, p2-p4, p4-p1
  F_LINE* lines;        // rows-1 row lines, then columns-1 column lines (rows+columns+3 records)
  double* cells;        // cell (row i, column j) at j*rows + i (rows*columns+100 doubles)

  GRID(int rows, int columns);
  ~GRID();
  GRID(const GRID&) = delete;
  GRID& operator=(const GRID& source);  // independent copy

  int CreateGrid(FOUR_FIG_P corners);
  int CreateGrid(FOUR_FIG_Pd corners);
  int CreateGrid(FOUR_FIG_Pd corners, F_LINE spacing1, F_LINE spacing2, F_LINE spacing3, F_LINE spacing4,
                 int* offsets);
  F_LINE GetLine(int n);

  // 0 measured, 1 image not 8-bit, 2 a cell cannot be computed, 3 window too large.
  int RecogCells(IMG image);
  int RecogCells(IMG image, IMG display);

  int ReturnBlackCells(double threshold);
  void ReturnGrid(double threshold, bool& out);
  void ReturnGrid1(double threshold, bool& out);
};

#endif  // __cplusplus
