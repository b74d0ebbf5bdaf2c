#include "reader/label_register.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "reader/grid_register.h"

namespace vx::reader {
namespace {

constexpr int kParams = kCornerParams;
constexpr int kIterations = 5;
// A step this small (pixels, every coordinate) ends the iterations.
constexpr double kSettled = 0.02;
// Samples a cell along each side at most.
constexpr int kMostSamples = 4;
// Neighbouring samples share pixels and JPEG's blocks share noise: the
// misfit's spread understates the noise a sum over many samples carries by
// about this factor, in variance.
constexpr double kShared = 2.0;

double SumOfSquares(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += x * x;
  return sum;
}

}  // namespace

LabelPlacing PlaceByLabels(const PictureView& picture, const Quad& seen, int rows, int cols,
                           const GridFit& fit, const Light& light, const CellLabels& labels) {
  LabelPlacing out;
  const double cell_px = MeanCellPixels(seen, rows, cols);
  const int per = SamplesPerCell(cell_px, kMostSamples);
  const MisfitAt misfit_at = [&](const Quad& at, std::vector<double>& misfit) {
    return DrawingMisfit(picture, seen, at, rows, cols, fit, light, labels, per, misfit);
  };
  Quad at = seen;
  std::vector<double> misfit;
  if (!misfit_at(at, misfit)) return out;
  double sum = SumOfSquares(misfit);
  CornerMatrix normal{};
  std::array<double, kParams> step{};
  auto linearize = [&] { return LinearizeCorners(misfit_at, at, misfit, normal, step); };
  for (int it = 0; it < kIterations; ++it) {
    if (!linearize() || !SolveSmall(normal, step)) return out;
    double largest = 0.0;
    for (double d : step) largest = std::max(largest, std::fabs(d));
    if (largest < kSettled) break;
    // Damped: halved until the misfit falls.
    bool moved = false;
    for (double scale = 1.0; scale >= 1.0 / 16; scale /= 2.0) {
      Quad next = at;
      for (int p = 0; p < kParams; ++p) next = Moved(next, p, scale * step[p]);
      std::vector<double> trial;
      if (!misfit_at(next, trial) || trial.size() != misfit.size()) continue;
      const double trial_sum = SumOfSquares(trial);
      if (trial_sum < sum) {
        at = next;
        misfit = std::move(trial);
        sum = trial_sum;
        moved = true;
        break;
      }
    }
    if (!moved) break;
  }
  for (int k = 0; k < 4; ++k)
    if (Distance(at[k], seen[k]) > cell_px / 2.0) return out;
  if (!linearize()) return out;
  const double free = static_cast<double>(misfit.size()) - kParams;
  if (free < 1.0) return out;
  const double variance = sum / free * kShared;
  if (!CornerDoubts(normal, variance, out.doubt)) return out;
  out.seen = at;
  out.ok = true;
  return out;
}

}  // namespace vx::reader
