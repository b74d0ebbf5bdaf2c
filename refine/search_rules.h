// Pieces shared by the edge-line searches: the fan of tried angles, the
// probe segments, the scores of a probe's runs and the window rules that pick
// an angle. The rules are plain functions of score tables so that they can be
// checked on their own.
#pragma once

#include "vexolith/types.h"

namespace vx {

// Angles are tried in five-angle windows; window j covers angles j .. j + 4
// and is centred on angle j + 2.
inline constexpr int kWindow = 5;

// Angle of fan index i (0 .. 2n): from +maxAngle at i = 0 through 0 at i = n
// to -maxAngle at i = 2n, each computed as i * maxAngle first, then / n.
double FanAngle(int i, int n, double maxAngle);

// Ends of a probe segment on line f, as (x1, y1, x2, y2).
struct Segment {
  double x1, y1, x2, y2;
};

// The segment centred on the pivot with Euclidean half length halfLen; it
// runs from the +free side to the -free side of the pivot.
Segment CentredSegment(F_LINE f, double px, double py, double halfLen);
// The segment from the pivot (x1, y1) toward the side of (x2, y2), of
// Euclidean length len measured along f.
Segment SegmentTowards(F_LINE f, double x1, double y1, double x2, double y2, double len);

// Runs of the latest probe, restarted and measured along s on f.
void Probe(IMG img, F_LINE f, const Segment& s);

// The probe's runs the dispersion scores use: all but the last, and without
// the first when it is white. first is the index of the first used run.
struct UsedRuns {
  int first;
  int count;
};
UsedRuns RunsBetweenEnds();

// Dispersion of count run lengths from run first, about their mean.
double RunDispersion(int first, int count);
// Sum of the lengths of the probe's black runs (and of the used runs).
int BlackLength();
long long RunLengthSum(int first, int count);

// window[j] = score[j] + ... + score[j + 4], added in index order, for
// j = 0 .. windows - 1.
void FiveAngleSums(const double* score, int windows, double* window);
void FiveAngleSums(const int* score, int windows, int* window);

// Index of the smallest (largest) window, the lowest index on ties.
int LowestWindow(const double* window, int windows);
int LargestWindow(const int* window, int windows);

// The dispersion search's peak rule: the first window j + 1 within two of
// best that is a strict local maximum moves best to whichever of its sides
// differs from it less (j + 1 when the fall after it is smaller than the rise
// before it, else j + 2).
int PeakAdjusted(const double* window, int windows, int best);

// The plateau rule: from best, walk toward lower indices (down) or higher
// ones while the windows stay below 1.8 times the best window, and stop one
// step short of the plateau's far end.
int PlateauEnd(const double* window, int windows, int best, bool down);

}  // namespace vx
