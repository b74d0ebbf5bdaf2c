// Caps for fuzzing: small enough that no input can make a reader allocate
// more than a few tens of megabytes (a 2^22-pixel picture is 12 MiB), so
// the fuzzer's memory limit only trips on real leaks or runaway growth.
#pragma once

#include "image/picture_canvas.h"

namespace vxfuzz {

inline vx::PictureLimits Limits() {
  vx::PictureLimits limits;
  limits.max_pixels = std::int64_t{1} << 22;
  limits.max_file_bytes = std::uint64_t{1} << 24;
  return limits;
}

}  // namespace vxfuzz
