// The walk: a depth-first listing of a region with an east-first preference,
// run before the fill when Find is asked for it.
#include <algorithm>

#include "contour/scratch.h"
#include "vexolith/contour.h"

// From the current pixel the neighbours are probed east, south-east, south,
// south-west, west, north-west, north, north-east; the first free, unvisited
// one is the move, and a second one makes the current pixel a branch point to
// come back to. At most 1000 branch points are kept; beyond that a dead end
// may end the walk early (the fill that follows still lists every pixel).
//
// Visited pixels are marked kWalked in the search map (the start pixel is
// already kTaken). The marks are cleared again from the walk's own entries in
// the collection buffer before returning, so the map never needs a full reset
// between regions: the cost is the region's size, not the rectangle's.
void CONTOUR::FindBorderPoint1(int x, int y) {
  Scratch& s = *scratch_;
  unsigned char* const map = s.map;
  C_POINT* const stack = s.walk_stack;
  const std::ptrdiff_t pitch = s.pitch;
  const int left = s.left, top = s.top;
  auto index = [=](int px, int py) { return (py - top + 1) * pitch + (px - left + 1); };
  std::ptrdiff_t step[8];
  std::copy(s.walk_step, s.walk_step + 8, step);
  const int first = cur_count;
  Scratch::Collector out(*this, s);
  int depth = 0;
  C_POINT q{x, y};
  std::ptrdiff_t at = index(x, y);
  for (;;) {
    // Tested one by one: east, the first probe, is the move at most
    // pixels, a branch the processor predicts well.
    int move = -1;
    bool branch = false;
    for (int k = 0; k < 8; ++k) {
      if (map[at + step[k]] != vx::kFree) continue;
      if (move >= 0) {
        branch = true;
        break;
      }
      move = k;
    }
    if (move >= 0) {
      map[at + step[move]] = vx::kWalked;
      out.Append(q.x + vx::kWalkDx[move], q.y + vx::kWalkDy[move]);
      if (branch && depth < vx::kWalkStackLimit) stack[depth++] = q;
      q = C_POINT{q.x + vx::kWalkDx[move], q.y + vx::kWalkDy[move]};
      at += step[move];
    } else {
      if (depth == 0) break;
      q = stack[--depth];
      at = index(q.x, q.y);
    }
  }
  const C_POINT* points = out.points();
  for (int i = first; i < out.count(); ++i) map[index(points[i].x, points[i].y)] = vx::kFree;
}
