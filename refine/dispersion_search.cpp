// Edge refinement by run dispersion: along the true edge the runs of a probe
// are the regular cells and lines of the figure, so the turn whose
// neighbourhood of five angles gives the least spread of run lengths wins.
#include <algorithm>
#include <cmath>

#include "refine/run_table.h"
#include "refine/search_log.h"
#include "refine/search_rules.h"
#include "vexolith/geometry.h"
#include "vexolith/refine.h"

namespace {

using vx::FanAngle;
using vx::kWindow;

// Score tables live in the call's own storage: 2n + 1 angles, n at most 100.
constexpr int kMaxSteps = 100;
constexpr int kMaxAngles = 2 * kMaxSteps + 1;

// AccuracyLine1 drops probes of six runs or fewer with this score, so such
// angles never win while a reliable one exists.
constexpr double kUnreliable = 10000000.0;
constexpr int kMinReliableRuns = 7;

}  // namespace

extern "C" {

F_LINE AccuracyLine(IMG img, F_LINE line, double px, double py, double maxAngle, int n, double halfLen) {
  // Five angles make the first window, so n starts at 2; beyond 100 the
  // tables would overflow. Outside that range nothing is probed or logged
  // and the edge stays as given.
  if (n < 2 || n > kMaxSteps) return line;
  // A line without an equation cannot be turned: it comes back as it is.
  if (line.dir != 1 && line.dir != 2) return line;
  const int angles = 2 * n + 1;
  const int windows = angles - (kWindow - 1);

  // A probe that records no run (it missed the image) has no dispersion;
  // it scores worse than any probe of the segment can: the spread of run
  // lengths that together span at most 2 * halfLen + 3 samples stays below
  // (halfLen + 2)^2.
  const double empty_score = std::max(kUnreliable, (std::fabs(halfLen) + 2) * (std::fabs(halfLen) + 2));

  double score[kMaxAngles];
  for (int i = 0; i < angles; ++i) {
    const F_LINE f = TurnLine(line, FanAngle(i, n, maxAngle), px, py);
    vx::Probe(img, f, vx::CentredSegment(f, px, py, halfLen));
    const int runs = vx::Runs().runCount;
    score[i] = runs > 0 ? vx::RunDispersion(0, runs) : empty_score;
  }

  double window[kMaxAngles];
  vx::FiveAngleSums(score, windows, window);
  int best = vx::LowestWindow(window, windows);
  best = vx::PeakAdjusted(window, windows, best);

  vx::WriteDecimalCommaLog("dd.log", score, angles);
  vx::WriteDecimalCommaLog("dd1.log", window, windows);
  return TurnLine(line, FanAngle(best + 2, n, maxAngle), px, py);
}

F_LINE AccuracyLine1(IMG img, F_LINE line, double x1, double y1, double x2, double y2, double maxAngle,
                     int n) {
  // Here the last window is not formed, so six windows' worth of angles
  // (n = 3) is the least that leaves one; beyond 100 the tables overflow.
  // Outside that range nothing is probed or logged and the edge stays.
  if (n < 3 || n > kMaxSteps) return line;
  if (line.dir != 1 && line.dir != 2) return line;
  const int angles = 2 * n + 1;
  const int windows = 2 * n - 4;
  // Black counted over the first and the last w angles tells which end of
  // the fan looks into the figure.
  const int w = n < kWindow ? n : kWindow;
  int sum_first = 0, sum_last = 0;

  double score[kMaxAngles];
  for (int i = 0; i < angles; ++i) {
    const F_LINE f = TurnLine(line, FanAngle(i, n, maxAngle), x1, y1);
    const double along = f.dir == 1 ? x2 - x1 : y2 - y1;
    vx::Probe(img, f, vx::SegmentTowards(f, x1, y1, x2, y2, std::fabs(along)));
    if (vx::Runs().runCount >= kMinReliableRuns) {
      const vx::UsedRuns used = vx::RunsBetweenEnds();
      score[i] = vx::RunDispersion(used.first, used.count);
    } else {
      score[i] = kUnreliable;
    }
    if (i < w) sum_first += vx::BlackLength();
    if (i >= angles - w) sum_last += vx::BlackLength();
  }

  double window[kMaxAngles];
  vx::FiveAngleSums(score, windows, window);
  const int best = vx::LowestWindow(window, windows);
  // More black at the negative-angle end: the plateau is followed down.
  const int r = vx::PlateauEnd(window, windows, best, sum_last > sum_first);

  vx::WriteDecimalCommaLog("dd.log", score, 2 * n - 5);
  vx::WriteDecimalCommaLog("dd1.log", window, windows);
  return TurnLine(line, FanAngle(r + 2, n, maxAngle), x1, y1);
}

}  // extern "C"
