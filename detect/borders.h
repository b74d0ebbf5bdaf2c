// Border marking shared by the exported operations and DetectCode.
#pragma once

#include "vexolith/types.h"

namespace vx {

inline constexpr unsigned char kBorderMark = 128;  // byte 0 of a border pixel

// True when the image can be marked: `valid` set and pixels that can be addressed.
bool Markable(const IMG& img);

// AllocationBorders for an image that passes Markable.
void MarkInnerBorders(const IMG& img);

}  // namespace vx
