#include "reader/shadow_edge.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace vx::reader {
namespace {

// Gradient directions in whole degrees; the sign is kept, so a line's
// normal points from its dark side to its light side.
constexpr int kAngles = 360;
// Candidate lines checked, the strongest first.
constexpr int kPeaks = 6;
// Across the line a step is measured between points this far either side.
constexpr double kAcross = 4.0;
// A step counts where the lit side is at least 7% lighter.
constexpr double kStep = 0.07;
// Distances either side of the line at which the full step is measured:
// past the blur of a sharp edge at the first, past a soft edge's ramp
// further out.
constexpr std::array<double, 5> kReach = {8.0, 12.0, 16.0, 24.0, 32.0};

// Bilinear gray at (x, y); the caller keeps (x, y) inside the plane.
double At(const Plane& p, double x, double y) {
  const int x0 = std::clamp(static_cast<int>(x), 0, p.width - 2);
  const int y0 = std::clamp(static_cast<int>(y), 0, p.height - 2);
  const double fx = x - x0, fy = y - y0;
  const std::uint8_t* r0 = p.Row(y0);
  const std::uint8_t* r1 = p.Row(y0 + 1);
  const double top = r0[x0] + fx * (r0[x0 + 1] - r0[x0]);
  const double bottom = r1[x0] + fx * (r1[x0 + 1] - r1[x0]);
  return top + fy * (bottom - top);
}

struct Line {
  double angle;  // of the normal, radians
  double rho;
};

// Walks the line inside the plane (kept `margin` from its sides) in steps
// of 2 pixels, calling visit(x, y, nx, ny) at each point.
template <typename Visit>
void Walk(const Plane& p, const Line& l, double margin, Visit visit) {
  const double nx = std::cos(l.angle), ny = std::sin(l.angle);
  const double reach = std::hypot(p.width, p.height);
  for (double s = -reach; s <= reach; s += 2.0) {
    const double x = l.rho * nx - s * ny, y = l.rho * ny + s * nx;
    if (x < margin || y < margin || x > p.width - 1 - margin || y > p.height - 1 - margin) continue;
    visit(x, y, nx, ny);
  }
}

// Sum of the gray step across the line, light side minus dark side, at
// 1.5 pixels either side: largest where the line lies on the edge.
double Fit(const Plane& p, const Line& l) {
  double sum = 0.0;
  Walk(p, l, kAcross + 1.0, [&](double x, double y, double nx, double ny) {
    sum += At(p, x + 1.5 * nx, y + 1.5 * ny) - At(p, x - 1.5 * nx, y - 1.5 * ny);
  });
  return sum;
}

// Straight lines along which the gray level steps, by the votes of the
// pixels of strong gradient (the top 5%, and at least a step of about 6
// gray levels), each for the lines through it within 2 degrees of its
// gradient's direction.
std::vector<Line> Candidates(const Plane& p) {
  const int w = p.width, h = p.height;
  const int reach = static_cast<int>(std::ceil(std::hypot(w, h)));
  std::vector<int> mag(static_cast<std::size_t>(w) * h, 0);
  std::vector<int> count(2041, 0);
  for (int y = 1; y + 1 < h; ++y) {
    const std::uint8_t *r0 = p.Row(y - 1), *r1 = p.Row(y), *r2 = p.Row(y + 1);
    for (int x = 1; x + 1 < w; ++x) {
      const int gx = (r0[x + 1] + 2 * r1[x + 1] + r2[x + 1]) - (r0[x - 1] + 2 * r1[x - 1] + r2[x - 1]);
      const int gy = (r2[x - 1] + 2 * r2[x] + r2[x + 1]) - (r0[x - 1] + 2 * r0[x] + r0[x + 1]);
      const int m = std::abs(gx) + std::abs(gy);
      mag[static_cast<std::size_t>(y) * w + x] = m;
      ++count[m];
    }
  }
  int level = 2040;
  for (long long above = 0; level > 24 && above + count[level] <= static_cast<long long>(w) * h / 20; --level)
    above += count[level];
  std::array<double, kAngles> cosine{}, sine{};
  for (int a = 0; a < kAngles; ++a)
    cosine[a] = std::cos(a * M_PI / 180.0), sine[a] = std::sin(a * M_PI / 180.0);
  const std::size_t span = 2 * static_cast<std::size_t>(reach) + 1;
  std::vector<int> votes(kAngles * span, 0);
  for (int y = 1; y + 1 < h; ++y) {
    const std::uint8_t *r0 = p.Row(y - 1), *r1 = p.Row(y), *r2 = p.Row(y + 1);
    for (int x = 1; x + 1 < w; ++x) {
      if (mag[static_cast<std::size_t>(y) * w + x] <= level) continue;
      const int gx = (r0[x + 1] + 2 * r1[x + 1] + r2[x + 1]) - (r0[x - 1] + 2 * r1[x - 1] + r2[x - 1]);
      const int gy = (r2[x - 1] + 2 * r2[x] + r2[x + 1]) - (r0[x - 1] + 2 * r0[x] + r0[x + 1]);
      const int angle = static_cast<int>(std::lround(std::atan2(gy, gx) * 180.0 / M_PI));
      for (int d = -2; d <= 2; ++d) {
        const int a = ((angle + d) % kAngles + kAngles) % kAngles;
        const long rho = std::lround(x * cosine[a] + y * sine[a]);
        ++votes[a * span + static_cast<std::size_t>(rho + reach)];
      }
    }
  }
  // The strongest lines, each at least 5 degrees or 10 pixels from those before.
  std::vector<Line> lines;
  std::vector<std::array<int, 2>> taken;
  for (int k = 0; k < kPeaks; ++k) {
    int best = 0, best_a = 0, best_r = 0;
    for (int a = 0; a < kAngles; ++a)
      for (std::size_t r = 1; r + 1 < span; ++r) {
        // A slanting line's pixels fall in neighbouring bins of distance.
        const int* at = &votes[a * span + r];
        const int v = at[-1] + at[0] + at[1];
        if (v <= best) continue;
        bool near = false;
        for (const auto& t : taken) {
          const int da = std::min(std::abs(a - t[0]), kAngles - std::abs(a - t[0]));
          near = near || (da <= 5 && std::abs(static_cast<int>(r) - t[1]) <= 10);
        }
        if (!near) best = v, best_a = a, best_r = static_cast<int>(r);
      }
    if (best == 0) break;
    taken.push_back({best_a, best_r});
    lines.push_back({best_a * M_PI / 180.0, static_cast<double>(best_r - reach)});
  }
  return lines;
}

}  // namespace

