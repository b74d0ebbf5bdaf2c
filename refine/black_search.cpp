// Edge refinement by run count and by black length. Both probe from the
// pivot toward the second point, and index n of the fan is the input line
// itself rather than the line moved through the pivot.
#include <climits>
#include <cmath>
#include <memory>
#include <new>

#include "refine/run_table.h"
#include "refine/search_log.h"
#include "refine/search_rules.h"
#include "vexolith/geometry.h"
#include "vexolith/refine.h"

namespace {

using vx::FanAngle;
using vx::kWindow;

// AccuracyLine2 accepts a probe only when its used runs are this regular
// (dispersion of their lengths below the limit) and cover more than this
// share of the probe's length.
constexpr double kMaxDispersion = 100.0;
constexpr double kMinCover = 0.6;
// Scores divide by the number of used runs to this power: more runs of the
// same regularity are much better evidence of the figure's cells.
constexpr double kCountPower = 1.7;

F_LINE FanLine(F_LINE line, int i, int n, double maxAngle, double x1, double y1) {
  if (i == n) return line;
  return TurnLine(line, FanAngle(i, n, maxAngle), x1, y1);
}

void ProbeAt(IMG img, F_LINE f, double x1, double y1, double x2, double y2, double len) {
  vx::Probe(img, f, vx::SegmentTowards(f, x1, y1, x2, y2, len));
}

}  // namespace

extern "C" {

F_LINE AccuracyLine2(IMG img, F_LINE line, double x1, double y1, double x2, double y2, double maxAngle,
                     double /*spare*/, int n) {
  // n = 0 has no fan (the angle step divides by n); negative n none either.
  // Past INT_MAX / 2 the last index would not fit. The edge stays as given.
  if (n < 1 || n > (INT_MAX - 1) / 2) return line;
  // A line without an equation cannot be turned: it comes back as it is.
  if (line.dir != 1 && line.dir != 2) return line;
  const double len = LengthLine(x2, y2, x1, y1);
  const int third = n / 3;
  double best_index = n;
  double best_d = 0.0;
  int best_count = 1;
  int stage = 0;

  for (int i = 0; i <= 2 * n; ++i) {
    ProbeAt(img, FanLine(line, i, n, maxAngle, x1, y1), x1, y1, x2, y2, len);
    if (stage > 0) {
      ++stage;
      if (stage >= third) break;
    }
    const vx::RunTable& t = vx::Runs();
    // At least 8 runs when the first is white, 7 when it is black, so that
    // six runs remain between the ends.
    if (!(t.runCount > 7 - t.runColour[0])) continue;
    const vx::UsedRuns used = vx::RunsBetweenEnds();
    const double d = vx::RunDispersion(used.first, used.count);
    if (!(d < kMaxDispersion)) continue;
    if (!(static_cast<double>(vx::RunLengthSum(used.first, used.count)) > kMinCover * len)) continue;

    // Angles after the first accepted one pay one unit of dispersion per
    // step beyond third / 10 + 1.
    int penalty = stage - (third / 10 + 1);
    if (penalty < 0) penalty = 0;
    const double best_score = std::sqrt(best_d) / std::pow(best_count, kCountPower);
    const double score = std::sqrt(penalty + d) / std::pow(used.count, kCountPower);
    if (stage <= 2 || score < best_score) {
      best_index = i;
      best_d = penalty + d;
      best_count = used.count;
    }
    if (stage >= third) break;
    if (stage == 0) stage = 1;
  }

  if (best_index == n) return line;
  double angle;
  if (best_index < n) {
    angle = maxAngle - maxAngle * best_index / n;
  } else {
    angle = 0 - (best_index - n) * maxAngle / n;
  }
  return TurnLine(line, angle, x1, y1);
}

F_LINE AccuracyLineBlack(IMG img, F_LINE line, double x1, double y1, double x2, double y2, double maxAngle,
                         double /*spare*/, int n) {
  // Five angles make the first window, so n starts at 2 (n = 0 would also
  // divide by zero). Past INT_MAX / 2 the table sizes would not fit. The
  // edge stays as given and nothing is probed or logged.
  if (n < 2 || n > (INT_MAX - 1) / 2) return line;
  if (line.dir != 1 && line.dir != 2) return line;
  const int angles = 2 * n + 1;
  const int windows = angles - (kWindow - 1);
  // The tables are sized from n, which has no upper limit here; a table that
  // cannot be had leaves the edge as given.
  std::unique_ptr<int[]> black(new (std::nothrow) int[angles]);
  std::unique_ptr<int[]> window(new (std::nothrow) int[windows]);
  if (!black || !window) return line;

  const double len = LengthLine(x2, y2, x1, y1);
  for (int i = 0; i < angles; ++i) {
    ProbeAt(img, FanLine(line, i, n, maxAngle, x1, y1), x1, y1, x2, y2, len);
    black[i] = vx::BlackLength();
  }
  vx::FiveAngleSums(black.get(), windows, window.get());
  // One past the best window's centre.
  const int r = vx::LargestWindow(window.get(), windows) + 3;

  vx::WriteIntegerLog("black.log", black.get(), angles);
  vx::WriteIntegerLog("black1.log", window.get(), windows);
  return FanLine(line, r, n, maxAngle, x1, y1);
}

}  // extern "C"
