// The core of `vexolith histogram`: the brightness histogram of a picture
// or an area of it, as numbers and as a bar chart picture.
#pragma once

#include <string>
#include <vector>

#include "vexolith.h"

namespace vxcli {

// What a histogram can be told.
struct HistogramSettings {
  int bins = 16;          // number of bins, 1 .. 256
  bool whole = true;      // the whole picture; false: `area` only
  RECT area{};            // inclusive bounds, y downward, inside the picture
  std::string chart;      // where to write the bar chart; empty: nowhere
  int chart_width = 512;  // chart size in pixels
  int chart_height = 256;
};

// The histogram of one picture.
struct HistogramResult {
  bool ok = false;        // false when no histogram could be made
  std::string fault;      // one line saying what went wrong, when ok is false
  int total = 0;          // pixels counted
  int largest = -1;       // index of the largest bin, the first of equal ones
  std::vector<int> bins;  // the counts, bin i holding the gray values v with v * bins / 256 == i
};

// The histogram of a picture whose row 0 is the top line, 24-bit (taken in
// gray) or gray; its pixels are not changed. With settings.chart, the bar
// chart is written there as a bitmap file, bars standing on the bottom line.
HistogramResult HistogramOfPicture(IMG picture, const HistogramSettings& settings);

// "total T, largest bin L" and a line with the counts separated by spaces,
// after a line "PATH:" when `header`.
std::string FormatHistogramText(const std::string& path, const HistogramResult& r, bool header);

// One JSON object on one line: {"file", "ok": true, "total", "largest",
// "bins": [...]}, or {"file", "ok": false, "error"}.
std::string FormatHistogramJson(const std::string& path, const HistogramResult& r);

}  // namespace vxcli
