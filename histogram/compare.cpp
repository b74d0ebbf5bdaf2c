// Comparing two histograms: chi-square distance, correlation of the counts,
// and the difference in the number of dominant bins.
#include <cstdlib>

#include "histogram/bins.h"
#include "vexolith/histogram.h"
#include "vexolith/statistics.h"

namespace {

// Bins one histogram has and the other has not cannot be paired.
bool Comparable(const HISTOGRAM& a, const HISTOGRAM& b) {
  return vx::Usable(a) && vx::Usable(b) && a.size == b.size;
}

int DominantBins(const HISTOGRAM& h, double share) {
  const double limit = h.total * share;
  int count = 0;
  for (int i = 0; i < h.size; ++i) {
    if (h.bins[i] > limit) ++count;
  }
  return count;
}

}  // namespace

double CompareHist(HISTOGRAM a, HISTOGRAM b, int method) {
  if ((method & 1) == 0) return 0.0;
  // A distance is never negative, so -1.0 cannot be mistaken for one.
  if (!Comparable(a, b)) return -1.0;
  double sum = 0.0;
  for (int i = 0; i < a.size; ++i) {
    if (vx::ChiSquareSkips(a.bins[i], b.bins[i])) continue;
    sum += vx::ChiSquareTerm(a.bins[i], b.bins[i]);
  }
  return sum;
}

double CompareHistogram(HISTOGRAM a, HISTOGRAM b) {
  // Histograms that cannot be paired bin by bin have no correlation to
  // measure: 0.0, like a constant one below.
  if (!Comparable(a, b)) return 0.0;
  const double ma = M_e(a.size, a.bins);
  const double mb = M_e(b.size, b.bins);
  const double db = D_e(b.size, b.bins, mb);
  const double da = D_e(a.size, a.bins, ma);
  // When all bins of one histogram are equal its dispersion is 0 and no
  // correlation can be measured; KPK_e then gives 0.0, never NaN.
  return KPK_e(a.size, a.bins, b.bins, ma, mb, da, db);
}

int CompareHistogram1(HISTOGRAM a, HISTOGRAM b, double share) {
  if (!vx::Usable(a) || !vx::Usable(b)) return -1;
  return std::abs(DominantBins(b, share) - DominantBins(a, share));
}
