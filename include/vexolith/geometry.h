// Straight lines through points, distances and intersections; polar forms,
// turning of lines and stepping along them.
#pragma once

#include "vexolith/types.h"

#ifdef __cplusplus
VEXOLITH_API F_LINE MakeLine(double x1, double y1, double x2, double y2);
VEXOLITH_API F_LINE MakeLine(C_POINT p1, C_POINT p2);
VEXOLITH_API F_LINE MakeLine(C_POINTd p1, C_POINTd p2);
VEXOLITH_API double RToLine(F_LINE line, double x, double y);
VEXOLITH_API double RToLine(F_LINE line, C_POINTd point);

// The point d along the line's slope from p1: away from p2 (FindPointContinue)
// or toward it (FindPointContinue_). p1 itself for a line whose dir is not 1 or 2.
VEXOLITH_API C_POINTd FindPointContinue(C_POINTd p1, C_POINTd p2, F_LINE line, double d);
VEXOLITH_API C_POINTd FindPointContinue_(C_POINTd p1, C_POINTd p2, F_LINE line, double d);
#endif

VEXOLITH_BEGIN_C

// 0: point written (or a dir outside 1 and 2, nothing written); 1: parallel.
VEXOLITH_API int Intersection(F_LINE first, F_LINE second, double* x, double* y);
VEXOLITH_API double LengthLine(double x1, double y1, double x2, double y2);
VEXOLITH_API F_LINE MakeParallelLine(F_LINE line, double x, double y);
VEXOLITH_API C_POINT PointDI(double x, double y);
VEXOLITH_API C_POINTd PointID(int x, int y);

// Polar forms. Angles in radians from +x toward +y (rows grow downward).
VEXOLITH_API float MakePolarF(float x, float y);  // angle of (x, y) in [0, 2pi), single precision
VEXOLITH_API float MakePolarR(float x, float y);  // length of (x, y), single precision
// The line through (x, y) with a direction angle in [-pi, 2pi); dir 0 for any other angle.
VEXOLITH_API F_LINE MakeLineFromPolar(double x, double y, double angle);
// The line turned by angle (positive: from +y toward +x) and moved through
// (px, py); dir 0 for a line whose dir is not 1 or 2.
VEXOLITH_API F_LINE TurnLine(F_LINE line, double angle, double px, double py);
// Signed angle between two lines, in (-pi/2, pi/2].
VEXOLITH_API double FoundInclination(F_LINE first, F_LINE second);
// Whether the closed polygon of n corners turns one way at every corner:
// mode bit 0 every edge angle decreases, bit 1 every edge angle increases.
VEXOLITH_API bool DirectPoint(C_POINT* points, int n, unsigned char mode);

VEXOLITH_END_C
