// Writing the pixels of a threshold region.
#pragma once

#include "image/buffer.h"

namespace vx {

// Writes black (0) or white (255) to the bytes of a binary pixel.
template <int kBytesPerPixel>
inline void SetBinary(unsigned char* px, bool white) {
  const unsigned char v = white ? 255 : 0;
  for (int c = 0; c < kBytesPerPixel; ++c) px[c] = v;
}

}  // namespace vx
