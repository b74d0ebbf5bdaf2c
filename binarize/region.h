// The part of a threshold region that lies inside its image.
#pragma once

#include <algorithm>

#include "vexolith/types.h"

namespace vx {

// Regions have exclusive right and bottom. A region reaching outside the
// image is cut to it instead of writing outside the buffer; the result may
// be empty (right <= left or bottom <= top).
inline RECT ClipRegion(const IMG& img, const RECT& region) {
  return RECT{std::max(region.left, 0), std::max(region.top, 0), std::min(region.right, img.width),
              std::min(region.bottom, img.height)};
}

inline bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Writes black (0) or white (255) to the bytes of a binary pixel.
template <int kBytesPerPixel>
inline void SetBinary(unsigned char* px, bool white) {
  const unsigned char v = white ? 255 : 0;
  for (int c = 0; c < kBytesPerPixel; ++c) px[c] = v;
}

}  // namespace vx
