#include "reader/plane.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "image/gray.h"

namespace vx::reader {

int PictureView::Gray(int x, int y) const {
  x = std::clamp(x, 0, img_.width - 1);
  y = std::clamp(y, 0, img_.height - 1);
  const unsigned char* line = Line(y);
  return gray() ? line[x] : GrayByte(line + static_cast<std::ptrdiff_t>(x) * 3);
}

double PictureView::Sample(double x, double y) const {
  x = std::clamp(x, 0.0, img_.width - 1.0);
  y = std::clamp(y, 0.0, img_.height - 1.0);
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  const double fx = x - x0, fy = y - y0;
  const int x1 = std::min(x0 + 1, img_.width - 1), y1 = std::min(y0 + 1, img_.height - 1);
  const double top = Gray(x0, y0) * (1.0 - fx) + Gray(x1, y0) * fx;
  const double bottom = Gray(x0, y1) * (1.0 - fx) + Gray(x1, y1) * fx;
  return top * (1.0 - fy) + bottom * fy;
}

int ReductionFactor(int width, int height, int max_side) {
  const std::int64_t longer = std::max(width, height);
  if (max_side < 1 || longer <= max_side) return 1;
  return static_cast<int>((longer + max_side - 1) / max_side);
}

Plane ReduceToGray(const PictureView& picture, int factor) {
  const int w = picture.width() / factor, h = picture.height() / factor;
  Plane out(w, h);
  std::vector<std::uint8_t> line(static_cast<std::size_t>(w) * factor);
  // 64 bits: a block of 4105 x 4105 white pixels sums past 32 bits, and a
  // factor of 65536 squares to 2^32.
  std::vector<std::uint64_t> sums(static_cast<std::size_t>(w));
  const std::uint64_t area = static_cast<std::uint64_t>(factor) * static_cast<std::uint64_t>(factor);
  for (int y = 0; y < h; ++y) {
    std::fill(sums.begin(), sums.end(), std::uint64_t{0});
    for (int dy = 0; dy < factor; ++dy) {
      const unsigned char* src = picture.Line(y * factor + dy);
      const std::uint8_t* g = src;
      if (!picture.gray()) {
        GrayRowTo8(src, line.data(), w * factor);
        g = line.data();
      }
      if (factor == 1) {
        for (int x = 0; x < w; ++x) sums[x] += g[x];
        continue;
      }
      for (int x = 0; x < w; ++x) {
        std::uint64_t s = 0;
        const std::uint8_t* p = g + static_cast<std::size_t>(x) * factor;
        for (int dx = 0; dx < factor; ++dx) s += p[dx];
        sums[x] += s;
      }
    }
    std::uint8_t* dst = out.Row(y);
    for (int x = 0; x < w; ++x) dst[x] = static_cast<std::uint8_t>((sums[x] + area / 2) / area);
  }
  return out;
}

Plane BoxSmooth(const Plane& plane) {
  const int w = plane.width, h = plane.height;
  Plane across(w, h), out(w, h);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* s = plane.Row(y);
    std::uint8_t* d = across.Row(y);
    for (int x = 0; x < w; ++x) {
      const int l = s[std::max(x - 1, 0)], r = s[std::min(x + 1, w - 1)];
      d[x] = static_cast<std::uint8_t>((l + s[x] + r + 1) / 3);
    }
  }
  for (int y = 0; y < h; ++y) {
    const std::uint8_t *u = across.Row(std::max(y - 1, 0)), *m = across.Row(y),
                       *b = across.Row(std::min(y + 1, h - 1));
    std::uint8_t* d = out.Row(y);
    for (int x = 0; x < w; ++x) d[x] = static_cast<std::uint8_t>((u[x] + m[x] + b[x] + 1) / 3);
  }
  return out;
}

double NoiseFromDifferences(const std::array<std::size_t, 256>& hist, std::size_t n) {
  if (n == 0) return 0.0;
  std::size_t seen = 0;
  int median = 0;
  while (median < 255 && (seen += hist[median]) < (n + 1) / 2) ++median;
  // For Gaussian noise the difference of two pixels has sigma * sqrt(2) and
  // its median absolute value is 0.6745 of that.
  return median / (0.6745 * std::sqrt(2.0));
}

double NoiseSigma(const Plane& plane) {
  std::array<std::size_t, 256> hist{};
  std::size_t n = 0;
  const int step = std::max(1, plane.height / 64);
  for (int y = 0; y < plane.height; y += step) {
    const std::uint8_t* r = plane.Row(y);
    for (int x = 0; x + 1 < plane.width; ++x) {
      ++hist[std::abs(r[x + 1] - r[x])];
      ++n;
    }
  }
  return NoiseFromDifferences(hist, n);
}

}  // namespace vx::reader
