// Drawn figures with known truth, as the reader's cell-level tests see them.
#pragma once

#include <cmath>

#include "reader/cells.h"
#include "reader/geometry.h"
#include "tools/test_picture.h"

namespace vx::reader {

inline IMG View(const vxgen::Picture& p) {
  return IMG{const_cast<unsigned char*>(p.bgr.data()), p.width, p.width * 3, p.height, 1, 0};
}

inline Quad Corners(const vxgen::Truth& t) {
  Quad q{};
  for (int k = 0; k < 4; ++k) q[k] = {t.corners[k].x, t.corners[k].y};
  return q;
}

// The mean cell's side, pixels.
inline double CellPixels(const Quad& q, int rows, int cols) {
  return std::sqrt(std::fabs(TwiceSignedArea(q)) / 2.0 / (static_cast<double>(rows) * cols));
}

// The reading stands and every verdict is the drawn one.
inline bool Right(const CellReading& r, const vxgen::Truth& t) {
  if (!r.ok) return false;
  for (std::size_t k = 0; k < r.black.size(); ++k)
    if (static_cast<bool>(r.black[k]) != static_cast<bool>(t.black[k])) return false;
  return true;
}

}  // namespace vx::reader
