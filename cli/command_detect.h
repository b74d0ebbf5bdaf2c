// The core of `vexolith detect`: code regions of a picture as rectangles.
#pragma once

#include <string>
#include <vector>

#include "vexolith.h"

namespace vxcli {

// How a picture is searched.
struct DetectOptions {
  int factor = 0;      // reduction of DetectCode; 0: the longer side brought to at most 800 pixels
  int level = -1;      // global threshold, 0..255 (at or below: black); -1: Otsu's level of the picture
  std::string marked;  // where to write the picture with the regions outlined; empty: nowhere
};

// The search of one picture.
struct DetectResult {
  bool ok = false;            // false when the picture could not be searched
  std::string fault;          // one line saying what went wrong, when ok is false
  int width = 0, height = 0;  // picture size in pixels
  int factor = 1;             // the reduction DetectCode worked with
  int level = 0;              // the threshold the picture was searched at
  std::vector<RECT> regions;  // picture pixels, y downward, right and bottom exclusive
};

// Thresholds a 24-bit picture whose row 0 is the top line and searches it;
// with options.marked, the regions are drawn on it in red and it is written
// there as a bitmap file (the picture's pixels change only then).
DetectResult DetectPicture(const IMG& picture, const DetectOptions& options);

// The level that best splits a gray picture into dark and light (Otsu):
// gray values 0..level are taken for black.
int OtsuLevel(const IMG& gray);

// One line "left top right bottom" per region, after a line "PATH:" when
// `header`.
std::string FormatDetectText(const std::string& path, const DetectResult& r, bool header);

// One JSON object on one line: {"file", "ok": true, "width", "height",
// "factor", "level", "regions": [[left, top, right, bottom] ...]}, or
// {"file", "ok": false, "error"}.
std::string FormatDetectJson(const std::string& path, const DetectResult& r);

}  // namespace vxcli