bool FindShadowEdge(const Plane& plane, ShadowEdge& edge) {
  const int shorter = std::min(plane.width, plane.height);
  if (shorter < 32) return false;
  int most = 0;
  for (Line line : Candidates(plane)) {
    // The vote places a line to a degree and a pixel; the step across it
    // places it to a tenth of a degree and half a pixel.
    Line best = line;
    double best_fit = Fit(plane, line);
    for (int da = -10; da <= 10; ++da)
      for (int dr = -4; dr <= 4; ++dr) {
        const Line l{line.angle + da * M_PI / 1800.0, line.rho + dr * 0.5};
        const double f = Fit(plane, l);
        if (f > best_fit) best_fit = f, best = l;
      }
    int total = 0, stepped = 0;
    std::array<std::vector<double>, kReach.size()> steps;
    std::vector<char> step_at;
    Walk(plane, best, 2.0 * kAcross + 1.0, [&](double x, double y, double nx, double ny) {
      ++total;
      const double lit = At(plane, x + kAcross * nx, y + kAcross * ny);
      const double dark = At(plane, x - kAcross * nx, y - kAcross * ny);
      step_at.push_back(std::log((lit + 1.0) / (dark + 1.0)) >= kStep);
      if (!step_at.back()) return;
      ++stepped;
      // The full step at each distance both of whose points lie inside.
      for (std::size_t k = 0; k < kReach.size(); ++k) {
        const double d = kReach[k];
        const double lx = x + d * nx, ly = y + d * ny, dx = x - d * nx, dy = y - d * ny;
        if (std::min({lx, ly, dx, dy}) < 0.0 || std::max(lx, dx) > plane.width - 1 ||
            std::max(ly, dy) > plane.height - 1)
          continue;
        steps[k].push_back(std::log((At(plane, lx, ly) + 1.0) / (At(plane, dx, dy) + 1.0)));
      }
    });
    // Long (2 pixels a step), stepped along three quarters of it, and at
    // both ends: a figure's side stops at its corners, a shadow's edge runs
    // on to the picture's edges.
    if (4 * stepped < 3 * total || 2 * total < shorter / 2 || stepped <= most) continue;
    const int end = std::max(1, total / 10);
    int first = 0, last = 0;
    for (int k = 0; k < end; ++k) first += step_at[k], last += step_at[total - 1 - k];
    if (2 * first < end || 2 * last < end) continue;
    // The median step at each distance measured at half the stepped points
    // or more (the first always is: the walk keeps its points inside).
    std::array<double, kReach.size()> median{};
    std::size_t measured = 0;
    for (; measured < kReach.size() && 2 * steps[measured].size() >= static_cast<std::size_t>(stepped);
         ++measured) {
      std::vector<double>& v = steps[measured];
      std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
      median[measured] = v[v.size() / 2];
    }
    if (!(median[0] >= kStep)) continue;
    most = stepped;
    edge = {std::cos(best.angle), std::sin(best.angle), best.rho, median[0], median[0], kReach[0]};
    for (std::size_t k = 1; k < measured; ++k) edge.full = std::max(edge.full, median[k]);
    for (std::size_t k = 0; k < measured; ++k)
      if (median[k] >= 0.9 * edge.full) {
        edge.ramp = kReach[k];
        break;
      }
  }
  return most > 0;
}

