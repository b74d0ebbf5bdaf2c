// Reading a segmentation: the rectangles of segments with marked blocks,
// and the segments painted into a 24-bit image.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "draw/paint.h"
#include "image/buffer.h"
#include "segment/palette.h"
#include "vexolith/draw.h"
#include "vexolith/segment.h"

namespace {

// Per-label facts gathered in one pass over the blocks.
struct LabelStats {
  int marked = 0;  // marked blocks
  int blocks = 0;  // all blocks
  int min_r = INT_MAX, min_c = INT_MAX, max_r = -1, max_c = -1;
};

// Whether the record has blocks and maps to read: the checks every reader
// makes before it touches them. A segmentCount above the number of blocks
// cannot come from a segmentation and would size the per-label tables from
// a stray number.
bool Readable(const SEGMENTS& s) {
  if (s.blockCols < 1 || s.blockRows < 1 || s.labels == nullptr || s.segmentCount < 1) return false;
  return static_cast<std::int64_t>(s.segmentCount) <= static_cast<std::int64_t>(s.blockCols) * s.blockRows;
}

bool Marked(const SEGMENTS& s, std::size_t b) { return s.marks != nullptr && s.marks[b] != 0; }

// One entry per label; blocks whose label is out of range are left out.
std::vector<LabelStats> Gather(const SEGMENTS& s) {
  std::vector<LabelStats> stats(static_cast<std::size_t>(s.segmentCount));
  for (int r = 0; r < s.blockRows; ++r) {
    for (int c = 0; c < s.blockCols; ++c) {
      const std::size_t b = static_cast<std::size_t>(r) * s.blockCols + c;
      const int label = s.labels[b];
      if (label < 0 || label >= s.segmentCount) continue;
      LabelStats& l = stats[static_cast<std::size_t>(label)];
      ++l.blocks;
      if (Marked(s, b)) ++l.marked;
      l.min_r = std::min(l.min_r, r);
      l.min_c = std::min(l.min_c, c);
      l.max_r = std::max(l.max_r, r);
      l.max_c = std::max(l.max_c, c);
    }
  }
  return stats;
}

}  // namespace

int ReturnRectSegmentsh(SEGMENTS s, int blockSize, RECT* out, int minMarked, int maxRects, int flags) {
  if (out == nullptr || !Readable(s) || blockSize < 1) return 0;
  // Pixel bounds are ints: the grid must end before INT_MAX.
  if (static_cast<std::int64_t>(s.blockCols) * blockSize > INT_MAX ||
      static_cast<std::int64_t>(s.blockRows) * blockSize > INT_MAX) {
    return 0;
  }
  const bool best_only = (flags & SEGMENTS_BEST_ONLY) != 0;
  const std::vector<LabelStats> stats = Gather(s);

  int n = 0, best = 0, best_marked = 0;
  for (const LabelStats& l : stats) {
    // A label emptied by the fold of isolated blocks has no rectangle; it is
    // skipped even when minMarked <= 0 would let it qualify.
    if (l.blocks == 0 || l.marked < minMarked) continue;
    if (n >= maxRects) break;
    out[n] = RECT{l.min_c * blockSize, l.min_r * blockSize, (l.max_c + 1) * blockSize - 1,
                  (l.max_r + 1) * blockSize - 1};
    if (n == 0 || l.marked > best_marked) {
      best = n;
      best_marked = l.marked;
    }
    ++n;
  }
  if (best_only && n > 0) {
    out[0] = out[best];
    return 1;
  }
  return n;
}

void DrawSegmentsH(IMG img, SEGMENTS s, int blockSize, int flags) {
  if (img.gray != 0) return;
  if (img.valid == 0 || !vx::HasPixels(img) || !Readable(s) || blockSize < 1) return;
  // Every block is painted at its pixel position, so the grid must fit the image.
  if (static_cast<std::int64_t>(s.blockCols) * blockSize > img.width ||
      static_cast<std::int64_t>(s.blockRows) * blockSize > img.height) {
    return;
  }
  const bool marked_only = (flags & SEGMENTS_TWO_PEAKS) != 0;
  const bool marked_labels = (flags & SEGMENTS_MARKED_LABELS) != 0;
  const bool best_only = (flags & SEGMENTS_BEST_ONLY) != 0;

  // Selection value per label: 1 for holding a marked block, plus one per
  // marked block; the best label has the largest value, the lowest on ties.
  const std::vector<LabelStats> stats = Gather(s);
  std::vector<int> selection(stats.size(), 0);
  int best = 0;
  for (std::size_t label = 0; label < stats.size(); ++label) {
    if (marked_labels && stats[label].marked > 0) selection[label] = 1;
    if (best_only) selection[label] += stats[label].marked;
    if (selection[label] > selection[static_cast<std::size_t>(best)]) best = static_cast<int>(label);
  }

  for (int r = 0; r < s.blockRows; ++r) {
    for (int c = 0; c < s.blockCols; ++c) {
      const std::size_t b = static_cast<std::size_t>(r) * s.blockCols + c;
      const int label = s.labels[b];
      if (label < 0 || label >= s.segmentCount) continue;
      if (marked_only && !Marked(s, b)) continue;
      if (marked_labels && selection[static_cast<std::size_t>(label)] == 0) continue;
      if (best_only && label != best) continue;
      const vx::Colour colour = vx::SegmentColour(label);
      DrawFillRect(img, RECT{c * blockSize, r * blockSize, (c + 1) * blockSize - 1, (r + 1) * blockSize - 1},
                   colour.c0, colour.c1, colour.c2);
    }
  }
}
