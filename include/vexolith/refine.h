// Edge refinement against a binary image: line probes that record the black
// and white runs along a segment in one shared run table, and four searches
// that turn an edge line about a pivot until the probes fit the edge best.
//
// The run table and the searches' log files ("dd.log", "dd1.log",
// "black.log", "black1.log" in the current directory) are shared by the whole
// process: a host serialises every call of these functions.
#pragma once

#include "vexolith/types.h"

VEXOLITH_BEGIN_C

// Records one sample of pixel (x, y) (0 black, any other value white) in the
// run table. step 0 restarts the table. 1 restarted, 0 recorded or outside
// the image, 2 table full (1280 runs).
VEXOLITH_API int BlackWhite(IMG img, int step, int x, int y);
// Probes the segment (x1, y1)-(x2, y2) along line: from one pixel before the
// start to the end pixel, one pixel per step of the line's free coordinate.
// Always 0; the outcome is the run table.
VEXOLITH_API int OnBlackWhite(IMG img, double x1, double y1, double x2, double y2, F_LINE line);
// Probes like OnBlackWhite and returns the number of runs; with flags bit 0,
// only those from the first black run to the last black run.
VEXOLITH_API int ReturnDifference(IMG img, double x1, double y1, double x2, double y2, F_LINE line,
                                  int flags);
// The run lengths of the last probe; with flags bit 0, from the first black run.
VEXOLITH_API int* ReturnArrayBlackWhite(int flags);
// Run number index of the last probe as colour * 10000 + length (colour 1
// black, 0 white); 0 for an index outside the recorded runs.
VEXOLITH_API int ReturnNumArray(int index);
// The first point, one unit step after another from (x1, y1) toward (x2, y2)
// along line, whose pixel is value1 or value2; (-1, -1) when none matches,
// for a 24-bit image and for a line whose dir is not 1 or 2.
VEXOLITH_API C_POINTd ReturnFirstPoint(IMG img, F_LINE line, double x1, double y1, double x2, double y2,
                                       unsigned char value1, unsigned char value2);

// The searches try 2n + 1 turns of line from +maxAngle to -maxAngle (radians)
// and return the best turned line. For n outside a search's range (AccuracyLine
// 2..100, AccuracyLine1 3..100, AccuracyLine2 from 1, AccuracyLineBlack from
// 2) and for a line whose dir is not 1 or 2 they return the input line
// unchanged, probing and logging nothing. A log file that cannot be written
// is skipped; the result never depends on it.
//
// Least run-length dispersion over five neighbouring angles; probes of half
// length halfLen centred on the pivot (px, py). Writes "dd.log" and "dd1.log".
VEXOLITH_API F_LINE AccuracyLine(IMG img, F_LINE line, double px, double py, double maxAngle, int n,
                                 double halfLen);
// The same with probes from the pivot (x1, y1) toward (x2, y2), unreliable
// probes discarded, and the choice moved along a plateau of near-best angles.
VEXOLITH_API F_LINE AccuracyLine1(IMG img, F_LINE line, double x1, double y1, double x2, double y2,
                                  double maxAngle, int n);
// Many regular runs covering most of the probe, with an early stop; no log.
// spare is not read.
VEXOLITH_API F_LINE AccuracyLine2(IMG img, F_LINE line, double x1, double y1, double x2, double y2,
                                  double maxAngle, double spare, int n);
// Most black over five neighbouring angles. Writes "black.log" and "black1.log".
VEXOLITH_API F_LINE AccuracyLineBlack(IMG img, F_LINE line, double x1, double y1, double x2, double y2,
                                      double maxAngle, double spare, int n);

VEXOLITH_END_C