ShadowEdge ScaledUp(const ShadowEdge& edge, int factor) {
  // Plane pixel centre p is picture point (p + 0.5) factor - 0.5.
  const double shift = 0.5 * (edge.nx + edge.ny);
  ShadowEdge out = edge;
  out.rho = factor * (edge.rho + shift) - shift;
  out.ramp = edge.ramp * factor;
  return out;
}

Plane LiftShadow(const Plane& plane, const ShadowEdge& edge, double ramp) {
  Plane out(plane.width, plane.height);
  const double width = std::max(ramp, 0.5);
  auto lifted = [&](int x, int y) {
    x = std::clamp(x, 0, plane.width - 1), y = std::clamp(y, 0, plane.height - 1);
    const double s = edge.nx * x + edge.ny * y - edge.rho;
    if (s >= width) return static_cast<double>(plane.Row(y)[x]);
    return plane.Row(y)[x] * std::exp(edge.depth * std::min(1.0, (width - s) / (2.0 * width)));
  };
  for (int y = 0; y < plane.height; ++y) {
    std::uint8_t* o = out.Row(y);
    for (int x = 0; x < plane.width; ++x) {
      const double s = edge.nx * x + edge.ny * y - edge.rho;
      double v = lifted(x, y);
      // On the edge itself the light is known worse than its blur: the
      // lighter of the lifted levels just beyond the ramp either side
      // stands, so no dark seam is left along it (ink crossing the edge is
      // dark on both sides and stays).
      if (std::fabs(s) < width) {
        const double on = width + 1.0 - s, off = width + 1.0 + s;
        v = std::max(lifted(static_cast<int>(std::lround(x + on * edge.nx)),
                            static_cast<int>(std::lround(y + on * edge.ny))),
                     lifted(static_cast<int>(std::lround(x - off * edge.nx)),
                            static_cast<int>(std::lround(y - off * edge.ny))));
      }
      o[x] = static_cast<std::uint8_t>(std::min(255.0, std::round(v)));
    }
  }
  return out;
}

}  // namespace vx::reader
