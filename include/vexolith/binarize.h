// Thresholds that turn pictures into black (0) and white (255), 3 x 3
// erosion and dilation, image difference and centre of weight.
#pragma once

#include "vexolith/types.h"

VEXOLITH_BEGIN_C

// Region rectangles have exclusive right and bottom and must lie inside the image.
VEXOLITH_API void ThresholdImage(IMG img, unsigned char threshold, RECT region);
VEXOLITH_API IMG AdaptiveThresholdImage(IMG src, int window, RECT region, int mode);
VEXOLITH_API void Adaptive2ThresholdImage(IMG img, unsigned char level, unsigned char gain, RECT region,
                                          int block);

// 3 x 3 minimum (erode) and maximum (dilate) of a gray image; the pixels of
// the first and last row and column and the padding keep their values. The
// call consumes src: the result is a new buffer with src's sizes and stride,
// and src's buffer is released, so src's record must not be used or
// released afterwards; release the result with DeleteImg. Refused with
// `valid` 0, src untouched and still the caller's: `gray` not 1, `valid` 0,
// width, stride or height below 3, and (checks added beyond those) null
// bits, a stride shorter than the width, or no memory for the result or
// the scratch rows.
VEXOLITH_API IMG Img_Erode(IMG src);
VEXOLITH_API IMG Img_Dilate(IMG src);

// Turns the pixels of 24-bit a that equal b's (all three bytes) black; the
// others keep their colour, or become white when mode bit 0 is set. Returns
// 0, or 1 a width or height below 1, 2 a gray image, 3 different sizes,
// and (added) 4 null bits or a stride shorter than 3 * width in a or b.
// Nothing changes on a refusal.
VEXOLITH_API int AllocationUnknownPixels(IMG a, IMG b, unsigned char mode);

// Mean column (x) and mean row (y) of the pixels whose byte 0 is 255, in a
// 24-bit image. NaN in both when there are none. Added: a gray image is
// read one byte per pixel, and an image with null bits, no pixels or a
// stride shorter than its pixels gives NaN without being read.
VEXOLITH_API C_POINTd CentreWeights(IMG img);

VEXOLITH_END_C
