#include "cli/pipeline_image.h"

#include <algorithm>
#include <array>

namespace vxcli {

GrayImage ReduceByMean(const IMG& gray, int factor) {
  const int w = gray.width / factor, h = gray.height / factor;
  GrayImage out(w, h);
  // 64 bits: a factor of 50000 (a very long picture read small) squares to
  // more than an int holds, and a block of 2902 x 2902 white pixels sums past it.
  const std::int64_t area = std::int64_t{factor} * factor;
  std::vector<std::int64_t> sums(static_cast<std::size_t>(w));
  for (int y = 0; y < h; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int dy = 0; dy < factor; ++dy) {
      const std::uint8_t* src = gray.bits + static_cast<std::size_t>(y * factor + dy) * gray.stride;
      for (int x = 0; x < w; ++x) {
        std::int64_t s = 0;
        for (int dx = 0; dx < factor; ++dx) s += src[x * factor + dx];
        sums[x] += s;
      }
    }
    std::uint8_t* dst = out.row(y);
    for (int x = 0; x < w; ++x) dst[x] = static_cast<std::uint8_t>((sums[x] + area / 2) / area);
  }
  return out;
}

int ReductionFactor(int width, int height, int max_side) {
  const int longer = width > height ? width : height;
  if (max_side < 1 || longer <= max_side) return 1;
  return static_cast<int>((std::int64_t{longer} + max_side - 1) / max_side);
}

int OtsuLevel(const GrayImage& gray) {
  std::array<double, 256> hist{};
  for (int y = 0; y < gray.height(); ++y) {
    const std::uint8_t* p = gray.row(y);
    for (int x = 0; x < gray.width(); ++x) hist[p[x]] += 1.0;
  }
  double total = 0.0, sum_all = 0.0;
  for (int v = 0; v < 256; ++v) total += hist[v], sum_all += v * hist[v];
  double below = 0.0, sum_below = 0.0, best = -1.0;
  int level = 127;
  for (int t = 0; t < 255; ++t) {
    below += hist[t];
    sum_below += t * hist[t];
    const double above = total - below;
    if (below == 0.0 || above == 0.0) continue;
    const double diff = sum_below / below - (sum_all - sum_below) / above;
    const double between = below * above * diff * diff;
    if (between > best) best = between, level = t;
  }
  return level;
}

}  // namespace vxcli
