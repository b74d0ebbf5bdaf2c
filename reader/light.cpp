#include "reader/light.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vx::reader {
namespace {

// The share of the shadow's depth at signed distance d from its edge's
// middle, for an edge `soft` wide: 0 on the lit side, 1 in the shadow,
// easing in and out as a soft shadow does.
double EdgeShare(double d, double soft) {
  const double t = std::clamp(d / soft + 0.5, 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

struct EdgeLine {
  double ax, ay, nx, ny, soft;
  // Light is taken away, not multiplied: the shadow scales the light by
  // 1 + gain * share, whose logarithm is not a multiple of the share. The
  // edge's term is log(1 + gain * share) / log(1 + gain), 0..1 like the
  // share, and the share itself while the gain is not yet known (0).
  double gain = 0.0;
};

// The edge's term in the fit at (x, y), shifted `shift` along its normal.
double EdgeTerm(const EdgeLine& e, double x, double y, double shift = 0.0) {
  const double share = EdgeShare((x - e.ax) * e.nx + (y - e.ay) * e.ny - shift, e.soft);
  return e.gain == 0.0 ? share : std::log1p(e.gain * share) / std::log1p(e.gain);
}

constexpr int kTerms = 5;

// Solves the normal equations m (the right-hand side in the last column)
// by Gaussian elimination with partial pivoting; false when singular.
bool Eliminate(double m[kTerms][kTerms + 1], double c[kTerms]) {
  for (int col = 0; col < kTerms; ++col) {
    int pivot = col;
    for (int r = col + 1; r < kTerms; ++r)
      if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
    if (std::fabs(m[pivot][col]) < 1e-9) return false;
    for (int k = 0; k <= kTerms; ++k) std::swap(m[col][k], m[pivot][k]);
    for (int r = 0; r < kTerms; ++r) {
      if (r == col) continue;
      const double f = m[r][col] / m[col][col];
      for (int k = col; k <= kTerms; ++k) m[r][k] -= f * m[col][k];
    }
  }
  for (int a = 0; a < kTerms; ++a) c[a] = m[a][kTerms] / m[a][a];
  return true;
}

// Least squares of log gray over the terms 1, x, y, the edge's share (when
// `edge`) and the ink flag. Returns the sum of squared residuals; `c` gets
// the coefficients (c[3] 0 without an edge). Infinity when singular.
double Solve(const std::vector<LightSample>& s, const std::vector<double>& logs, const EdgeLine* edge,
             double c[5], const std::vector<char>* use = nullptr) {
  double m[kTerms][kTerms + 1] = {};
  auto terms = [&](const LightSample& p, double t[kTerms]) {
    t[0] = 1.0, t[1] = p.x, t[2] = p.y, t[4] = p.ink ? 1.0 : 0.0;
    t[3] = edge ? EdgeTerm(*edge, p.x, p.y) : 0.0;
  };
  for (std::size_t k = 0; k < s.size(); ++k) {
    if (use && !(*use)[k]) continue;
    double t[kTerms];
    terms(s[k], t);
    for (int a = 0; a < kTerms; ++a) {
      for (int b = 0; b < kTerms; ++b) m[a][b] += t[a] * t[b];
      m[a][kTerms] += t[a] * logs[k];
    }
  }
  if (!edge) m[3][3] = 1.0;  // no edge term: its coefficient comes out 0
  if (!Eliminate(m, c)) return INFINITY;

  double rss = 0.0;
  for (std::size_t k = 0; k < s.size(); ++k) {
    if (use && !(*use)[k]) continue;
    double t[kTerms];
    terms(s[k], t);
    double fit = 0.0;
    for (int a = 0; a < kTerms; ++a) fit += c[a] * t[a];
    rss += (logs[k] - fit) * (logs[k] - fit);
  }
  return rss;
}

// The same fit over every sample for many edges in turn: the sums of the
// terms other than the edge's share are taken once, and each edge adds its
// own column in one pass; the residual comes from the sums (y'y - c'X'y).
class EdgeFits {
 public:
  EdgeFits(const std::vector<LightSample>& s, const std::vector<double>& logs) : s_(s), logs_(logs) {
    for (std::size_t k = 0; k < s.size(); ++k) {
      const double t[kTerms] = {1.0, s[k].x, s[k].y, 0.0, s[k].ink ? 1.0 : 0.0};
      for (int a = 0; a < kTerms; ++a) {
        for (int b = 0; b < kTerms; ++b) base_[a][b] += t[a] * t[b];
        base_[a][kTerms] += t[a] * logs[k];
      }
      yy_ += logs[k] * logs[k];
    }
  }
  double Solve(const EdgeLine& edge, double c[kTerms]) const {
    double m[kTerms][kTerms + 1];
    std::copy(&base_[0][0], &base_[0][0] + kTerms * (kTerms + 1), &m[0][0]);
    for (std::size_t k = 0; k < s_.size(); ++k) {
      const LightSample& p = s_[k];
      const double e = EdgeTerm(edge, p.x, p.y);
      if (e == 0.0) continue;
      const double t[kTerms] = {1.0, p.x, p.y, e, p.ink ? 1.0 : 0.0};
      for (int a = 0; a < kTerms; ++a) m[3][a] += e * t[a];
      m[3][kTerms] += e * logs_[k];
    }
    for (int a = 0; a < kTerms; ++a) m[a][3] = m[3][a];
    const double rhs[kTerms] = {m[0][kTerms], m[1][kTerms], m[2][kTerms], m[3][kTerms], m[4][kTerms]};
    if (!Eliminate(m, c)) return INFINITY;
    double explained = 0.0;
    for (int a = 0; a < kTerms; ++a) explained += c[a] * rhs[a];
    return std::max(0.0, yy_ - explained);
  }

 private:
  const std::vector<LightSample>& s_;
  const std::vector<double>& logs_;
  double base_[kTerms][kTerms + 1] = {};
  double yy_ = 0.0;
};

}  // namespace

Light::Light(const std::vector<LightSample>& samples, const std::vector<int>& round, int rows, int cols) {
  std::vector<double> logs;
  for (const LightSample& s : samples) logs.push_back(std::log(std::max(s.gray, 1.0)));
  const double plane = Solve(samples, logs, nullptr, c_);
  const int n = static_cast<int>(round.size());
  // Whatever the light's form, samples far off it (a dark mark on the paper
  // beside the figure) are left out and the same form fitted again.
  auto refit = [&](const EdgeLine* edge) {
    std::vector<double> off;
    for (std::size_t k = 0; k < samples.size(); ++k) {
      const LightSample& p = samples[k];
      const double e = edge ? EdgeTerm(*edge, p.x, p.y) : 0.0;
      off.push_back(std::fabs(logs[k] - (c_[0] + c_[1] * p.x + c_[2] * p.y + c_[3] * e + c_[4] * p.ink)));
    }
    std::vector<double> sorted = off;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double limit = std::max(0.1, 3.0 * 1.4826 * sorted[sorted.size() / 2]);
    std::vector<char> use(samples.size());
    std::size_t kept = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) kept += use[k] = off[k] <= limit;
    double c[5];
    if (kept >= 8 && std::isfinite(Solve(samples, logs, edge, c, &use))) std::copy(c, c + 5, c_);
  };
  // Light falling evenly explains the samples to within 1.5% (noise, the
  // paper's grain): nothing to look for. A shadow clipping one corner of
  // the figure darkens only a few samples, so the bar is low.
  if (!std::isfinite(plane)) return;
  if (n < 8 || plane <= samples.size() * 0.015 * 0.015) {
    refit(nullptr);
    return;
  }

  // The edge's ends lie between neighbouring paper samples of the round:
  // end position q runs along the round in quarter samples.
  auto at = [&](int q) {
    const int k = (q / 4) % n, next = (k + 1) % n;
    const double f = (q % 4) / 4.0;
    const LightSample &a = samples[round[k]], &b = samples[round[next]];
    return std::array<double, 2>{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
  };
  const double size = std::max(rows, cols);
  const double widths[4] = {0.3, 0.1 * size, 0.25 * size, 0.5 * size};
  const int stride = std::max(1, (n + 23) / 24);
  const EdgeFits fits(samples, logs);
  double best = INFINITY, best_c[5] = {};
  EdgeLine best_edge{};
  int best_q1 = 0, best_q2 = 0;
  double gain = 0.0;
  // One width of edge, its ends at q1, q2 on the round (quarter samples).
  auto attempt = [&](double soft, int q1, int q2) {
    q1 = (q1 % (4 * n) + 4 * n) % (4 * n), q2 = (q2 % (4 * n) + 4 * n) % (4 * n);
    const auto p = at(q1), e = at(q2);
    const double dx = e[0] - p[0], dy = e[1] - p[1], len = std::hypot(dx, dy);
    if (len < 0.5) return;
    const EdgeLine edge{p[0], p[1], -dy / len, dx / len, soft, gain};
    double c[5];
    const double rss = fits.Solve(edge, c);
    if (rss < best) best = rss, best_edge = edge, best_q1 = q1, best_q2 = q2, std::copy(c, c + 5, best_c);
  };
  // Each end in turn moved in quarter samples within a stride of the best.
  auto fine = [&](double soft) {
    for (int pass = 0; pass < 2; ++pass) {
      const int q2 = best_q2;
      for (int d = -4 * stride; d <= 4 * stride; ++d) attempt(soft, best_q1 + d, q2);
      const int q1 = best_q1;
      for (int d = -4 * stride; d <= 4 * stride; ++d) attempt(soft, q1, q2 + d);
    }
  };
  // Each width of edge is searched on its own, coarse then fine: a sharp
  // edge between coarse places fits worse than a soft one there, and only
  // the fine search shows it right.
  for (double soft : widths) {
    const double before = best;
    const int q1 = best_q1, q2 = best_q2;
    const EdgeLine edge = best_edge;
    double c[5];
    std::copy(best_c, best_c + 5, c);
    best = INFINITY;
    // Coarse: ends half way between samples, at most about 24 places.
    for (int i = 0; i < n; i += stride)
      for (int j = i + stride; j < n; j += stride) attempt(soft, 4 * i + 2, 4 * j + 2);
    if (std::isfinite(best)) fine(soft);
    if (!(best < before))
      best = before, best_q1 = q1, best_q2 = q2, best_edge = edge, std::copy(c, c + 5, best_c);
  }
  // The widths tried lie up to 2.5 times apart, and a soft edge's width
  // set wrong by half misplaces the light on the cells it crosses by more
  // than a faint figure's ink: the width is narrowed down about the best.
  // A sharp edge stays as sharp as it was tried: across the patches of
  // paper, a quarter cell long, it always fits a little softer.
  auto narrow = [&](std::initializer_list<double> steps) {
    if (!std::isfinite(best) || !(best_edge.soft > widths[0])) return;
    for (double step : steps) {
      const double soft = best_edge.soft;
      for (double f : {1.0 / step, step}) {
        if (soft * f < 0.5) continue;
        attempt(soft * f, best_q1, best_q2);
        fine(soft * f);
      }
    }
  };
  if (!std::isfinite(best)) {
    refit(nullptr);
    return;
  }
  // A shadow: it halves what the plane leaves unexplained, and darkens by
  // at least a tenth. A deeper one, taking a fifth of the light or more,
  // need only take away two fifths: in heavy noise that is most of what
  // any light could explain, and a corner moved a fifth of a pixel must
  // not turn such a shadow on and off.
  const double depth = std::fabs(best_c[3]);
  const bool halves = best < 0.5 * plane && depth >= std::log(1.0 / 0.9);
  const bool deep = best < 0.6 * plane && depth >= std::log(1.0 / 0.8);
  if (!halves && !deep) {
    refit(nullptr);
    return;
  }
  narrow({1.5, 1.2});
  // Light is taken away, not multiplied: once the depth is known, the edge
  // is placed again with the shadow's true form (see EdgeLine).
  for (int round = 0; round < 2 && std::isfinite(best); ++round) {
    // A shadow takes at most 95% of the light, or the lit side has at
    // most 20 times the shaded side's (a fit with few samples along the
    // edge may say more).
    gain = std::clamp(std::exp(best_c[3]) - 1.0, -0.95, 19.0);
    if (!std::isfinite(gain)) break;
    best_edge.gain = gain;
    best = fits.Solve(best_edge, best_c);
    if (!std::isfinite(best)) break;
    fine(best_edge.soft);
    narrow({1.2});
  }
  if (!std::isfinite(best) || !std::all_of(best_c, best_c + 5, [](double c) { return std::isfinite(c); })) {
    refit(nullptr);
    return;
  }
  std::copy(best_c, best_c + 5, c_);
  refit(&best_edge);
  ax_ = best_edge.ax, ay_ = best_edge.ay, nx_ = best_edge.nx, ny_ = best_edge.ny, soft_ = best_edge.soft;
  gain_ = best_edge.gain;
  shadow_ = true;
  // How far the edge may move either way before the fit gets clearly worse
  // (by four times the samples' own variance about it): a soft edge seen
  // along many samples is placed closely, a sharp one between two samples
  // only to within their spacing. The first move tried is 0.05 cell, a
  // quarter pixel on cells of 5: given a tenth at least, a sharp edge
  // placed closer than that put every small cell it crosses in doubt.
  const double variance = best / std::max<double>(1.0, samples.size() - 5.0);
  static constexpr double kMoves[] = {0.05, 0.1, 0.2, 0.3, 0.4, 0.5};
  for (int side = 0; side < 2; ++side) {
    double& out = side ? doubt_plus_ : doubt_minus_;
    out = kMoves[0];
    for (double d : kMoves) {
      EdgeLine moved = best_edge;
      const double shift = side ? d : -d;
      moved.ax += shift * moved.nx, moved.ay += shift * moved.ny;
      double c[5];
      if (fits.Solve(moved, c) > best + 4.0 * variance) break;
      out = d;
    }
  }
}

double Light::Paper(double x, double y, double shift) const {
  const double edge = shadow_ ? EdgeTerm({ax_, ay_, nx_, ny_, soft_, gain_}, x, y, shift) : 0.0;
  return std::exp(c_[0] + c_[1] * x + c_[2] * y + c_[3] * edge);
}

int Light::EdgeAlongSide(int rows, int cols, double degrees, double cells) const {
  if (!shadow_) return -1;
  const double sides[4][4] = {{0, 0, double(cols), 0},
                              {double(cols), 0, double(cols), double(rows)},
                              {0, double(rows), double(cols), double(rows)},
                              {0, 0, 0, double(rows)}};
  for (int k = 0; k < 4; ++k) {
    const double* s = sides[k];
    const double len = std::hypot(s[2] - s[0], s[3] - s[1]);
    const double across = std::fabs(((s[2] - s[0]) * nx_ + (s[3] - s[1]) * ny_) / len);
    const double d0 = (s[0] - ax_) * nx_ + (s[1] - ay_) * ny_, d1 = (s[2] - ax_) * nx_ + (s[3] - ay_) * ny_;
    if (across < std::sin(degrees * M_PI / 180.0) && std::fabs(d0) < cells && std::fabs(d1) < cells) return k;
  }
  return -1;
}

double Light::InkShare() const { return std::clamp(std::exp(c_[4]), 0.0, 1.0); }

}  // namespace vx::reader
