#include "tools/random_params.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace vxgen {
namespace {

double Uniform(std::mt19937& rng, double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); }

}  // namespace

FigureParams RandomParams(std::uint32_t seed, int index, const SetLimits& limits) {
  std::mt19937 rng(seed * 7919u + static_cast<std::uint32_t>(index) * 104729u + 17u);
  FigureParams s;
  const int span = limits.max_cells - limits.min_cells + 1;
  s.rows = limits.min_cells + static_cast<int>(rng() % static_cast<std::uint32_t>(span));
  s.cols = limits.min_cells + static_cast<int>(rng() % static_cast<std::uint32_t>(span));
  s.size = std::exp(Uniform(rng, std::log(limits.min_size), std::log(limits.max_size)));
  s.angle = Uniform(rng, 0.0, 360.0);
  s.skew = Uniform(rng, 0.0, limits.max_skew);
  const double cell = s.size / std::max(s.rows, s.cols);
  s.blur = Uniform(rng, 0.0, std::min(limits.max_blur, cell / 10.0));
  s.noise = Uniform(rng, 0.0, limits.max_noise);
  s.gradient = Uniform(rng, 0.0, limits.max_gradient);
  s.seed = rng();
  return s;
}

}  // namespace vxgen
