#include "reader/grid_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx::reader {
namespace {

// Cells a fitted figure may have, its paper ring included: the normal
// equations hold 49 numbers a cell.
constexpr std::size_t kMostLevels = 1 << 14;
// A cell's blur reaches at most 3 cells off in the normal equations: the
// blur is cut at 3 sigma, and sigma at half a cell.
constexpr int kReach = kBlurReach;
constexpr int kBand = 2 * kReach + 1;
constexpr double kMostBlurInCells = 0.5;
// The pull of each level towards its cell's plain mean, for each sample of
// the cell: it keeps a level a strong blur leaves nearly free from
// following the noise, and moves well-held ones by a few percent of noise.
constexpr double kPull = 0.05;
// Half the width of the thin lines between the inner cells, in cells.
constexpr double kHalfLine = 0.04;

double Phi(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// The share of the blur (s cells) centred at u that column c covers, along
// an axis of n cells whose inner boundaries carry lines `line` cells wide on
// either side; columns -1 and n are the paper beyond the figure, all the way
// out.
double Share(double u, int c, int n, double s, double line) {
  const double inf = std::numeric_limits<double>::infinity();
  const double lo = c < 0 ? -inf : c + (c >= 1 && c <= n - 1 ? line : 0.0);
  const double hi = c >= n ? inf : c + 1.0 - (c + 1 >= 1 && c + 1 <= n - 1 ? line : 0.0);
  if (s <= 0.0) return u >= lo && u < hi ? 1.0 : 0.0;
  return Phi((hi - u) / s) - Phi((lo - u) / s);
}

// The share of the same blur the lines on the inner boundaries cover.
double LineShare(double u, int n, double s, double line) {
  double sum = 0.0;
  const int near = static_cast<int>(std::floor(u + 0.5));
  for (int c = std::max(1, near - 2); c <= std::min(n - 1, near + 2); ++c)
    sum +=
        s <= 0.0 ? (std::fabs(u - c) < line ? 1.0 : 0.0) : Phi((c + line - u) / s) - Phi((c - line - u) / s);
  return sum;
}

// The share of the same blur the figure (0..n) covers.
double FigureShare(double u, int n, double s) {
  if (s <= 0.0) return u >= 0.0 && u < n ? 1.0 : 0.0;
  return Phi((n - u) / s) - Phi(-u / s);
}

// The blur's shares over kReach + 1 columns from the one returned, in the
// padded grid's numbering (0 is the paper column -1).
// `out` gets them for the cells' interiors (the lines left out), `plain`
// for whole cells, as the paper round the figure has them along its sides.
int Shares(double u, int n, double s, double line, double out[kReach + 1], double plain[kReach + 1]) {
  const int lo = std::max(-1, static_cast<int>(std::floor(u - 3.0 * s)));
  for (int t = 0; t <= kReach; ++t) {
    out[t] = lo + t <= n ? Share(u, lo + t, n, s, line) : 0.0;
    plain[t] = lo + t <= n ? Share(u, lo + t, n, s, 0.0) : 0.0;
  }
  return lo + 1;
}

// The banded normal equations of the levels on a height x width grid: 7 x 7
// offsets round each level.
struct Normal {
  int height, width;
  std::vector<double> band, rhs;
  Normal(int h, int w)
      : height(h),
        width(w),
        band(static_cast<std::size_t>(h) * w * kBand * kBand),
        rhs(static_cast<std::size_t>(h) * w) {}
  double& At(std::size_t k, int di, int dj) {
    return band[k * kBand * kBand + (di + kReach) * kBand + (dj + kReach)];
  }

  void Multiply(const std::vector<double>& in, std::vector<double>& out) const {
    for (int i = 0; i < height; ++i) {
      for (int j = 0; j < width; ++j) {
        const std::size_t k = static_cast<std::size_t>(i) * width + j;
        const double* row = &band[k * kBand * kBand];
        double sum = 0.0;
        for (int a = std::max(-kReach, -i); a <= std::min(kReach, height - 1 - i); ++a)
          for (int b = std::max(-kReach, -j); b <= std::min(kReach, width - 1 - j); ++b)
            sum += row[(a + kReach) * kBand + (b + kReach)] *
                   in[static_cast<std::size_t>(i + a) * width + (j + b)];
        out[k] = sum;
      }
    }
  }

  // Solves band * x = b by conjugate gradients from x's initial value.
  void Solve(const std::vector<double>& b, std::vector<double>& x) const {
    const std::size_t n = b.size();
    std::vector<double> r(n), p(n), q(n);
    Multiply(x, q);
    double rr = 0.0, bb = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      r[k] = b[k] - q[k];
      p[k] = r[k];
      rr += r[k] * r[k];
      bb += b[k] * b[k];
    }
    for (int it = 0; it < 200 && rr > 1e-20 * bb; ++it) {
      Multiply(p, q);
      double pq = 0.0;
      for (std::size_t k = 0; k < n; ++k) pq += p[k] * q[k];
      if (!(pq > 0.0)) break;
      const double alpha = rr / pq;
      double next = 0.0;
      for (std::size_t k = 0; k < n; ++k) {
        x[k] += alpha * p[k];
        r[k] -= alpha * q[k];
        next += r[k] * r[k];
      }
      for (std::size_t k = 0; k < n; ++k) p[k] = r[k] + next / rr * p[k];
      rr = next;
    }
  }
};

struct Sample {
  double u, v, g;                                 // place in cells, gray level
  bool in;                                        // inside the picture
  double lines;                                   // the share of the blur the lines between cells cover
  double su[kReach + 1], sv[kReach + 1];          // over the cells' interiors
  double su_all[kReach + 1], sv_all[kReach + 1];  // over whole cells
  int c0, r0;                                     // the first column and row the shares are for
};

// The share of the sample's blur each level of the padded grid covers, for
// the kReach + 1 rows and columns from (r0, c0): a cell inside the figure
// without its lines, the paper beside a side along the whole side.
void Weights(const Sample& s, int height, int width, double w[kReach + 1][kReach + 1]) {
  for (int a = 0; a <= kReach; ++a) {
    const int row = s.r0 + a;
    const bool inner_row = row >= 1 && row <= height - 2;
    for (int b = 0; b <= kReach; ++b) {
      const int col = s.c0 + b;
      const bool inner_col = col >= 1 && col <= width - 2;
      w[a][b] = row < height && col < width
                    ? (inner_col ? s.sv[a] : s.sv_all[a]) * (inner_row ? s.su[b] : s.su_all[b])
                    : 0.0;
    }
  }
}

// Places `per` samples a cell along each side over the figure and half a
// cell beyond, with the blur's shares of the levels round each; `mean` and
// `count` gather each level's plain mean. False when the figure reaches
// outside the picture.
bool PlaceSamples(const PictureView& picture, const Quad& sampled, const Quad& seen, int rows, int cols,
                  double sigma, int per, std::vector<Sample>& samples, std::vector<double>& mean,
                  std::vector<double>& count) {
  const bool same = std::equal(sampled.begin(), sampled.end(), seen.begin(),
                               [](Point a, Point b) { return a.x == b.x && a.y == b.y; });
  const Homography placed(sampled);
  const int height = rows + 2, width = cols + 2;
  const std::size_t levels = static_cast<std::size_t>(height) * width;
  const Homography map(seen);

  // Pixels per cell along u and v at each cell, for the blur in cells.
  std::vector<double> along_u(levels), along_v(levels);
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) {
      const double u = (std::clamp(j - 1, 0, cols - 1) + 0.5) / cols;
      const double v = (std::clamp(i - 1, 0, rows - 1) + 0.5) / rows;
      const std::size_t k = static_cast<std::size_t>(i) * width + j;
      along_u[k] = Distance(map.Apply(u - 0.5 / cols, v), map.Apply(u + 0.5 / cols, v));
      along_v[k] = Distance(map.Apply(u, v - 0.5 / rows), map.Apply(u, v + 0.5 / rows));
    }
  }

  const int across_u = (cols + 1) * per, across_v = (rows + 1) * per;
  samples.assign(static_cast<std::size_t>(across_u) * across_v, Sample{});
  mean.assign(levels, 0.0);
  count.assign(levels, 0.0);
  for (int a = 0; a < across_v; ++a) {
    for (int b = 0; b < across_u; ++b) {
      Sample& s = samples[static_cast<std::size_t>(a) * across_u + b];
      s.u = -0.5 + (b + 0.5) / per;
      s.v = -0.5 + (a + 0.5) / per;
      const Point p = placed.Apply(s.u / cols, s.v / rows);
      s.in = picture.Inside(p.x, p.y);
      if (!s.in) {
        // The paper beyond may be cut by the picture's edge; the figure may not.
        if (s.u >= 0.0 && s.v >= 0.0 && s.u <= cols && s.v <= rows) return false;
        continue;
      }
      s.g = picture.Sample(p.x, p.y);
      if (!same) {
        const Point q = map.Unapply(p);
        s.u = q.x * cols;
        s.v = q.y * rows;
      }
      const int i = std::clamp(static_cast<int>(std::floor(s.v)) + 1, 0, height - 1);
      const int j = std::clamp(static_cast<int>(std::floor(s.u)) + 1, 0, width - 1);
      const std::size_t k = static_cast<std::size_t>(i) * width + j;
      mean[k] += s.g;
      count[k] += 1.0;
      const double bu = std::min(sigma / along_u[k], kMostBlurInCells);
      const double bv = std::min(sigma / along_v[k], kMostBlurInCells);
      s.c0 = Shares(s.u, cols, bu, kHalfLine, s.su, s.su_all);
      s.r0 = Shares(s.v, rows, bv, kHalfLine, s.sv, s.sv_all);
      // Lines across u and across v, less where they cross (counted twice).
      const double lu = LineShare(s.u, cols, bu, kHalfLine), lv = LineShare(s.v, rows, bv, kHalfLine);
      s.lines = lu * FigureShare(s.v, rows, bv) + lv * FigureShare(s.u, cols, bu) - lu * lv;
    }
  }
  return true;
}

}  // namespace

