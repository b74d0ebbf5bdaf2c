#include "reader/soft_shadow.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vx::reader {
namespace {

// The plane reduced on the coarse side to about this many pixels.
constexpr int kCoarseSide = 48;
// The paper's level at a distance: this share of the pixels there are
// darker. Ink, cells and marks on the line take the rest.
constexpr double kPaperShare = 0.8;
// Fewer pixels than this at a distance (the plane's corners) take the
// level of the nearest distance with more.
constexpr int kFewest = 8;
// The light is smoothed over this many pixels of distance either side.
constexpr int kSmooth = 2;

// Each pixel the rounded mean of a factor x factor block.
Plane Reduce(const Plane& plane, int factor) {
  Plane out(plane.width / factor, plane.height / factor);
  const int n = factor * factor;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int sum = 0;
      for (int dy = 0; dy < factor; ++dy) {
        const std::uint8_t* row = plane.Row(y * factor + dy) + x * factor;
        for (int dx = 0; dx < factor; ++dx) sum += row[dx];
      }
      out.Row(y)[x] = static_cast<std::uint8_t>((sum + n / 2) / n);
    }
  return out;
}

}  // namespace

bool FindSoftShadow(const Plane& plane, SoftShadow& shadow) {
  const int factor = std::min(plane.width, plane.height) / kCoarseSide;
  if (factor < 2) return false;
  ShadowEdge coarse;
  if (!FindShadowEdge(Reduce(plane, factor), coarse)) return false;
  // Coarse pixel centre (x, y) is plane point ((x + 0.5) factor - 0.5, ...).
  ShadowEdge& e = shadow.edge;
  e = coarse;
  e.rho = factor * (coarse.rho + 0.5 * (coarse.nx + coarse.ny)) - 0.5 * (coarse.nx + coarse.ny);

  // Distances from the line over the plane, in whole pixels.
  double lo = 1e300, hi = -1e300;
  for (int cy : {0, plane.height - 1})
    for (int cx : {0, plane.width - 1}) {
      const double s = e.nx * cx + e.ny * cy - e.rho;
      lo = std::min(lo, s), hi = std::max(hi, s);
    }
  shadow.first = std::floor(lo);
  const int bins = static_cast<int>(std::floor(hi) - shadow.first) + 1;
  std::vector<std::array<int, 256>> hist(static_cast<std::size_t>(bins));
  for (auto& h : hist) h.fill(0);
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* row = plane.Row(y);
    const double base = e.ny * y - e.rho - shadow.first;
    for (int x = 0; x < plane.width; ++x) {
      const int b = std::clamp(static_cast<int>(e.nx * x + base), 0, bins - 1);
      ++hist[b][row[x]];
    }
  }
  std::vector<double> level(static_cast<std::size_t>(bins), -1.0);
  for (int b = 0; b < bins; ++b) {
    int n = 0;
    for (int v : hist[b]) n += v;
    if (n < kFewest) continue;
    const int below = static_cast<int>(kPaperShare * n);
    int v = 0;
    for (int seen = hist[b][0]; seen <= below && v < 255;) seen += hist[b][++v];
    level[b] = std::max(1, v);
  }
  // Distances with too few pixels take the nearest level read.
  int known = -1;
  for (int b = 0; b < bins; ++b)
    if (level[b] > 0)
      known = b;
    else if (known >= 0)
      level[b] = level[known];
  for (int b = bins - 1; b >= 0; --b)
    if (level[b] > 0)
      known = b;
    else if (known >= 0)
      level[b] = level[known];
  if (known < 0) return false;
  shadow.light.assign(static_cast<std::size_t>(bins), 0.0);
  for (int b = 0; b < bins; ++b) {
    double sum = 0.0;
    int n = 0;
    for (int k = std::max(0, b - kSmooth); k <= std::min(bins - 1, b + kSmooth); ++k) sum += level[k], ++n;
    shadow.light[b] = sum / n;
  }
  return true;
}

Plane LiftSoftShadow(const Plane& plane, const SoftShadow& shadow, int factor) {
  const SoftShadow& s = shadow;
  const double top = *std::max_element(s.light.begin(), s.light.end());
  const int bins = static_cast<int>(s.light.size());
  // Pixel centre x of this plane lies at (x + 0.5) / factor - 0.5 on the
  // shadow's (exactly x when factor is 1).
  auto at = [factor](int x) { return (x + 0.5) / factor - 0.5; };
  Plane out(plane.width, plane.height);
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* row = plane.Row(y);
    std::uint8_t* o = out.Row(y);
    const double base = s.edge.ny * at(y) - s.edge.rho - s.first;
    for (int x = 0; x < plane.width; ++x) {
      const int b = std::clamp(static_cast<int>(s.edge.nx * at(x) + base), 0, bins - 1);
      o[x] = static_cast<std::uint8_t>(std::min(255.0, std::round(row[x] * top / s.light[b])));
    }
  }
  return out;
}

}  // namespace vx::reader
