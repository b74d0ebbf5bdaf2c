#include "reader/edges.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vx::reader {
namespace {

// Profile samples lie this far apart across the edge, pixels.
constexpr double kStep = 0.5;

// A straight line y = offset + slope * x fitted by least squares to points
// given across (y) and along (x) a side, and how well it is placed.
struct SideFit {
  double mean_x = 0, mean_y = 0, slope = 0, sxx = 0, sigma = 0;
  int count = 0;
  // The line's offset at x.
  double At(double x) const { return mean_y + slope * (x - mean_x); }
  // The variance of At(x) for points of unit scatter.
  double Spread(double x) const { return 1.0 / count + (x - mean_x) * (x - mean_x) / sxx; }
  // One standard error of At(x), the scatter about the line taken as
  // `inflation` times as many independent points' worth.
  double Error(double x, double inflation) const { return sigma * std::sqrt(inflation * Spread(x)); }
};

bool Fit(const std::vector<double>& x, const std::vector<double>& y, std::size_t from, std::size_t to,
         SideFit& f) {
  f.count = static_cast<int>(to - from);
  if (f.count < 3) return false;
  f.mean_x = f.mean_y = 0.0;
  for (std::size_t k = from; k < to; ++k) f.mean_x += x[k] / f.count, f.mean_y += y[k] / f.count;
  double sxy = 0.0;
  f.sxx = 0.0;
  for (std::size_t k = from; k < to; ++k) {
    f.sxx += (x[k] - f.mean_x) * (x[k] - f.mean_x);
    sxy += (x[k] - f.mean_x) * (y[k] - f.mean_y);
  }
  if (f.sxx <= 0.0) return false;
  f.slope = sxy / f.sxx;
  double rss = 0.0;
  for (std::size_t k = from; k < to; ++k) rss += (y[k] - f.At(x[k])) * (y[k] - f.At(x[k]));
  f.sigma = std::sqrt(rss / std::max(1, f.count - 2));
  return true;
}

// How far the side's line may be from the true edge at its two ends, x0 and
// x1 along it, from the edge points (x along, y across, in order along).
// Two things leave an end in doubt. The scatter of the points: one standard
// error of the fitted line there, the points counted as fewer independent
// ones as far as neighbouring points stray together (blur, the cells behind
// the ring and compression make the scatter run in stretches, not point by
// point). And a bend: the side is straight in any view of a flat figure,
// so when a line fitted to either half of the points reaches the end
// elsewhere than the whole line does, part of the points follow something
// else (a shadow's edge crossing the side, clutter touching it), and which
// part follows the figure cannot be told from the points: the end may lie
// where either half puts it. Noise alone parts the two too: with no bend
// the whole line is the better estimate of the two, so the half's line lies
// from it by a normal error whose variance is the half's less the whole's
// (the scatter pooled over both halves, more points than either has alone).
// A half's line that extrapolates far from few points often lands a pixel
// or more away by chance, so a bend counts only where it exceeds two of
// those standard errors, and then by what its square exceeds the half's own
// error's.
void EndDoubts(const std::vector<double>& x, const std::vector<double>& y, double x0, double x1,
               std::array<double, 2>& doubt) {
  SideFit whole, halves[2];
  const std::size_t mid = x.size() / 2;
  if (!Fit(x, y, 0, x.size(), whole)) return;
  const bool split = Fit(x, y, 0, mid, halves[0]) && Fit(x, y, mid, x.size(), halves[1]);
  // Neighbouring points' residuals about the halves' lines (a bend is no
  // part of the scatter) tell how far the scatter runs in stretches.
  double lag = 0.0, square = 0.0;
  for (std::size_t k = 0; k < x.size(); ++k) {
    const SideFit& f = !split ? whole : k < mid ? halves[0] : halves[1];
    const double r = y[k] - f.At(x[k]);
    square += r * r;
    if (k + 1 < x.size() && (k + 1 < mid) == (k < mid)) lag += r * (y[k + 1] - f.At(x[k + 1]));
  }
  const double rho = square > 0.0 ? std::clamp(lag / square, 0.0, 0.9) : 0.0;
  const double inflation = (1.0 + rho) / (1.0 - rho);
  // Each half has at least 3 points, so at least 2 degrees of freedom remain.
  const double pooled = std::sqrt(square / (split ? double(x.size()) - 4.0 : 1.0));
  const double ends[2] = {x0, x1};
  for (int e = 0; e < 2; ++e) {
    double d = whole.Error(ends[e], inflation);
    if (split) {
      for (const SideFit& h : halves) {
        const double apart = h.At(ends[e]) - whole.At(ends[e]), noise = h.Error(ends[e], inflation);
        const double chance =
            pooled * std::sqrt(inflation * std::max(0.0, h.Spread(ends[e]) - whole.Spread(ends[e])));
        if (!(std::fabs(apart) > 2.0 * chance)) continue;
        d = std::max(d, std::sqrt(std::max(0.0, apart * apart - noise * noise)));
      }
    }
    doubt[e] = d;
  }
}

// Finds one side again: profiles across it from `half` * kStep outside to
// as far inside. A profile's paper level is the lightest of its outer half
// and its ink level the darkest of its inner half (each smoothed over three
// samples, and every sample the mean of three points along the edge, so
// noise does not pick them); the edge is where the profile crosses their
// middle going inward from light to dark, the crossing nearest the rough
// line. Blur spreads the edge symmetrically about that middle, so the
// crossing stays on the true edge however soft it is, as long as the profile
// reaches both plateaus. A profile may start nearer than `half` * kStep
// where the picture's edge cuts it off, as long as the edge it shows lies
// `least` or more from its start. False when too few profiles show an edge.
bool FindSide(const PictureView& picture, Point a, Point b, double sign, int half, double least, Line& fit,
              std::array<double, 2>& doubt) {
  const double len = Distance(a, b);
  const Point dir{(b.x - a.x) / len, (b.y - a.y) / len};
  // Outward normal: left of the direction for a clockwise outline.
  const Point out{sign * dir.y, -sign * dir.x};
  const int count = std::clamp(static_cast<int>(len / 3.0), 6, 48);
  const int n = 2 * half + 1;
  std::vector<double> profile(n), smooth(n);
  std::vector<Point> edge;
  double t_first = 1.0, t_last = 0.0;  // the stretch of the side the points cover
  for (int k = 0; k < count; ++k) {
    const double t = 0.12 + 0.76 * (k + 0.5) / count;
    const Point c{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    const double reach = half * kStep;
    if (!picture.Inside(c.x - out.x * reach, c.y - out.y * reach)) continue;
    // A side near the picture's edge has less paper outside it than the
    // profile would run over: the profile starts at the picture's edge, and
    // the edge found on such a cut profile must leave `least` of paper
    // outside it (where the paper beside a blurred edge has settled). The
    // rough line may lie beyond the true edge, near or on the picture's
    // edge; skipping such profiles would leave the side on it.
    int first = 0;
    while (first < half &&
           !picture.Inside(c.x + out.x * (half - first) * kStep, c.y + out.y * (half - first) * kStep))
      ++first;
    if (!picture.Inside(c.x, c.y)) continue;
    // Profile from outside (index `first`) to inside.
    for (int i = first; i < n; ++i) {
      const double d = (half - i) * kStep;
      double sum = 0.0;
      for (int s = -1; s <= 1; ++s)
        sum += picture.Sample(c.x + out.x * d + dir.x * s, c.y + out.y * d + dir.y * s);
      profile[i] = sum / 3.0;
    }
    for (int i = first; i < n; ++i)
      smooth[i] = (profile[std::max(i - 1, first)] + profile[i] + profile[std::min(i + 1, n - 1)]) / 3.0;
    const double paper = *std::max_element(smooth.begin() + first, smooth.begin() + half + 1);
    const double ink = *std::min_element(smooth.begin() + half, smooth.end());
    if (paper - ink < 8.0) continue;
    const double mid = (paper + ink) / 2.0;
    double best = 1e9, at = 0.0;
    for (int i = first + 1; i < n; ++i) {
      if (!(profile[i - 1] >= mid && profile[i] < mid)) continue;
      const double f = (profile[i - 1] - mid) / (profile[i - 1] - profile[i]);
      const double d = (half - (i - 1 + f)) * kStep;
      if (std::fabs(d) < std::fabs(best)) best = d, at = d;
    }
    if (best == 1e9 || (first > 0 && (half - first) * kStep - at < least)) continue;
    edge.push_back({c.x + out.x * at, c.y + out.y * at});
    t_first = std::min(t_first, t), t_last = std::max(t_last, t);
  }
  // Points over less than half the side (the rest beyond the picture's
  // edge) would tilt the line at the far end: the rough line stays.
  if (t_last - t_first < 0.5 || edge.size() < 4 || !FitLine(edge, fit)) return false;
  // Refit without the profiles that stray (clutter, a shadow's edge).
  std::vector<double> off;
  for (const Point& p : edge) off.push_back(std::fabs(SignedDistance(fit, p)));
  std::vector<double> sorted = off;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  const double limit = std::max(0.5, 2.5 * sorted[sorted.size() / 2]);
  std::vector<Point> close;
  for (std::size_t k = 0; k < edge.size(); ++k)
    if (off[k] <= limit) close.push_back(edge[k]);
  if (close.size() >= 4)
    FitLine(close, fit);
  else
    close = edge;
  if (fit.dir.x * dir.x + fit.dir.y * dir.y < 0.0) fit.dir = {-fit.dir.x, -fit.dir.y};
  // The line's place at the side's ends, in coordinates along the side
  // from a and across it (the points are in order along it).
  std::vector<double> along, across;
  for (const Point& p : close) {
    along.push_back((p.x - a.x) * dir.x + (p.y - a.y) * dir.y);
    across.push_back((p.x - a.x) * out.x + (p.y - a.y) * out.y);
  }
  EndDoubts(along, across, 0.0, len, doubt);
  return true;
}

// One pass over the four sides; false when the sides found do not make a
// convex outline within `move` pixels of the old one.
bool RefinePass(const PictureView& picture, Quad& outline, int half, double least, double move,
                double unfound, std::array<double, 4>& doubt) {
  const double sign = TwiceSignedArea(outline) >= 0.0 ? 1.0 : -1.0;
  std::array<Line, 4> sides{};
  std::array<std::array<double, 2>, 4> side_doubt{};
  for (int s = 0; s < 4; ++s) {
    const Point a = outline[s], b = outline[(s + 1) % 4];
    const double len = Distance(a, b);
    sides[s] = {a, {(b.x - a.x) / len, (b.y - a.y) / len}};
    // Not found again (too near the picture's edge): the rough line stands.
    side_doubt[s] = {unfound, unfound};
    Line fit{};
    if (FindSide(picture, a, b, sign, half, least, fit, side_doubt[s])) sides[s] = fit;
  }
  Quad refined{};
  for (int k = 0; k < 4; ++k)
    if (!Cross(sides[(k + 3) % 4], sides[k], refined[k])) return false;
  if (!IsConvex(refined)) return false;
  for (int k = 0; k < 4; ++k)
    if (Distance(refined[k], outline[k]) > move) return false;
  outline = refined;
  for (int k = 0; k < 4; ++k) doubt[k] = std::hypot(side_doubt[(k + 3) % 4][1], side_doubt[k][0]);
  return true;
}

}  // namespace

bool RefineEdges(const PictureView& picture, Quad& outline, double reach, double cell, double unfound,
                 std::array<double, 4>& doubt) {
  // The profile runs past the rough edge by the reach and then far enough
  // for a blur of up to 2 pixels to settle, but stays within half a cell of
  // the edge inside the ring (beyond lie the inner lines) and outside it.
  const double span = std::clamp(0.5 * cell, reach + 1.0, reach + 5.0);
  doubt.fill(0.0);
  const double least = reach + 1.0;
  if (!RefinePass(picture, outline, static_cast<int>(std::ceil(span / kStep)), std::min(span, least),
                  2.0 * span + 1.0, unfound, doubt))
    return false;
  // Again about the found sides, the profiles now centred on the edge.
  const double again = std::clamp(0.5 * cell, 1.5, 5.0);
  RefinePass(picture, outline, static_cast<int>(std::ceil(again / kStep)), std::min(again, least),
             2.0 * again + 1.0, unfound, doubt);
  return true;
}

// A small doubt comes from the scatter of the edge points and overstates
// the error: over the candidates of 2000 generated harsh pictures the
// corners lay, in the median, a fifth of their doubt from the truth. Up to
// kRoomyDoubt pixels a doubt gets a quarter more room than the quarter
// cell. A larger doubt comes from a bend or a side found over part of its
// length, whose error it may understate; it gets none.
constexpr double kRoomyDoubt = 3.0;

double CornerCell(const Quad& seen, int rows, int cols, int j) {
  const Homography map(seen);
  const double cu = j == 1 || j == 2 ? 1.0 : 0.0, cv = j >= 2 ? 1.0 : 0.0;
  const double du = (cu > 0.5 ? -1.0 : 1.0) / cols, dv = (cv > 0.5 ? -1.0 : 1.0) / rows;
  const Point c = map.Apply(cu, cv);
  return std::min(Distance(c, map.Apply(cu + du, cv)), Distance(c, map.Apply(cu, cv + dv)));
}

bool CornersInDoubt(const Quad& outline, const std::array<double, 4>& doubt, const Quad& seen, int rows,
                    int cols) {
  for (int j = 0; j < 4; ++j) {
    const double cell = CornerCell(seen, rows, cols, j);
    for (int k = 0; k < 4; ++k)
      if (outline[k].x == seen[j].x && outline[k].y == seen[j].y &&
          doubt[k] > (doubt[k] <= kRoomyDoubt ? 1.25 : 1.0) * std::max(1.0, cell / 4.0))
        return true;
  }
  return false;
}

}  // namespace vx::reader
