// The point arrays of stored contours: one exact-size array per contour,
// owned by the CONTOUR and released only by its destructor or assignment.
//
// Small arrays (below kChunkedBytes) are cut one after the other from
// shared 8 MiB chunks of picture-sized memory (huge pages, kept for reuse;
// image/blocks.cpp). A Find stores up to 10000 of them, one just after the
// other: from the C library's heap each fresh 4 KiB page they fill cost a
// page fault, on a virtual machine about 11 us, or 20 ns for each point
// stored. A chunk goes back when its last array is released.
//
// Larger arrays are blocks of their own from the same allocator (2 MiB
// aligned, huge pages). Find collects a region's points in a buffer of its
// own that it keeps for the whole scan and copies each region out of: a
// buffer grown by realloc would move to addresses where huge pages cannot
// be used, and a new buffer per large region would fault in fresh pages.
//
// Every array is preceded by a 16-byte header naming its chunk (null for a
// block of its own), so that FreePoints knows where it came from.
#pragma once

#include <cstddef>

#include "vexolith/types.h"

namespace vx {

// Arrays from this size on are blocks of their own.
inline constexpr std::size_t kChunkedBytes = std::size_t{2} << 20;

// An array for count points (at least one, so that it is never null), cut
// from a chunk when small; allocation failure throws std::bad_alloc like new[].
C_POINT* AllocPoints(std::size_t count);

// An array for count points that is a block of its own.
C_POINT* AllocPointsBlock(std::size_t count);

// A block of its own grown to count points (at least its size), its first
// `kept` points copied over; the old block is released. Throws
// std::bad_alloc when the larger block cannot be had (the old one stays).
C_POINT* GrowPoints(C_POINT* points, std::size_t kept, std::size_t count);

// A new array holding a copy of points[0 .. count).
C_POINT* DuplicatePoints(const C_POINT* points, std::size_t count);

// Releases an array from any of the above; null is ignored.
void FreePoints(C_POINT* points);

}  // namespace vx
