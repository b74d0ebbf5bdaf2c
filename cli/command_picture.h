// Picture files for the detect, segment and histogram commands, held in
// the library's owning image with rows top-down, so that rectangles come
// out with y downward.
#pragma once

#include <string>

#include "vexolith.h"

namespace vxcli {

// Loads a picture file (any format OpenGraphFile reads) into `out` with its
// rows top-down; empty when loaded, otherwise the fault.
std::string LoadTopDown(const std::string& path, vexolith::Image& out);

// Writes a top-down picture as a bitmap file (bottom line first, as bitmap
// files keep it). The picture's rows are turned for the write and back.
bool SaveTopDown(const IMG& picture, const std::string& path);

}  // namespace vxcli
