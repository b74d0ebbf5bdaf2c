// The point arrays of stored contours: one exact-size block per contour,
// owned by the CONTOUR and released only by its destructor or assignment.
#pragma once

#include <cstddef>
#include <cstring>

#include "vexolith/types.h"

namespace vx {

// A new array holding a copy of points[0 .. count).
inline C_POINT* DuplicatePoints(const C_POINT* points, std::size_t count) {
  C_POINT* copy = new C_POINT[count];
  if (count) std::memcpy(copy, points, count * sizeof(C_POINT));
  return copy;
}

inline void FreePoints(C_POINT* points) { delete[] points; }

}  // namespace vx
