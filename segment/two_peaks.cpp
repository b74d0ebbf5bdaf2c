// The two-peak test: does a block hold two well-separated, well-filled
// brightness levels (text on paper, a code on its background)?
#include "segment/two_peaks.h"

#include <array>
#include <cstdlib>

namespace vx {

namespace {

// More peaks than this are not looked at; the scan stops at the last one.
constexpr int kMaxPeaks = 20;
// Histograms of the segmentation have at most this many bins.
constexpr int kMaxBins = 256;

// Sum of h over the bins within w of `centre`.
long long AroundPeak(const int* h, int n, int centre, int w) {
  long long sum = 0;
  for (int i = centre - w; i <= centre + w; ++i) {
    if (i >= 0 && i < n) sum += h[i];
  }
  return sum;
}

}  // namespace

bool HasTwoPeaks(const int* h, int n, int blockSize, double peakShare) {
  // A single bin has at most one peak.
  if (n < 2 || n > kMaxBins) return false;
  // Smoothed counts s[i] = h[i] + h[i-1]/2 + h[i+1]/2, a bin outside the
  // histogram counting 0; s is shifted by one so that s[0] and s[n + 1] are
  // those zero neighbours.
  std::array<double, kMaxBins + 2> s{};
  auto at = [&](int i) { return i >= 0 && i < n ? static_cast<double>(h[i]) : 0.0; };
  for (int i = 0; i < n; ++i) s[i + 1] = at(i) + at(i - 1) / 2 + at(i + 1) / 2;
  auto sm = [&](int i) { return s[i + 1]; };

  // The end bins compare with their one neighbour only; an inner bin must
  // rise above its left neighbour and not fall below its right one.
  std::array<int, kMaxPeaks> peaks{};
  int count = 0;
  for (int i = 0; i < n && count < kMaxPeaks; ++i) {
    bool peak;
    if (i == 0) {
      peak = sm(1) < sm(0);
    } else if (i == n - 1) {
      peak = sm(n - 2) < sm(n - 1);
    } else {
      peak = sm(i - 1) < sm(i) && sm(i + 1) <= sm(i);
    }
    if (peak) peaks[count++] = i;
  }
  if (count < 2) return false;

  int top = peaks[0];
  for (int k = 1; k < count; ++k) {
    if (sm(peaks[k]) > sm(top)) top = peaks[k];
  }
  // The second peak is far from the top one and not much lower: the score
  // rewards distance (as a share of the bins) and penalises the raw count
  // ratio. Every peak has a count above 0, the top one included.
  int second = -1;
  double best = 0.0;
  for (int k = 0; k < count; ++k) {
    const int p = peaks[k];
    if (p == top) continue;
    const double score =
        static_cast<double>(std::abs(p - top)) / n - static_cast<double>(h[p]) / static_cast<double>(h[top]);
    if (second < 0 || score > best) {
      second = p;
      best = score;
    }
  }

  const int gap = std::abs(second - top);
  if (gap < n / 3.0) return false;
  const int w = gap / 4;
  const long long s_main = AroundPeak(h, n, top, w);
  const long long s_second = AroundPeak(h, n, second, w);
  const double share = blockSize * peakShare * blockSize;
  return share < static_cast<double>(s_main + s_second) && share / 4 < static_cast<double>(s_main) &&
         share / 4 < static_cast<double>(s_second);
}

}  // namespace vx
