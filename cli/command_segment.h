// The core of `vexolith segment`: a picture cut into blocks of similar
// texture, the rectangles of segments with two-level (text- or code-like)
// blocks, and the segments painted in their colours.
#pragma once

#include <string>
#include <vector>

#include "vexolith.h"

namespace vxcli {

// What a segmentation can be told.
struct SegmentSettings {
  int block = 16;          // block side in pixels, 2 .. 1024
  int bins = 16;           // histogram bins per block, 1 .. 256
  double join = 0.25;      // neighbouring blocks join at a histogram distance up to this, 0 .. 1
  double share = 0.5;      // share of a block's pixels its two peaks must hold for a mark
  bool fold = true;        // blocks left alone join their most similar neighbour
  int min_marked = 1;      // marked blocks a segment needs for its rectangle
  int max_rects = 64;      // rectangles reported at most
  bool best_only = false;  // only the segment with the most marked blocks
  std::string marked;      // where to write the picture with the segments painted; empty: nowhere
};

// The segmentation of one picture.
struct SegmentResult {
  bool ok = false;          // false when the picture could not be segmented
  std::string fault;        // one line saying what went wrong, when ok is false
  int segments = 0;         // segment labels handed out
  int block_cols = 0;       // blocks per row
  int block_rows = 0;       // block rows
  int marked_blocks = 0;    // blocks with two well-separated, well-filled levels
  std::vector<RECT> rects;  // segments with enough marked blocks: inclusive pixel bounds, y downward
};

// Segments a picture whose row 0 is the top line, 24-bit or gray; its
// pixels are not changed. With settings.marked, a 24-bit copy with every
// segment painted in its palette colour is written there as a bitmap file.
SegmentResult SegmentPicture(IMG picture, const SegmentSettings& settings);

// "S segments, C x R blocks, M marked" and one line "left top right
// bottom" per rectangle, after a line "PATH:" when `header`.
std::string FormatSegmentText(const std::string& path, const SegmentResult& r, bool header);

// One JSON object on one line: {"file", "ok": true, "segments", "blockCols",
// "blockRows", "marked", "rects": [[left, top, right, bottom] ...]}, or
// {"file", "ok": false, "error"}.
std::string FormatSegmentJson(const std::string& path, const SegmentResult& r);

}  // namespace vxcli
