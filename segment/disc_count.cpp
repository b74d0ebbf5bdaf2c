// Counting the pixels of an 8-bit image that lie in a disc: all of them,
// the black ones and those of value 128 (border marks).
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "image/buffer.h"
#include "image/numeric.h"
#include "vexolith/geometry.h"
#include "vexolith/segment.h"

namespace {

// Running counts, started from the caller's values so that the first
// value-128 pixel of a fresh count can be told apart.
struct DiscCounts {
  std::int64_t total, black, count128;
  C_POINTd centre;
  bool any128 = false;  // a value-128 pixel was met in this disc
};

// Counts one pixel; with `centre` the value-128 pixels are summed into it,
// the first of a fresh count replacing what the caller left there.
void CountPixel(DiscCounts& counts, unsigned char v, std::int64_t x, int y, bool centre) {
  ++counts.total;
  if (v == 0) ++counts.black;
  if (v != 128) return;
  ++counts.count128;
  counts.any128 = true;
  if (!centre) return;
  if (counts.count128 == 1) {
    counts.centre = C_POINTd{static_cast<double>(x), static_cast<double>(y)};
  } else {
    counts.centre.x += static_cast<double>(x);
    counts.centre.y += static_cast<double>(y);
  }
}

// Each row is walked outward from the column nearest the centre, leftward
// and then rightward, each walk stopping at the first pixel farther than r.
// Along a row the distance grows with every step away from that column, so
// the walks take exactly the row's pixels within r. When the centre column
// lies outside the image the walk starts at the nearest column inside
// instead: the pixels skipped between are closer to the centre than it,
// so the count is still the disc's pixels inside the image, and nothing
// outside the buffer is read.
void CountDisc(const IMG& img, double cx, double cy, double r, DiscCounts& counts, bool centre) {
  const std::int64_t x0 = std::max(vx::RoundHalfUp(cx - r), 0);
  const std::int64_t x1 = std::min(vx::RoundHalfUp(cx + r), img.width - 1);
  const int y0 = std::max(vx::RoundHalfUp(cy - r), 0);
  const int y1 = std::min(vx::RoundHalfUp(cy + r), img.height - 1);
  const std::int64_t xc = vx::RoundHalfUp(cx);
  for (int y = y0; y <= y1; ++y) {
    const unsigned char* row = vx::RowAt(img, y);
    for (std::int64_t x = std::min(xc, x1); x >= x0; --x) {
      if (LengthLine(cx, cy, static_cast<double>(x), y) > r) break;
      CountPixel(counts, row[x], x, y, centre);
    }
    for (std::int64_t x = std::max(xc + 1, x0); x <= x1; ++x) {
      if (LengthLine(cx, cy, static_cast<double>(x), y) > r) break;
      CountPixel(counts, row[x], x, y, centre);
    }
  }
}

// The shared body: 1 not an 8-bit image, 2 no pixels, 3 a null counter.
int Count(IMG img, double cx, double cy, double r, int* total, int* black, int* count128, C_POINTd* centre,
          bool with_centre) {
  if (img.gray != 1) return 1;
  if (img.valid == 0 || !vx::HasPixels(img)) return 2;
  if (total == nullptr || black == nullptr || count128 == nullptr || (with_centre && centre == nullptr))
    return 3;
  // A centre or radius that is not a number has no pixels within it.
  if (std::isnan(cx) || std::isnan(cy) || std::isnan(r)) return 0;
  DiscCounts counts{*total, *black, *count128, with_centre ? *centre : C_POINTd{0.0, 0.0}};
  CountDisc(img, cx, cy, r, counts, with_centre);
  // Counts are added with the wrap-around of 32-bit ints, should a caller
  // keep adding discs of a very large image.
  *total = static_cast<int>(counts.total);
  *black = static_cast<int>(counts.black);
  *count128 = static_cast<int>(counts.count128);
  // The sums become the mean position of the value-128 pixels. Without any
  // such pixel in this disc there is nothing to average: the centre stays
  // as the caller gave it (no division by a zero count).
  if (with_centre && counts.any128 && counts.count128 != 0) {
    centre->x = counts.centre.x / static_cast<double>(counts.count128);
    centre->y = counts.centre.y / static_cast<double>(counts.count128);
  }
  return 0;
}

}  // namespace

int ReturnCountBlackPoints(IMG img, double cx, double cy, double r, int* total, int* black, int* count128) {
  return Count(img, cx, cy, r, total, black, count128, nullptr, false);
}

int ReturnCountBlackPointsBr(IMG img, double cx, double cy, double r, int* total, int* black, int* count128,
                             C_POINTd* centre) {
  return Count(img, cx, cy, r, total, black, count128, centre, true);
}
