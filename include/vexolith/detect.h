// Border marking and the search for dense, roughly square code regions.
#pragma once

#include "vexolith/types.h"

VEXOLITH_BEGIN_C

// The most rectangles DetectCode can return: its 20 x 20 cell grid holds at
// most 200 regions. The caller's array must have room for this many.
#define VEXOLITH_MAX_CODE_RECTS 200

// Marks the inner border of every non-white area in place: a pixel whose
// byte 0 is below 255 and which has a 4-neighbour inside the image with
// byte 0 = 255 becomes 128 (gray) or 128, 0, 0 (24-bit). Added: an image
// with `valid` 0, null bits, no pixels or a stride shorter than its pixels
// is left alone.
VEXOLITH_API void AllocationBorders(IMG img);

// Border of the black (byte 0 = 0) pixels inside r (right and bottom
// exclusive); neighbours may lie outside r but inside the image. Mode bit 0
// set: the white neighbours get byte 0 = 128 (outer border); clear: the
// black pixels with a white neighbour get byte 0 = 128 (inner border). Only
// byte 0 is written. Added: r is cut to the image (nothing is marked for a
// rectangle wholly outside it), and an image that AllocationBorders leaves
// alone is left alone here too.
VEXOLITH_API void AllocationBordersRect(IMG img, RECT r, unsigned char mode);

// Finds dense, roughly square areas of black/white alternation in a binary
// picture (black 0, white 255) on a copy reduced by `factor`, and writes
// their bounding rectangles (picture pixels, right and bottom exclusive) to
// rects[0 .. *count - 1]; rects needs room for VEXOLITH_MAX_CODE_RECTS.
// img is not changed. Returns 0; added refusals, made before anything is
// written except *count = 0 (codes 2 to 4): 1 count or rects null, 2 an
// image with `valid` 0, null bits, no pixels or a stride shorter than its
// pixels, 3 factor below 1 or above the width or height, 4 no memory for
// the reduced copy.
VEXOLITH_API int DetectCode(IMG img, int factor, int* count, RECT* rects);

VEXOLITH_END_C
