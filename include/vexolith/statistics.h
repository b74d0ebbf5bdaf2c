// Sample statistics: mean, dispersion, correlation, sign, midpoint, line fit.
#pragma once

#include "vexolith/types.h"

#ifdef __cplusplus
VEXOLITH_API double M_e(int n, int* a);
VEXOLITH_API double M_e(int n, double* a);
VEXOLITH_API double D_e(int n, int* a, double m);
VEXOLITH_API double D_e(int n, double* a, double m);
VEXOLITH_API double KPK_e(int n, int* a, int* b, double ma, double mb, double da, double db);
VEXOLITH_API double KPK_e(int n, double* a, double* b, double ma, double mb, double da, double db);
VEXOLITH_API double pmu(double x);  // +1.0 for x > 0, else -1.0
#endif

VEXOLITH_BEGIN_C

VEXOLITH_API C_POINTd Average(double x1, double y1, double x2, double y2);
VEXOLITH_API F_LINE Approximation(int* y, int n);  // least squares through (i, y[i])

VEXOLITH_END_C
