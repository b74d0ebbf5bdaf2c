// Line probes: the black and white runs along a segment of a binary image,
// kept in the process-wide run table, and the readers of that table.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "image/numeric.h"
#include "refine/run_table.h"
#include "vexolith/geometry.h"
#include "vexolith/refine.h"

namespace {

using vx::kMaxRuns;

bool Inside(IMG img, int x, int y) {
  return img.bits != nullptr && x >= 0 && y >= 0 && x < img.width && y < img.height;
}

unsigned char PixelAt(IMG img, int x, int y) {
  return img.bits[static_cast<std::ptrdiff_t>(y) * img.stride + x];
}

void OpenFirstRun(vx::RunTable& t, unsigned char colour) {
  t.runLength[0] = 1;
  t.runColour[0] = colour;
  t.runCount = 1;
}

// Ends of a walk must give pixel coordinates: beyond the 32-bit range (or not
// numbers) the rounding saturates and the walk would never reach its end.
bool WalkableEnd(double v) { return vx::FitsRoundHalfUp(v + 1.0) && vx::FitsRoundHalfUp(v - 1.0); }

// Samples skipped ahead of the image before a unit-step walk jumps instead of
// stepping; a walk that starts nearer steps every sample.
constexpr double kFarApproach = 1024.0;

}  // namespace

extern "C" {

int BlackWhite(IMG img, int step, int x, int y) {
  if (!Inside(img, x, y)) return 0;
  vx::RunTable& t = vx::Runs();
  const unsigned char colour = PixelAt(img, x, y) == 0 ? 1 : 0;
  if (step == 0) {
    OpenFirstRun(t, colour);
    return 1;
  }
  if (t.runCount <= 0) {
    // Every earlier sample of this probe fell outside the image.
    OpenFirstRun(t, colour);
    return 0;
  }
  if (colour == t.runColour[t.runCount - 1]) {
    ++t.runLength[t.runCount - 1];
    return 0;
  }
  // A host sampling on after the table filled gets "full" again, and no
  // entry beyond the table is written.
  if (t.runCount >= kMaxRuns) return 2;
  t.runColour[t.runCount] = colour;
  t.runLength[t.runCount] = 1;
  ++t.runCount;
  return t.runCount >= kMaxRuns ? 2 : 0;
}

int OnBlackWhite(IMG img, double x1, double y1, double x2, double y2, F_LINE line) {
  vx::Runs().runCount = 0;
  // The walk steps along the free coordinate: x for dir 1, y otherwise.
  // x is rounded, y truncated; the other coordinate is always rounded.
  const bool x_free = line.dir == 1;
  const double from = x_free ? x1 : y1;
  const double to = x_free ? x2 : y2;
  if (!WalkableEnd(from) || !WalkableEnd(to)) return 0;
  const double s = from > to ? -1.0 : 1.0;
  const int stop = vx::RoundHalfUp(to + s);
  const int limit = x_free ? img.width : img.height;
  auto free_at = [&](std::int64_t i) {
    const double v = from + s * static_cast<double>(i);
    return x_free ? vx::RoundHalfUp(v) : static_cast<int>(v);
  };

  // Samples outside the image change nothing, and the free coordinate moves
  // by 0 or 1 per step. So a segment that ends before the image is not
  // walked at all, a start far before the image is skipped, and the walk
  // ends as soon as it has passed the far side: the run table comes out as
  // from the full walk, in at most about two steps per row or column.
  if (s > 0 ? stop <= 0 : stop >= limit - 1) return 0;
  std::int64_t i = -1;
  const double approach = s > 0 ? -2.0 - from : from - (static_cast<double>(limit) + 1.0);
  if (approach > 0.0) i = static_cast<std::int64_t>(std::ceil(approach));

  for (;; ++i) {
    const int free = free_at(i);
    if (free == stop) break;
    if (s > 0 ? free >= limit : free < 0) break;
    const int other = vx::RoundHalfUp(static_cast<double>(free) * line.k + line.b);
    const int step = i + 1 == 0 ? 0 : 1;  // only the first sample restarts the table
    const int got = x_free ? BlackWhite(img, step, free, other) : BlackWhite(img, step, other, free);
    if (got >= 2) break;
  }
  return 0;
}

int ReturnDifference(IMG img, double x1, double y1, double x2, double y2, F_LINE line, int flags) {
  OnBlackWhite(img, x1, y1, x2, y2, line);
  const vx::RunTable& t = vx::Runs();
  int r = t.runCount;
  if ((flags & 1) != 0 && r > 0) {
    if (t.runColour[0] == 0) --r;
    if (t.runColour[t.runCount - 1] == 0) --r;
  }
  return r;
}

int* ReturnArrayBlackWhite(int flags) {
  vx::RunTable& t = vx::Runs();
  // Skipping a white first run needs a second run to point at; otherwise
  // the first run is the answer.
  if ((flags & 1) != 0 && t.runCount > 1 && t.runColour[0] == 0) return &t.runLength[1];
  return &t.runLength[0];
}

int ReturnNumArray(int index) {
  const vx::RunTable& t = vx::Runs();
  // Entries beyond the latest probe's runs are stale: 0, which no recorded
  // run (length at least 1) can give.
  if (index < 0 || index >= t.runCount) return 0;
  return t.runColour[index] * 10000 + t.runLength[index];
}

C_POINTd ReturnFirstPoint(IMG img, F_LINE line, double x1, double y1, double x2, double y2,
                          unsigned char value1, unsigned char value2) {
  const C_POINTd none{-1.0, -1.0};
  if (img.gray != 1 || img.bits == nullptr) return none;
  // Only dir 1 and 2 say which coordinate to step; any other line would
  // never move.
  if (line.dir != 1 && line.dir != 2) return none;
  const bool x_free = line.dir == 1;
  const double from = x_free ? x1 : y1;
  const double to = x_free ? x2 : y2;
  // A walk needs ends it can step between: not numbers, or so large that a
  // unit step is lost in rounding, it would never leave the interval.
  if (!WalkableEnd(from) || !WalkableEnd(to)) return none;
  const double step = from < to ? 1.0 : -1.0;
  const int limit = x_free ? img.width : img.height;

  double cur = from;
  // A start far before the image jumps to just before it in one addition;
  // no point it passes over can match. Nearer starts step every unit.
  const double approach = step > 0 ? -2.0 - from : from - (static_cast<double>(limit) + 1.0);
  if (approach > kFarApproach) cur = from + step * std::floor(approach);

  for (;;) {
    cur += step;
    if ((cur < from && cur < to) || (cur > from && cur > to)) break;
    // Past the image's far side nothing can match any more.
    if (step > 0 ? cur >= limit : cur <= -1.0) break;
    const double other = line.k * cur + line.b;
    const double px = x_free ? cur : other;
    const double py = x_free ? other : cur;
    const C_POINT p = PointDI(px, py);
    if (Inside(img, p.x, p.y)) {
      const unsigned char v = PixelAt(img, p.x, p.y);
      if (v == value1 || v == value2) return C_POINTd{px, py};
    }
  }
  return none;
}

}  // extern "C"
