// Working storage of one CONTOUR::Find: the search map, the two stacks and the
// collection buffer. It lives on Find's own stack frame and the object only
// points to it while Find runs, so every buffer is released on every return.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "contour/point_array.h"
#include "image/picture_bytes.h"
#include "vexolith/contour.h"

namespace vx {

// The search map holds one state byte per pixel of the search rectangle plus
// a one-pixel frame of kOther around it, so the neighbour probes of the fill
// and the walk never test coordinates: a frame pixel is never a candidate.
//
// Taken pixels are told apart by their own state, not by a pixel value, so a
// search for any colour (1 and 0 included) works; the caller's image is only
// read once, when the map is built.
enum MapState : unsigned char {
  kOther = 0,   // not the searched colour, or outside the search rectangle
  kFree = 1,    // searched colour, not yet taken by any region
  kTaken = 2,   // searched colour, taken by the region fill (or a region's start pixel)
  kWalked = 3,  // searched colour, visited by the running walk (reset when it ends)
};

inline constexpr int kFillStackLimit = 20000;  // pending pixels of the region fill
inline constexpr int kWalkStackLimit = 1000;   // branch points kept by the walk

// Neighbour offsets in the probe order of the fill: the row above left to
// right, then left and right, then the row below left to right.
inline constexpr int kFillDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
inline constexpr int kFillDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};

// Neighbour offsets in the probe order of the walk: east first, then
// clockwise (rows grow downward): SE, S, SW, W, NW, N, NE.
inline constexpr int kWalkDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
inline constexpr int kWalkDy[8] = {0, 1, 1, 1, 0, -1, -1, -1};

// The free neighbours of the map pixel at `at` as eight bits in the fill's
// probe order (bit k for kFillDx[k], kFillDy[k]). Eight byte loads combined
// without branches: testing them one by one costs a mispredicted branch at
// most pixels, and wider loads would wait for the byte stores of the
// previous steps, which cannot be forwarded to them.
inline unsigned FreeNeighbours(const unsigned char* map, std::ptrdiff_t at, std::ptrdiff_t pitch) {
  const unsigned char* above = map + at - pitch;
  const unsigned char* row = map + at;
  const unsigned char* below = map + at + pitch;
  auto free = [](unsigned char state, int bit) { return static_cast<unsigned>(state == kFree) << bit; };
  return free(above[-1], 0) | free(above[0], 1) | free(above[1], 2) | free(row[-1], 3) | free(row[1], 4) |
         free(below[-1], 5) | free(below[0], 6) | free(below[1], 7);
}

}  // namespace vx

struct CONTOUR::Scratch {
  struct PointsFree {
    void operator()(C_POINT* p) const { vx::FreePoints(p); }
  };

  int left = 0;                                 // image x of the search rectangle's first column
  int top = 0;                                  // image y of the search rectangle's first row
  std::ptrdiff_t pitch = 0;                     // bytes per map row: rectangle width + 2
  std::ptrdiff_t fill_step[8];                  // map offsets of the fill's neighbours, probe order
  std::ptrdiff_t walk_step[8];                  // map offsets of the walk's neighbours, probe order
  vx::OwnedBytes block;                         // the map, then the two stacks (MapBytes)
  unsigned char* map = nullptr;                 // (width + 2) x (height + 2) MapState bytes
  C_POINT* fill_stack = nullptr;                // kFillStackLimit pending pixels
  C_POINT* walk_stack = nullptr;                // kWalkStackLimit branch points
  std::unique_ptr<C_POINT, PointsFree> points;  // the collection buffer cur_points points into
  std::size_t capacity = 0;                     // points the collection buffer holds

