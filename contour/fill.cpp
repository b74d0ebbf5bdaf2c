// The region fill: collects every pixel 8-connected to a start pixel, depth
// first with an explicit stack of at most 20000 pending pixels.
#include <algorithm>

#include "contour/scratch.h"
#include "vexolith/contour.h"

namespace {

void Widen(RECT& box, int x, int y) {
  box.left = std::min(box.left, x);
  box.right = std::max(box.right, x);
  box.top = std::min(box.top, y);
  box.bottom = std::max(box.bottom, y);
}

}  // namespace

// From the current pixel all eight neighbours are probed and every free one
// is taken at once (so each pixel is listed exactly once, when first found).
// The fill then moves to the first one found and keeps the others pending,
// pushed in reverse probe order so the second found is popped first. When a
// push brings the stack to 20000 entries the fill stops: the pending pixels
// are already listed, and the untaken rest of the region is left for the scan,
// which stores it as further contours.
void CONTOUR::FindBorderPoint(int x, int y) {
  Scratch& s = *scratch_;
  unsigned char* map = s.map.get();
  C_POINT* stack = s.fill_stack.get();
  int depth = 0;
  C_POINT p{x, y};
  for (;;) {
    const std::ptrdiff_t at = s.Index(p.x, p.y);
    C_POINT found[8];
    int n = 0;
    for (int k = 0; k < 8; ++k) {
      unsigned char& state = map[at + s.fill_step[k]];
      if (state != vx::kFree) continue;
      state = vx::kTaken;
      const C_POINT q{p.x + vx::kFillDx[k], p.y + vx::kFillDy[k]};
      s.Append(*this, q.x, q.y);
      Widen(cur_rect, q.x, q.y);
      found[n++] = q;
    }
    if (n > 0) {
      for (int k = n - 1; k >= 1; --k) {
        stack[depth++] = found[k];
        if (depth == vx::kFillStackLimit) return;
      }
      p = found[0];
    } else {
      if (depth == 0) return;
      p = stack[--depth];
    }
  }
}
