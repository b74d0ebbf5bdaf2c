// The contour store: regions of one pixel value, their boxes and nesting,
// and the corner finder that works on them.
#pragma once

#include "vexolith/types.h"

#ifdef __cplusplus
// One stored region: all of its pixels, interior included.
struct CONTOUR_ITEM {
  unsigned int count;  // number of points (32 bits: large regions are stored whole)
  C_POINT* points;     // the region's pixels in collection order, owned by the store
  RECT rect;           // bounding box, all four sides inclusive
  int mama;            // index of the enclosing contour, -1 for none
  int level;           // nesting depth: 0 without mama, else mama's level + 1
};

// Large (about 240 KB): create it on the heap. One thread at a time per object.
class VEXOLITH_API CONTOUR {
 public:
  int number;                        // stored contours, 0 .. 10000
  CONTOUR_ITEM items[10000];         // the stored contours, in the order found
  int cur_count;                     // working: points collected for the region being filled
  C_POINT* cur_points;               // working: collection buffer of the running Find
  RECT cur_rect;                     // working: bounding box of the region being filled
  unsigned char colour;              // working: the pixel value searched for
  RECT area;                         // search rectangle of the last Find (right, bottom exclusive)
  IMG work;                          // working: private copy of the searched image

  CONTOUR();
  ~CONTOUR();
  CONTOUR(const CONTOUR&) = delete;
  CONTOUR& operator=(const CONTOUR& source);  // independent copy

  // mode bit 0: work out mama and level; bit 1: walk each region before the fill.
  // 0 success, 1 image not 8-bit gray (or not copyable), 2 store full.
  int Find(IMG img, RECT rect, unsigned char colour, unsigned long mode);

  int DrawContour(IMG img, int index, unsigned char c0, unsigned char c1, unsigned char c2);
  int DrawContours(IMG img, unsigned char c0, unsigned char c1, unsigned char c2);
  void ReturnMaxLevel(int& level, int& index, int& howMany);
  C_POINT ReturnCenterContour(int index);
  bool ReturnPointInContour(C_POINT point, int index);
  int GetMama(int index);
  int AllPoints(int index);
  int ReturnAllContours();
  RECT ReturnRectContour(int index);

  // Corners in FOUR_FIG_P order: p1, p2 opposite; p3, p4 opposite.
  int Return4DistantPoints(C_POINT& corners, int index);
  int PointsInLine(F_LINE line, int index);
  int Accuracy4RombPoints(C_POINT& corners, C_POINTd& cornersd, F_LINE& lines, int index);

  // One edge between ends[0] and ends[1] (two C_POINTs). Default mode: the
  // line best fitted to the contour pixels within 5 of the segment; writes
  // newEnds (two C_POINTd: the supporting pixels' extent), line, tally (the
  // near pixels) and measure (dispersion of their spread along the edge).
  // 0 fitted; 2 fewer than 8 near pixels; 5 fewer than half the length;
  // 3 line too weakly supported; 4 line turned more than pi/8 either way.
  // mode bit 1: straightness check of the point list as a path; tally is the
  // path length, measure its ratio to the straight steps. 0 straight; 6 an
  // end is not a contour point; 7 the ends coincide; 11 path shorter than
  // straight; 12 longer than 1.5 times. -1 no such contour. Failures write
  // nothing.
  int AccuracyLine(C_POINT& ends, C_POINTd& newEnds, F_LINE& line, int index, int& tally, double& measure,
                   unsigned long mode);

 private:
  void FindBorderPoint(int x, int y);
  void FindBorderPoint1(int x, int y);

  struct Scratch;     // working storage of a running Find (search map, stacks, collection buffer)
  Scratch* scratch_;  // working: the running Find's storage, null outside Find
};

#endif  // __cplusplus