int SamplesPerCell(double cell_px, int most) { return std::clamp(static_cast<int>(cell_px / 1.5), 2, most); }

GridFit FitGrid(const PictureView& picture, const Quad& sampled, const Quad& seen, int rows, int cols,
                double sigma, int per) {
  GridFit fit;
  fit.sigma = sigma;
  const int height = rows + 2, width = cols + 2;
  if (rows < 1 || cols < 1 || per < 1 || static_cast<std::size_t>(height) * width > kMostLevels) return fit;
  const std::size_t levels = static_cast<std::size_t>(height) * width;
  std::vector<Sample> samples;
  std::vector<double> mean, count;
  if (!PlaceSamples(picture, sampled, seen, rows, cols, sigma, per, samples, mean, count)) return fit;

  Normal normal(height, width);
  // The lines' level is one more unknown, common to the whole figure: its
  // column of the normal equations is kept apart and eliminated.
  std::vector<double> with_lines(levels, 0.0);
  double lines_lines = 0.0, lines_gray = 0.0;
  for (const Sample& s : samples) {
    if (!s.in) continue;
    lines_lines += s.lines * s.lines;
    lines_gray += s.lines * s.g;
    double w[kReach + 1][kReach + 1];
    Weights(s, height, width, w);
    for (int a = 0; a <= kReach; ++a) {
      for (int b = 0; b <= kReach; ++b) {
        if (w[a][b] == 0.0) continue;
        const std::size_t k = static_cast<std::size_t>(s.r0 + a) * width + (s.c0 + b);
        normal.rhs[k] += w[a][b] * s.g;
        with_lines[k] += w[a][b] * s.lines;
        for (int a2 = 0; a2 <= kReach; ++a2)
          for (int b2 = 0; b2 <= kReach; ++b2)
            if (w[a2][b2] != 0.0) normal.At(k, a2 - a, b2 - b) += w[a][b] * w[a2][b2];
      }
    }
  }
  for (std::size_t k = 0; k < levels; ++k) {
    if (count[k] > 0.0) mean[k] /= count[k];
    const double pull = kPull * std::max(count[k], 1.0);
    normal.At(k, 0, 0) += pull;
    normal.rhs[k] += pull * mean[k];
  }
  fit.levels = mean;
  normal.Solve(normal.rhs, fit.levels);
  if (lines_lines > 0.0) {
    // levels = A^-1 (rhs - with_lines * lines), lines from its own equation.
    std::vector<double> apart(levels, 0.0);
    normal.Solve(with_lines, apart);
    double num = lines_gray, den = lines_lines;
    for (std::size_t k = 0; k < levels; ++k)
      num -= with_lines[k] * fit.levels[k], den -= with_lines[k] * apart[k];
    if (den > 1e-9 * lines_lines) {
      fit.lines = num / den;
      for (std::size_t k = 0; k < levels; ++k) fit.levels[k] -= fit.lines * apart[k];
    }
  }

  fit.misfit.assign(samples.size(), 0.0);
  for (std::size_t n = 0; n < samples.size(); ++n) {
    const Sample& s = samples[n];
    if (!s.in) continue;
    double w[kReach + 1][kReach + 1];
    Weights(s, height, width, w);
    double model = s.lines * fit.lines;
    for (int a = 0; a <= kReach; ++a)
      for (int b = 0; b <= kReach; ++b)
        if (w[a][b] != 0.0)
          model += w[a][b] * fit.levels[static_cast<std::size_t>(s.r0 + a) * width + (s.c0 + b)];
    fit.misfit[n] = s.g - model;
    fit.residual += fit.misfit[n] * fit.misfit[n];
  }
  fit.ok = true;
  return fit;
}

