// Thresholds that turn pictures into black (0) and white (255).
#pragma once

#include "vexolith/types.h"

VEXOLITH_BEGIN_C

// Region rectangles have exclusive right and bottom and must lie inside the image.
VEXOLITH_API void ThresholdImage(IMG img, unsigned char threshold, RECT region);
VEXOLITH_API IMG AdaptiveThresholdImage(IMG src, int window, RECT region, int mode);
VEXOLITH_API void Adaptive2ThresholdImage(IMG img, unsigned char level, unsigned char gain, RECT region,
                                          int block);

VEXOLITH_END_C
