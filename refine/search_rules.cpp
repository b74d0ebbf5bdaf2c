// The angle fan, probe segments, run scores and window rules of the searches.
#include "refine/search_rules.h"

#include <cmath>
#include <cstdlib>

#include "refine/run_table.h"
#include "vexolith/refine.h"
#include "vexolith/statistics.h"

namespace vx {

namespace {
// A window is near the best while it is below this many times the best.
constexpr double kPlateauRatio = 1.8;
}  // namespace

double FanAngle(int i, int n, double maxAngle) {
  if (i <= n) return maxAngle - static_cast<double>(i) * maxAngle / n;
  return -maxAngle * static_cast<double>(i - n) / n;
}

Segment CentredSegment(F_LINE f, double px, double py, double halfLen) {
  const double q = halfLen / std::sqrt(f.k * f.k + 1);
  if (f.dir == 1) return Segment{px + q, f.k * (px + q) + f.b, px - q, f.k * (px - q) + f.b};
  return Segment{f.k * (py + q) + f.b, py + q, f.k * (py - q) + f.b, py - q};
}

Segment SegmentTowards(F_LINE f, double x1, double y1, double x2, double y2, double len) {
  const double q = len / std::sqrt(f.k * f.k + 1);
  if (f.dir == 1) {
    const double end = x1 < x2 ? x1 + q : x1 - q;
    return Segment{x1, f.k * x1 + f.b, end, f.k * end + f.b};
  }
  const double end = y1 < y2 ? y1 + q : y1 - q;
  return Segment{f.k * y1 + f.b, y1, f.k * end + f.b, end};
}

void Probe(IMG img, F_LINE f, const Segment& s) {
  Runs().runCount = 0;
  OnBlackWhite(img, s.x1, s.y1, s.x2, s.y2, f);
}

UsedRuns RunsBetweenEnds() {
  const RunTable& t = Runs();
  if (t.runCount <= 0) return UsedRuns{0, 0};
  const int first = t.runColour[0] == 0 ? 1 : 0;
  const int count = t.runCount - 1 - first;
  return UsedRuns{first, count > 0 ? count : 0};
}

double RunDispersion(int first, int count) {
  int* lengths = Runs().runLength + first;
  return D_e(count, lengths, M_e(count, lengths));
}

int BlackLength() {
  const RunTable& t = Runs();
  int sum = 0;
  for (int r = 0; r < t.runCount; ++r) {
    if (t.runColour[r] == 1) sum += t.runLength[r];
  }
  return sum;
}

long long RunLengthSum(int first, int count) {
  const RunTable& t = Runs();
  long long sum = 0;
  for (int r = first; r < first + count; ++r) sum += t.runLength[r];
  return sum;
}

void FiveAngleSums(const double* score, int windows, double* window) {
  for (int j = 0; j < windows; ++j) {
    window[j] = score[j] + score[j + 1] + score[j + 2] + score[j + 3] + score[j + 4];
  }
}

void FiveAngleSums(const int* score, int windows, int* window) {
  for (int j = 0; j < windows; ++j) {
    window[j] = score[j] + score[j + 1] + score[j + 2] + score[j + 3] + score[j + 4];
  }
}

int LowestWindow(const double* window, int windows) {
  int best = 0;
  for (int j = 1; j < windows; ++j) {
    if (window[j] < window[best]) best = j;
  }
  return best;
}

int LargestWindow(const int* window, int windows) {
  int best = 0;
  for (int j = 1; j < windows; ++j) {
    if (window[j] > window[best]) best = j;
  }
  return best;
}

int PeakAdjusted(const double* window, int windows, int best) {
  for (int j = 0; j + 2 < windows; ++j) {
    if (std::abs(j + 1 - best) >= 3) continue;
    if (!(window[j + 1] - window[j] > 0) || !(window[j + 2] - window[j + 1] < 0)) continue;
    const double rise = std::fabs(window[j + 1] - window[j]);
    const double fall = std::fabs(window[j + 2] - window[j + 1]);
    return fall < rise ? j + 1 : j + 2;
  }
  return best;
}

int PlateauEnd(const double* window, int windows, int best, bool down) {
  const double near = kPlateauRatio * window[best];
  int r = best;
  if (down) {
    for (int j = best - 1; j >= 0 && window[j] < near; --j) r = j + 1;
  } else {
    for (int j = best + 1; j < windows && window[j] < near; ++j) r = j - 1;
  }
  return r;
}

}  // namespace vx
