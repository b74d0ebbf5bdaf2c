#include "reader/cell_labels.h"

#include <algorithm>
#include <cmath>

namespace vx::reader {
namespace {

constexpr int kReach = kBlurReach;
// Samples a cell along each side: about one a pixel, at most this many.
constexpr int kMostPer = 8;
// Rounds of levels fitted to the colours and colours changed to fit.
constexpr int kRounds = 6;
constexpr int kMostSweeps = 64;
// Samples about a pixel apart, each interpolated between four pixels, and
// JPEG's blocks share their noise; the misfit's spread understates how far
// the noise moves a sum over a cell's samples by about this factor, in
// variance.
constexpr double kShared = 2.0;

struct Grid {
  int height, width;
  std::size_t At(int i, int j) const { return static_cast<std::size_t>(i) * width + j; }
  bool Cell(int i, int j) const { return i >= 1 && i + 1 < height && j >= 1 && j + 1 < width; }
};

}  // namespace

CellLabels LabelCells(const PictureView& picture, const Quad& seen, int rows, int cols, const GridFit& fit,
                      const Light& light) {
  CellLabels out;
  const Grid grid{rows + 2, cols + 2};
  const std::size_t levels = static_cast<std::size_t>(grid.height) * grid.width;
  if (!fit.ok || fit.levels.size() != levels) {
    out.fault = "the figure's levels cannot be fitted";
    return out;
  }
  const double cell_px = MeanCellPixels(seen, rows, cols);
  const int per = std::clamp(static_cast<int>(cell_px), 2, kMostPer);
  const std::vector<BlurSample> samples = BlurSamples(picture, seen, rows, cols, fit.sigma, per);
  if (samples.empty()) {
    out.fault = "the figure reaches outside the picture";
    return out;
  }
  const std::vector<double>& fitted = fit.levels;
  const std::size_t count = samples.size();

  // The light at each sample, and what the paper ring and the lines give it.
  std::vector<double> lit(count), fixed(count);
  for (std::size_t n = 0; n < count; ++n) {
    const BlurSample& s = samples[n];
    lit[n] = light.Paper(s.u, s.v);
    fixed[n] = s.lines * fit.lines;
    for (int a = 0; a <= kReach; ++a)
      for (int b = 0; b <= kReach; ++b) {
        const int i = s.r0 + a, j = s.c0 + b;
        if (s.w[a][b] != 0.0 && !grid.Cell(i, j)) fixed[n] += s.w[a][b] * fitted[grid.At(i, j)];
      }
  }
  // Each cell's weight over the samples, the light included.
  std::vector<double> energy(levels, 0.0);
  for (std::size_t n = 0; n < count; ++n) {
    const BlurSample& s = samples[n];
    for (int a = 0; a <= kReach; ++a)
      for (int b = 0; b <= kReach; ++b)
        if (s.w[a][b] != 0.0) energy[grid.At(s.r0 + a, s.c0 + b)] += lit[n] * lit[n] * s.w[a][b] * s.w[a][b];
  }

  // Starting colours: a cell whose fitted level is darker than halfway
  // between the light's paper and ink there is ink.
  std::vector<unsigned char> ink_cell(levels, 0);
  const double share = light.InkShare();
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= cols; ++j)
      ink_cell[grid.At(i, j)] = fitted[grid.At(i, j)] < light.Paper(j - 0.5, i - 0.5) * (1.0 + share) / 2.0;

