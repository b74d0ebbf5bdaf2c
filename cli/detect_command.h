// The core of `vexolith detect`: code regions of picture files as rectangles.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "vexolith.h"

namespace vxcli {

// How the pictures are searched.
struct DetectOptions {
  int factor = 0;      // reduction of DetectCode; 0: the longer side brought to at most 800 pixels
  int level = -1;      // global threshold, 0..255 (at or below: black); -1: Otsu's level of the picture
  bool json = false;   // one JSON object per picture instead of text lines
  std::string marked;  // where to write the picture with the regions outlined; empty: nowhere
};

// The search of one picture.
struct DetectResult {
  bool ok = false;            // false when the picture could not be loaded or searched
  std::string fault;          // one line saying what went wrong, when ok is false
  int width = 0, height = 0;  // picture size in pixels
  int factor = 1;             // the reduction DetectCode worked with
  std::vector<RECT> regions;  // picture pixels, y downward, right and bottom exclusive
};

// Loads, thresholds and searches a picture file (any format OpenGraphFile reads).
DetectResult DetectPictureFile(const std::string& path, const DetectOptions& options);

// Runs `vexolith detect` with the arguments after "detect": picture paths
// and --factor N, --level N, --json, --marked OUT. Text output is one line
// "left top right bottom" per region (after a line "PATH:" when several
// pictures are given). Returns 0 all searched, 1 some failed, 2 bad command line.
int RunDetect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vxcli
