// Straight lines through points, distances and intersections.
#pragma once

#include "vexolith/types.h"

#ifdef __cplusplus
VEXOLITH_API F_LINE MakeLine(double x1, double y1, double x2, double y2);
VEXOLITH_API F_LINE MakeLine(C_POINT p1, C_POINT p2);
VEXOLITH_API F_LINE MakeLine(C_POINTd p1, C_POINTd p2);
VEXOLITH_API double RToLine(F_LINE line, double x, double y);
VEXOLITH_API double RToLine(F_LINE line, C_POINTd point);
#endif

VEXOLITH_BEGIN_C

// 0: point written (or a dir outside 1 and 2, nothing written); 1: parallel.
VEXOLITH_API int Intersection(F_LINE first, F_LINE second, double* x, double* y);
VEXOLITH_API double LengthLine(double x1, double y1, double x2, double y2);
VEXOLITH_API F_LINE MakeParallelLine(F_LINE line, double x, double y);
VEXOLITH_API C_POINT PointDI(double x, double y);
VEXOLITH_API C_POINTd PointID(int x, int y);

VEXOLITH_END_C
