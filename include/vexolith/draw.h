// Painting into 24-bit images. Colours are written to bytes 0, 1, 2 (B, G, R).
#pragma once

#include "vexolith/types.h"

VEXOLITH_BEGIN_C

VEXOLITH_API void DrawPoint(IMG img, int x, int y, unsigned char c0, unsigned char c1, unsigned char c2);
VEXOLITH_API int DrawLine(IMG img, C_POINT p1, C_POINT p2, unsigned char c0, unsigned char c1,
                          unsigned char c2);
VEXOLITH_API int DrawRect(IMG img, RECT r, unsigned char c0, unsigned char c1, unsigned char c2);
VEXOLITH_API void DrawFillRect(IMG img, RECT r, unsigned char c0, unsigned char c1, unsigned char c2);

VEXOLITH_END_C

#ifdef __cplusplus
// The whole line across the image, one pixel per step of its free coordinate.
VEXOLITH_API int DrawLine(IMG img, F_LINE line, unsigned char c0, unsigned char c1, unsigned char c2);
#endif