  Scratch(RECT search, std::size_t initial_capacity)
      : left(search.left),
        top(search.top),
        pitch(static_cast<std::ptrdiff_t>(search.right) - search.left + 2),
        block(
            vx::AllocBytes(MapBytes(search) + (vx::kFillStackLimit + vx::kWalkStackLimit) * sizeof(C_POINT))),
        map(block.get()),
        fill_stack(reinterpret_cast<C_POINT*>(block.get() + MapBytes(search))),
        walk_stack(fill_stack + vx::kFillStackLimit),
        points(vx::AllocPointsBlock(initial_capacity)),
        capacity(initial_capacity) {
    // The frame: first and last map rows whole, first and last byte of the
    // others. Find writes every inside byte from the image.
    const std::size_t rows = static_cast<std::size_t>(search.bottom) - search.top + 2;
    std::memset(map, vx::kOther, static_cast<std::size_t>(pitch));
    std::memset(map + (rows - 1) * pitch, vx::kOther, static_cast<std::size_t>(pitch));
    for (std::size_t y = 1; y + 1 < rows; ++y) {
      map[y * pitch] = vx::kOther;
      map[y * pitch + pitch - 1] = vx::kOther;
    }
    for (int k = 0; k < 8; ++k) {
      fill_step[k] = vx::kFillDy[k] * pitch + vx::kFillDx[k];
      walk_step[k] = vx::kWalkDy[k] * pitch + vx::kWalkDx[k];
    }
  }

  // Bytes of the map of a search rectangle, rounded up to whole points so
  // that the stacks after it are aligned. All of Find's working storage but
  // the collection buffer is one block: a picture-sized one is reused from
  // the allocator's kept blocks, where separate small ones came as fresh
  // pages of the C library's heap on every Find.
  static std::size_t MapBytes(RECT search) {
    const std::size_t bytes = (static_cast<std::size_t>(search.right) - search.left + 2) *
                              (static_cast<std::size_t>(search.bottom) - search.top + 2);
    return (bytes + sizeof(C_POINT) - 1) / sizeof(C_POINT) * sizeof(C_POINT);
  }

  // Map offset of image pixel (x, y), which lies inside the search rectangle.
  std::ptrdiff_t Index(int x, int y) const { return (y - top + 1) * pitch + (x - left + 1); }

  // The first count collected points as a stored contour's array.
  C_POINT* TakePoints(std::size_t count) const { return vx::DuplicatePoints(points.get(), count); }

  // Appends (x, y) to the collection buffer, doubling it when full. A region
  // is kept whole however large it is; Find bounds the search rectangle so
  // that the count (at most twice its pixels) fits cur_count.
  void Append(CONTOUR& owner, int x, int y) {
    if (static_cast<std::size_t>(owner.cur_count) == capacity) Grow(owner);
    owner.cur_points[owner.cur_count++] = C_POINT{x, y};
  }

  // Doubles the collection buffer.
  void Grow(CONTOUR& owner) {
    std::size_t grown = std::max<std::size_t>(2 * capacity, 64);
    C_POINT* bigger = vx::GrowPoints(points.get(), static_cast<std::size_t>(owner.cur_count), grown);
    points.release();
    points.reset(bigger);
    capacity = grown;
    owner.cur_points = points.get();
  }

  // The fill and the walk write the map one byte at a time, and a byte store
  // may alias anything, so the compiler would reload the object's collection
  // fields after every store. They work on this local copy instead and put it
  // back when they end.
  class Collector {
   public:
    Collector(CONTOUR& owner, Scratch& s)
        : owner_(owner), s_(s), points_(owner.cur_points), count_(owner.cur_count), capacity_(s.capacity) {}
    ~Collector() { owner_.cur_count = count_; }

    void Append(int x, int y) {
      if (static_cast<std::size_t>(count_) == capacity_) {
        owner_.cur_count = count_;
        s_.Grow(owner_);
        points_ = owner_.cur_points;
        capacity_ = s_.capacity;
      }
      points_[count_++] = C_POINT{x, y};
    }
    // Room for n more points at the end of the list; Commit(m) then lists
    // the first m of them (m <= n).
    C_POINT* Reserve(std::size_t n) {
      if (static_cast<std::size_t>(count_) + n > capacity_) {
        owner_.cur_count = count_;
        while (static_cast<std::size_t>(count_) + n > s_.capacity) s_.Grow(owner_);
        points_ = owner_.cur_points;
        capacity_ = s_.capacity;
      }
      return points_ + count_;
    }
    void Commit(int m) { count_ += m; }

    int count() const { return count_; }
    const C_POINT* points() const { return points_; }

   private:
    CONTOUR& owner_;
    Scratch& s_;
    C_POINT* points_;
    int count_;
    std::size_t capacity_;
  };
};
