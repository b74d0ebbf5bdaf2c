#include "contour/nesting.h"

#include <vector>

namespace vx {

namespace {

bool StrictlyContains(const RECT& outer, const RECT& inner) {
  return inner.left > outer.left && inner.right < outer.right && inner.top > outer.top &&
         inner.bottom < outer.bottom;
}

}  // namespace

// Quadratic in the number of contours (at most 10000, so up to 5e7 box
// tests); the boxes and levels are gathered into two dense arrays first so
// the inner loop runs over 16-byte records instead of whole items. Levels of
// earlier items are final when a later item looks at them.
void NestByBoxes(CONTOUR_ITEM* items, int number) {
  if (number < 2) return;
  std::vector<RECT> boxes(static_cast<std::size_t>(number));
  std::vector<int> levels(static_cast<std::size_t>(number));
  for (int i = 0; i < number; ++i) {
    boxes[i] = items[i].rect;
    levels[i] = items[i].level;
  }
  for (int i = 1; i < number; ++i) {
    const RECT inner = boxes[i];
    int best = -1;
    for (int j = 0; j < i; ++j) {
      if (!StrictlyContains(boxes[j], inner)) continue;
      if (best < 0 || levels[j] > levels[best]) best = j;
    }
    levels[i] = best < 0 ? 0 : levels[best] + 1;
    items[i].mama = best;
    items[i].level = levels[i];
  }
}

}  // namespace vx
