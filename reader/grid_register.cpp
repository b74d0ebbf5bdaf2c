#include "reader/grid_register.h"

#include <algorithm>
#include <cmath>

#include "reader/cell_checks.h"
#include "reader/edges.h"
#include "reader/grid_fit.h"

namespace vx::reader {
namespace {

constexpr int kParams = kCornerParams;
// The step of the numerical derivatives, pixels.
constexpr double kStep = 0.25;
constexpr int kIterations = 5;
// A step this small (pixels, every coordinate) ends the iterations.
constexpr double kSettled = 0.02;
// Samples a cell along each side at most: enough to place the cells'
// edges, few enough to keep the many fits quick.
constexpr int kMostSamples = 4;
// The most misfit, for the picture's noise, of a model that holds.
constexpr double kMostMisfit = 0.9;
// How far from halfway between ink and paper, for their gap, each cell's
// fitted level must lie to confirm a reading.
constexpr double kLevelMargin = 0.08;
// A corner's doubt, in standard errors.
constexpr double kErrors = 3.0;

}  // namespace

Quad Moved(const Quad& q, int param, double by) {
  Quad out = q;
  if (param % 2 == 0)
    out[param / 2].x += by;
  else
    out[param / 2].y += by;
  return out;
}

namespace {

// The misfit's derivatives along each coordinate at `at`, by forward
// differences from `fit` (the fit there).
bool Linearize(const PictureView& picture, const Quad& sampled, const Quad& at, int rows, int cols,
               double sigma, int per, const GridFit& fit, CornerMatrix& normal,
               std::array<double, kParams>& down) {
  const MisfitAt misfit_at = [&](const Quad& q, std::vector<double>& misfit) {
    GridFit moved = FitGrid(picture, sampled, q, rows, cols, sigma, per);
    if (!moved.ok) return false;
    misfit = std::move(moved.misfit);
    return true;
  };
  return LinearizeCorners(misfit_at, at, fit.misfit, normal, down);
}

}  // namespace

bool LinearizeCorners(const MisfitAt& misfit_at, const Quad& at, const std::vector<double>& misfit,
                      CornerMatrix& normal, std::array<double, kCornerParams>& down) {
  std::array<std::vector<double>, kParams> slope;
  for (int p = 0; p < kParams; ++p) {
    if (!misfit_at(Moved(at, p, kStep), slope[p]) || slope[p].size() != misfit.size()) return false;
    for (std::size_t n = 0; n < misfit.size(); ++n) slope[p][n] = (slope[p][n] - misfit[n]) / kStep;
  }
  for (int p = 0; p < kParams; ++p) {
    for (int q = 0; q <= p; ++q) {
      double sum = 0.0;
      for (std::size_t n = 0; n < misfit.size(); ++n) sum += slope[p][n] * slope[q][n];
      normal[p][q] = normal[q][p] = sum;
    }
    double sum = 0.0;
    for (std::size_t n = 0; n < misfit.size(); ++n) sum += slope[p][n] * misfit[n];
    down[p] = -sum;
  }
  return true;
}

bool CornerDoubts(const CornerMatrix& normal, double variance, std::array<double, 4>& doubt) {
  for (int k = 0; k < 4; ++k) {
    double spread = 0.0;
    for (int p : {2 * k, 2 * k + 1}) {
      std::array<double, kParams> unit{};
      unit[p] = 1.0;
      if (!SolveSmall(normal, unit)) return false;
      spread += variance * unit[p];
    }
    doubt[k] = kErrors * std::sqrt(std::max(spread, 0.0));
  }
  return true;
}

bool SolveSmall(CornerMatrix a, std::array<double, kParams>& b) {
  for (int c = 0; c < kParams; ++c) {
    int pivot = c;
    for (int r = c + 1; r < kParams; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 1e-300)) return false;
    std::swap(a[c], a[pivot]);
    std::swap(b[c], b[pivot]);
    for (int r = c + 1; r < kParams; ++r) {
      const double f = a[r][c] / a[c][c];
      for (int k = c; k < kParams; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  for (int c = kParams - 1; c >= 0; --c) {
    for (int k = c + 1; k < kParams; ++k) b[c] -= a[c][k] * b[k];
    b[c] /= a[c][c];
  }
  return true;
}

Registration RegisterGrid(const PictureView& picture, const Quad& seen, int rows, int cols, bool tight_only) {
  Registration reg;
  const double cell_px = MeanCellPixels(seen, rows, cols);
  const int per = SamplesPerCell(cell_px, kMostSamples);
  GridFit fit = FitGridAndBlur(picture, seen, rows, cols, per);
  if (!fit.ok) return reg;
  double sigma = fit.sigma;
  Quad at = seen;
  CornerMatrix normal{};
  std::array<double, kParams> step{};
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      // Placed off, the grid itself looks like blur: the blur is chosen
      // again where the grid now lies.
      GridFit again = FitGridAndBlur(picture, seen, at, rows, cols, per);
      if (!again.ok) return reg;
      if (again.sigma == sigma) break;
      sigma = again.sigma;
      fit = std::move(again);
    }
    for (int it = 0; it < kIterations; ++it) {
      if (!Linearize(picture, seen, at, rows, cols, sigma, per, fit, normal, step)) return reg;
      if (!SolveSmall(normal, step)) return reg;
      double largest = 0.0;
      for (double d : step) largest = std::max(largest, std::fabs(d));
      if (largest < kSettled) break;
      // Damped: halved until the residual falls.
      bool moved = false;
      for (double scale = 1.0; scale >= 1.0 / 16; scale /= 2.0) {
        Quad next = at;
        for (int p = 0; p < kParams; ++p) next = Moved(next, p, scale * step[p]);
        GridFit trial = FitGrid(picture, seen, next, rows, cols, sigma, per);
        if (trial.ok && trial.residual < fit.residual) {
          at = next;
          fit = std::move(trial);
          moved = true;
          break;
        }
      }
      if (!moved) break;
    }
  }
  for (int k = 0; k < 4; ++k)
    if (Distance(at[k], seen[k]) > cell_px / 2.0) return reg;
  if (!Linearize(picture, seen, at, rows, cols, sigma, per, fit, normal, step)) return reg;
  // The corners' covariance: the misfit's variance times the inverse of
  // the normal matrix, a column at a time.
  std::size_t used = 0;
  for (double m : fit.misfit) used += m != 0.0;
  const double free = static_cast<double>(used) - static_cast<double>(fit.levels.size()) - kParams;
  if (free < 1.0) return reg;
  const double variance = fit.residual / free;
  reg.misfit = std::sqrt(variance);
  // The samples, each a blend of up to four pixels, carry less noise than
  // a pixel: a model that holds leaves a misfit well under the picture's
  // noise. More says the cells are not all there is (a shadow's edge, a
  // mark across the figure), and the corners placed by them are not stood
  // behind. JPEG smooths the noise, so that neighbouring pixels differ by
  // less than the noise the samples carry: the noise is measured between
  // neighbours and between pixels two apart, and the larger taken. A
  // misfit within the first too is `tight`.
  const double neighbours = NoiseWithin(picture, at, 1);
  reg.tight = reg.misfit <= kMostMisfit * neighbours;
  if (!reg.tight &&
      (tight_only || reg.misfit > kMostMisfit * std::max(neighbours, NoiseWithin(picture, at, 2))))
    return reg;
  if (!CornerDoubts(normal, variance, reg.doubt)) return reg;
  reg.seen = at;
  reg.levels = std::move(fit.levels);
  reg.ok = true;
  return reg;
}

bool PlacedWell(const Registration& placed, int rows, int cols) {
  if (!placed.ok) return false;
  for (int j = 0; j < 4; ++j)
    if (placed.doubt[j] > std::max(1.0, CornerCell(placed.seen, rows, cols, j) / 4.0)) return false;
  return true;
}

bool LevelsAgree(const Registration& placed, const std::vector<unsigned char>& black, int rows, int cols) {
  const int width = cols + 2;
  if (placed.levels.size() != static_cast<std::size_t>(rows + 2) * width ||
      black.size() != static_cast<std::size_t>(rows) * cols)
    return false;
  std::vector<double> ring, paper;
  for (int i = 0; i < rows + 2; ++i) {
    for (int j = 0; j < width; ++j) {
      const double level = placed.levels[static_cast<std::size_t>(i) * width + j];
      if (i == 0 || j == 0 || i == rows + 1 || j == cols + 1)
        paper.push_back(level);
      else if (i == 1 || j == 1 || i == rows || j == cols)
        ring.push_back(level);
    }
  }
  const double ink = Median(ring), light = Median(paper);
  const double middle = (ink + light) / 2.0, margin = kLevelMargin * (light - ink);
  if (!(margin > 0.0)) return false;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      const double level = placed.levels[static_cast<std::size_t>(i + 1) * width + j + 1];
      if (black[static_cast<std::size_t>(i) * cols + j] ? level > middle - margin : level < middle + margin)
        return false;
    }
  }
  return true;
}

}  // namespace vx::reader
