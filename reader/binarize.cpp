#include "reader/binarize.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace vx::reader {

int OtsuLevel(const Plane& plane, int top) {
  std::array<double, 256> hist{};
  for (std::uint8_t v : plane.px) hist[v] += 1.0;
  for (int v = std::clamp(top, 0, 255) + 1; v < 256; ++v) hist[v] = 0.0;
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

Integral::Integral(const Plane& plane)
    : width_(plane.width),
      s_((static_cast<std::size_t>(plane.width) + 1) * (static_cast<std::size_t>(plane.height) + 1), 0u) {
  const std::size_t w = static_cast<std::size_t>(plane.width) + 1;
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* r = plane.Row(y);
    std::uint32_t run = 0;
    std::uint32_t* above = &s_[y * w];
    std::uint32_t* here = &s_[(y + 1) * w];
    for (int x = 0; x < plane.width; ++x) {
      run += r[x];
      here[x + 1] = above[x + 1] + run;
    }
  }
}

Plane ThresholdGlobal(const Plane& plane, int level) {
  Plane out(plane.width, plane.height);
  for (std::size_t i = 0; i < plane.px.size(); ++i) out.px[i] = plane.px[i] <= level;
  return out;
}

Plane ThresholdLocal(const Plane& plane, const Integral& sums, int window, int offset) {
  const int w = plane.width, h = plane.height, half = window / 2;
  Plane out(w, h);
  for (int y = 0; y < h; ++y) {
    const int y0 = std::max(0, y - half), y1 = std::min(h, y - half + window);
    const std::uint8_t* r = plane.Row(y);
    std::uint8_t* d = out.Row(y);
    for (int x = 0; x < w; ++x) {
      const int x0 = std::max(0, x - half), x1 = std::min(w, x - half + window);
      const std::int64_t area = static_cast<std::int64_t>(x1 - x0) * (y1 - y0);
      // gray < sum / area - offset, in integers.
      d[x] = (static_cast<std::int64_t>(r[x]) + offset) * area < sums.Box(x0, y0, x1, y1);
    }
  }
  return out;
}

Plane ThresholdBlock(const Plane& plane, const Integral& sums, int block) {
  const int w = plane.width, h = plane.height;
  Plane out(w, h);
  for (int by = 0; by < h; by += block) {
    const int y1 = std::min(h, by + block);
    for (int bx = 0; bx < w; bx += block) {
      const int x1 = std::min(w, bx + block);
      const double mean =
          static_cast<double>(sums.Box(bx, by, x1, y1)) / (static_cast<double>(x1 - bx) * (y1 - by));
      const double level = (mean + 128.0) / 2.0;
      for (int y = by; y < y1; ++y) {
        const std::uint8_t* r = plane.Row(y);
        std::uint8_t* d = out.Row(y);
        for (int x = bx; x < x1; ++x) d[x] = r[x] <= level;
      }
    }
  }
  return out;
}

namespace {

// Running maximum (or minimum) over a centred window of `window` entries
// along one line of `n` values `step` apart, cut at the line's ends: a
// queue of indices whose values only fall (rise) keeps each step O(1).
template <bool kMax>
void RunningExtreme(const std::uint8_t* in, std::uint8_t* out, int n, std::ptrdiff_t step, int window,
                    std::vector<int>& queue) {
  const int half = window / 2;
  queue.resize(n);
  int head = 0, tail = 0;
  auto better = [](std::uint8_t a, std::uint8_t b) { return kMax ? a >= b : a <= b; };
  int next = 0;  // next index to enter the window
  for (int x = 0; x < n; ++x) {
    const int last = std::min(n - 1, x - half + window - 1);
    for (; next <= last; ++next) {
      while (tail > head && better(in[next * step], in[queue[tail - 1] * step])) --tail;
      queue[tail++] = next;
    }
    while (queue[head] < x - half) ++head;
    out[x * step] = in[queue[head] * step];
  }
}

template <bool kMax>
Plane Extreme(const Plane& plane, int window) {
  const int w = plane.width, h = plane.height;
  Plane across(w, h), out(w, h);
  std::vector<int> queue;
  for (int y = 0; y < h; ++y) RunningExtreme<kMax>(plane.Row(y), across.Row(y), w, 1, window, queue);
  for (int x = 0; x < w; ++x)
    RunningExtreme<kMax>(across.px.data() + x, out.px.data() + x, h, w, window, queue);
  return out;
}

}  // namespace

Plane Flatten(const Plane& plane, int window) {
  const Plane paper = Extreme<false>(Extreme<true>(plane, window), window);
  Plane out(plane.width, plane.height);
  for (std::size_t i = 0; i < plane.px.size(); ++i)
    out.px[i] = static_cast<std::uint8_t>((255 * static_cast<int>(plane.px[i]) + paper.px[i] / 2) /
                                          std::max<int>(paper.px[i], 1));
  return out;
}

Plane CloseGaps(const Plane& binary, int width) {
  return Extreme<false>(Extreme<true>(binary, width), width);
}

Plane OpenStrips(const Plane& binary, int width) {
  return Extreme<true>(Extreme<false>(binary, width), width);
}

}  // namespace vx::reader