GridFit FitGridAndBlur(const PictureView& picture, const Quad& seen, int rows, int cols, int per) {
  return FitGridAndBlur(picture, seen, seen, rows, cols, per);
}

GridFit FitGridAndBlur(const PictureView& picture, const Quad& sampled, const Quad& seen, int rows, int cols,
                       int per) {
  GridFit best;
  for (double sigma : {0.4, 0.8, 1.2, 1.6, 2.0, 2.4}) {
    GridFit fit = FitGrid(picture, sampled, seen, rows, cols, sigma, per);
    if (!fit.ok) return fit;
    if (!best.ok || fit.residual < best.residual) best = std::move(fit);
  }
  return best;
}

std::vector<BlurSample> BlurSamples(const PictureView& picture, const Quad& seen, int rows, int cols,
                                    double sigma, int per) {
  return BlurSamples(picture, seen, seen, rows, cols, sigma, per);
}

std::vector<BlurSample> BlurSamples(const PictureView& picture, const Quad& sampled, const Quad& seen,
                                    int rows, int cols, double sigma, int per) {
  std::vector<BlurSample> out;
  const int height = rows + 2, width = cols + 2;
  if (rows < 1 || cols < 1 || per < 1 || static_cast<std::size_t>(height) * width > kMostLevels) return out;
  std::vector<Sample> samples;
  std::vector<double> mean, count;
  if (!PlaceSamples(picture, sampled, seen, rows, cols, sigma, per, samples, mean, count)) return out;
  out.reserve(samples.size());
  for (const Sample& s : samples) {
    if (!s.in) continue;
    BlurSample b;
    b.g = s.g;
    b.u = s.u;
    b.v = s.v;
    b.lines = s.lines;
    b.r0 = s.r0;
    b.c0 = s.c0;
    Weights(s, height, width, b.w);
    out.push_back(b);
  }
  return out;
}

}  // namespace vx::reader
