// The walk: a depth-first listing of a region with an east-first preference,
// run before the fill when Find is asked for it.
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
  unsigned char* map = s.map.get();
  C_POINT* stack = s.walk_stack.get();
  const int first = cur_count;
  int depth = 0;
  C_POINT q{x, y};
  for (;;) {
    const std::ptrdiff_t at = s.Index(q.x, q.y);
    int move = -1;
    bool branch = false;
    for (int k = 0; k < 8; ++k) {
      if (map[at + s.walk_step[k]] != vx::kFree) continue;
      if (move >= 0) {
        branch = true;
        break;
      }
      move = k;
    }
    if (move >= 0) {
      map[at + s.walk_step[move]] = vx::kWalked;
      s.Append(*this, q.x + vx::kWalkDx[move], q.y + vx::kWalkDy[move]);
      if (branch && depth < vx::kWalkStackLimit) stack[depth++] = q;
      q = C_POINT{q.x + vx::kWalkDx[move], q.y + vx::kWalkDy[move]};
    } else {
      if (depth == 0) break;
      q = stack[--depth];
    }
  }
  for (int i = first; i < cur_count; ++i) map[s.Index(cur_points[i].x, cur_points[i].y)] = vx::kFree;
}
