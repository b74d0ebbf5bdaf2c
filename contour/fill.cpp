// The region fill: collects every pixel 8-connected to a start pixel, depth
// first with an explicit stack of at most 20000 pending pixels.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "contour/scratch.h"
#include "vexolith/contour.h"

namespace {

// Neighbours (as bits of the fill's probe order) left of, right of, above
// and below the current pixel.
constexpr unsigned kLeftBits = 1u << 0 | 1u << 3 | 1u << 5;
constexpr unsigned kRightBits = 1u << 2 | 1u << 4 | 1u << 7;
constexpr unsigned kAboveBits = 0x07u;
constexpr unsigned kBelowBits = 0xE0u;

// A point as one 64-bit word, x in the low half and y in the high half, as
// a C_POINT lies in memory. A neighbour is the word plus its packed offset:
// a free neighbour lies inside the search rectangle, so x + dx is never
// negative and the low half never borrows from the high one.
std::uint64_t Pack(C_POINT p) {
  std::uint64_t v;
  std::memcpy(&v, &p, sizeof v);
  return v;
}

constexpr std::uint64_t PackedOffset(int dx, int dy) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(dy) << 32) + static_cast<std::uint64_t>(dx);
}

constexpr std::uint64_t kPackedFill[8] = {PackedOffset(-1, -1), PackedOffset(0, -1), PackedOffset(1, -1),
                                          PackedOffset(-1, 0),  PackedOffset(1, 0),  PackedOffset(-1, 1),
                                          PackedOffset(0, 1),   PackedOffset(1, 1)};

}  // namespace

// From the current pixel all eight neighbours are probed and every free one
// is taken at once (so each pixel is listed exactly once, when first found).
// The fill then moves to the first one found and keeps the others pending,
// pushed in reverse probe order so the second found is popped first. When a
// push brings the stack to 20000 entries the fill stops: the pending pixels
// are already listed, and the untaken rest of the region is left for the scan,
// which stores it as further contours.
//
// The next pixel follows from the neighbour bits alone, so the next probe's
// loads need not wait for the listing of this step's pixels.
void CONTOUR::FindBorderPoint(int x, int y) {
  Scratch& s = *scratch_;
  Scratch::Collector out(*this, s);
  unsigned char* const map = s.map;
  C_POINT* const stack = s.fill_stack;
  const std::ptrdiff_t pitch = s.pitch;
  const int left = s.left, top = s.top;
  auto index = [=](int px, int py) { return (py - top + 1) * pitch + (px - left + 1); };
  std::ptrdiff_t step[8];
  std::copy(s.fill_step, s.fill_step + 8, step);
  RECT box = cur_rect;
  int depth = 0;
  C_POINT p{x, y};
  std::ptrdiff_t at = index(x, y);
  for (;;) {
    const unsigned free = vx::FreeNeighbours(map, at, pitch);
    if (free == 0) {
      if (depth == 0) break;
      p = stack[--depth];
      at = index(p.x, p.y);
      continue;
    }
    const std::uint64_t packed = Pack(p);
    C_POINT* listed = out.Reserve(8);
    int n = 0;
    for (unsigned bits = free; bits != 0; bits &= bits - 1) {
      const int k = std::countr_zero(bits);
      map[at + step[k]] = vx::kTaken;
      const std::uint64_t q = packed + kPackedFill[k];
      std::memcpy(listed + n++, &q, sizeof q);
    }
    out.Commit(n);
    box.left = std::min(box.left, p.x - ((free & kLeftBits) != 0));
    box.right = std::max(box.right, p.x + ((free & kRightBits) != 0));
    box.top = std::min(box.top, p.y - ((free & kAboveBits) != 0));
    box.bottom = std::max(box.bottom, p.y + ((free & kBelowBits) != 0));
    // The others, last found first.
    for (int i = n - 1; i >= 1; --i) {
      stack[depth++] = listed[i];
      if (depth == vx::kFillStackLimit) {
        cur_rect = box;
        return;
      }
    }
    p = listed[0];
    at += step[std::countr_zero(free)];
  }
  cur_rect = box;
}
