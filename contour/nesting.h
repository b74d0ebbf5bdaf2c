// Nesting of stored contours by their bounding boxes.
#pragma once

#include "vexolith/contour.h"

namespace vx {

// Gives items 1 .. number-1, in increasing order, the enclosing contour among
// the earlier ones whose box strictly contains theirs on all four sides
// (deepest level first, lowest index among equals) and that contour's level
// + 1; items without one get mama -1 and level 0. Item 0 is left as it is.
void NestByBoxes(CONTOUR_ITEM* items, int number);

}  // namespace vx