  // Paper and ink over the light's paper, fitted to the colours.
  double paper = 1.0, ink = share;
  std::vector<double> misfit(count);
  auto fit_misfit = [&](bool refit) {
    double pp = 0.0, pq = 0.0, qq = 0.0, pg = 0.0, qg = 0.0;
    std::vector<double> on_paper(count), on_ink(count);
    for (std::size_t n = 0; n < count; ++n) {
      const BlurSample& s = samples[n];
      double p = 0.0, q = 0.0;
      for (int a = 0; a <= kReach; ++a)
        for (int b = 0; b <= kReach; ++b) {
          const int i = s.r0 + a, j = s.c0 + b;
          if (s.w[a][b] == 0.0 || !grid.Cell(i, j)) continue;
          (ink_cell[grid.At(i, j)] ? q : p) += s.w[a][b];
        }
      on_paper[n] = p * lit[n];
      on_ink[n] = q * lit[n];
      const double g = s.g - fixed[n];
      pp += on_paper[n] * on_paper[n], pq += on_paper[n] * on_ink[n], qq += on_ink[n] * on_ink[n];
      pg += on_paper[n] * g, qg += on_ink[n] * g;
    }
    const double det = pp * qq - pq * pq;
    if (refit && det > 1e-9 * pp * qq) {
      paper = (pg * qq - qg * pq) / det;
      ink = (qg * pp - pg * pq) / det;
    }
    double sum = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
      misfit[n] = samples[n].g - fixed[n] - paper * on_paper[n] - ink * on_ink[n];
      sum += misfit[n] * misfit[n];
    }
    return sum;
  };
  // What changing each cell's colour would take off the sum of squared
  // misfits (negative: what it would add).
  std::vector<double> gain(levels, 0.0);
  auto gains = [&] {
    std::vector<double> pull(levels, 0.0);
    for (std::size_t n = 0; n < count; ++n) {
      const BlurSample& s = samples[n];
      for (int a = 0; a <= kReach; ++a)
        for (int b = 0; b <= kReach; ++b)
          if (s.w[a][b] != 0.0) pull[grid.At(s.r0 + a, s.c0 + b)] += lit[n] * s.w[a][b] * misfit[n];
    }
    for (int i = 1; i <= rows; ++i)
      for (int j = 1; j <= cols; ++j) {
        const std::size_t k = grid.At(i, j);
        const double d = ink_cell[k] ? paper - ink : ink - paper;
        gain[k] = 2.0 * d * pull[k] - d * d * energy[k];
      }
  };

  double sum = 0.0;
  for (int round = 0; round < kRounds; ++round) {
    sum = fit_misfit(true);
    if (!(paper - ink > 0.05)) {
      out.fault = "cells not clearly black or white";
      return out;
    }
    bool changed = false;
    for (int sweep = 0; sweep < kMostSweeps; ++sweep) {
      gains();
      // Cells whose blur overlaps change one at a time: only the cell that
      // gains most within the blur's reach changes in a sweep.
      std::vector<std::size_t> change;
      for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) {
          const std::size_t k = grid.At(i, j);
          if (!(gain[k] > 0.0)) continue;
          bool best = true;
          for (int a = std::max(1, i - kReach); best && a <= std::min(rows, i + kReach); ++a)
            for (int b = std::max(1, j - kReach); b <= std::min(cols, j + kReach); ++b) {
              const std::size_t m = grid.At(a, b);
              if (m != k && (gain[m] > gain[k] || (gain[m] == gain[k] && m < k))) {
                best = false;
                break;
              }
            }
          if (best) change.push_back(k);
        }
      if (change.empty()) break;
      changed = true;
      for (std::size_t k : change) ink_cell[k] = !ink_cell[k];
      sum = fit_misfit(false);
    }
    if (!changed && round > 0) break;
  }
  gains();

  out.paper = paper;
  out.ink = ink;
  out.scatter = std::sqrt(sum / static_cast<double>(count));
  // Each cell's own misfit: the mean square over the samples it weighs
  // most in.
  std::vector<double> own(levels, 0.0), own_n(levels, 0.0);
  for (std::size_t n = 0; n < count; ++n) {
    const BlurSample& s = samples[n];
    double most = -1.0;
    std::size_t at = 0;
    for (int a = 0; a <= kReach; ++a)
      for (int b = 0; b <= kReach; ++b)
        if (s.w[a][b] > most) most = s.w[a][b], at = grid.At(s.r0 + a, s.c0 + b);
    own[at] += misfit[n] * misfit[n];
    own_n[at] += 1.0;
  }
  const double floor = std::max(out.scatter * out.scatter, 1.0);
  out.black.resize(static_cast<std::size_t>(rows) * cols);
  out.odds.resize(out.black.size());
  out.levels = fitted;
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= cols; ++j) {
      const std::size_t k = grid.At(i, j), c = static_cast<std::size_t>(i - 1) * cols + (j - 1);
      // The misfit round the cell, where the drawing may fit worse than
      // over the whole figure (a shadow's edge the light misses, a mark),
      // stands for the noise there when larger.
      double near = 0.0, near_n = 0.0;
      for (int a = i - 1; a <= i + 1; ++a)
        for (int b = j - 1; b <= j + 1; ++b) near += own[grid.At(a, b)], near_n += own_n[grid.At(a, b)];
      const double variance = std::max(floor, near_n > 0.0 ? near / near_n : 0.0) * kShared;
      out.black[c] = ink_cell[k];
      out.odds[c] = -gain[k] / (2.0 * variance);
      out.doubt += 1.0 / (1.0 + std::exp(out.odds[c]));
      out.levels[k] = light.Paper(j - 0.5, i - 0.5) * (ink_cell[k] ? ink : paper);
    }
  out.ok = true;
  return out;
}

bool DrawingMisfit(const PictureView& picture, const Quad& sampled, const Quad& at, int rows, int cols,
                   const GridFit& fit, const Light& light, const CellLabels& labels, int per,
                   std::vector<double>& misfit) {
  const Grid grid{rows + 2, cols + 2};
  const std::vector<BlurSample> samples = BlurSamples(picture, sampled, at, rows, cols, fit.sigma, per);
  if (samples.empty() || labels.black.size() != static_cast<std::size_t>(rows) * cols ||
      fit.levels.size() != static_cast<std::size_t>(grid.height) * grid.width)
    return false;
  misfit.resize(samples.size());
  for (std::size_t n = 0; n < samples.size(); ++n) {
    const BlurSample& s = samples[n];
    double fixed = s.lines * fit.lines, drawn = 0.0;
    for (int a = 0; a <= kReach; ++a)
      for (int b = 0; b <= kReach; ++b) {
        const int i = s.r0 + a, j = s.c0 + b;
        if (s.w[a][b] == 0.0) continue;
        if (!grid.Cell(i, j))
          fixed += s.w[a][b] * fit.levels[grid.At(i, j)];
        else
          drawn +=
              s.w[a][b] *
              (labels.black[static_cast<std::size_t>(i - 1) * cols + (j - 1)] ? labels.ink : labels.paper);
      }
    misfit[n] = s.g - fixed - light.Paper(s.u, s.v) * drawn;
  }
  return true;
}

}  // namespace vx::reader
