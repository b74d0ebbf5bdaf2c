// The point arrays of stored contours: one exact-size block per contour,
// owned by the CONTOUR and released only by its destructor or assignment.
//
// The blocks come from malloc so that Find can hand a large collection
// buffer over to the store and shrink it in place (realloc) instead of
// copying its points into a fresh block.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "image/huge_pages.h"
#include "vexolith/types.h"

namespace vx {

// A block for count points (at least one, so that it is never null);
// allocation failure throws std::bad_alloc like new[].
inline C_POINT* AllocPoints(std::size_t count) {
  const std::size_t bytes = (count ? count : 1) * sizeof(C_POINT);
  void* block = std::malloc(bytes);
  if (block == nullptr) throw std::bad_alloc();
  AdviseHugePages(block, bytes);
  return static_cast<C_POINT*>(block);
}

// A new array holding a copy of points[0 .. count).
inline C_POINT* DuplicatePoints(const C_POINT* points, std::size_t count) {
  C_POINT* copy = AllocPoints(count);
  if (count) std::memcpy(copy, points, count * sizeof(C_POINT));
  return copy;
}

// The block cut to its first count points; the same block when it cannot
// be cut.
inline C_POINT* ShrinkPoints(C_POINT* points, std::size_t count) {
  void* cut = std::realloc(points, (count ? count : 1) * sizeof(C_POINT));
  return cut ? static_cast<C_POINT*>(cut) : points;
}

inline void FreePoints(C_POINT* points) { std::free(points); }

}  // namespace vx
