#include "tools/spoil.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace vxgen {
namespace {

// Fast, fully specified generator (xorshift64*), so noise costs little and a
// seed gives the same picture with any standard library.
struct FastRandom {
  std::uint64_t s;
  explicit FastRandom(std::uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull | 1u) {}
  std::uint64_t Next() {
    s ^= s >> 12, s ^= s << 25, s ^= s >> 27;
    return s * 0x2545F4914F6CDD1Dull;
  }
};

// 65536 standard normal values, looked up by 16 random bits: one table
// read per pixel instead of a logarithm and a cosine.
const std::vector<float>& NormalTable() {
  static const std::vector<float> table = [] {
    std::vector<float> t(65536);
    std::mt19937 rng(20261205u);
    for (std::size_t i = 0; i < t.size(); i += 2) {
      const double u1 = (rng() + 1.0) / 4294967297.0, u2 = rng() / 4294967296.0;
      const double r = std::sqrt(-2.0 * std::log(u1)), a = 2.0 * std::numbers::pi * u2;
      t[i] = static_cast<float>(r * std::cos(a));
      t[i + 1] = static_cast<float>(r * std::sin(a));
    }
    return t;
  }();
  return table;
}

std::vector<float> Kernel(double sigma, int radius) {
  std::vector<float> k(2 * radius + 1);
  double sum = 0.0;
  for (int i = -radius; i <= radius; ++i) sum += k[i + radius] = std::exp(-0.5 * i * i / (sigma * sigma));
  for (float& v : k) v = static_cast<float>(v / sum);
  return k;
}

// The factor light puts on the gray level at (x, y).
struct LightAt {
  const Light& l;
  double Row(double x, double y) const {
    double f = 1.0;
    if (l.fall > 0.0) {
      const double t =
          ((x - l.fall_from.x) * l.fall_dir.x + (y - l.fall_from.y) * l.fall_dir.y) / l.fall_span;
      f *= 1.0 - l.fall * std::clamp(t, 0.0, 1.0);
    }
    if (l.shadow > 0.0) {
      const double s = (x - l.shadow_at.x) * l.shadow_normal.x + (y - l.shadow_at.y) * l.shadow_normal.y;
      // A sharp edge still covers a pixel in part; a soft one ramps smoothly.
      const double w = std::max(1.0, l.shadow_soft);
      const double t = std::clamp(s / w + 0.5, 0.0, 1.0);
      f *= 1.0 - l.shadow * t * t * (3.0 - 2.0 * t);
    }
    return f;
  }
};

}  // namespace

void GaussianBlur(Plane& plane, double sigma) {
  if (!(sigma > 0.05) || plane.width < 1 || plane.height < 1) return;
  const int radius = static_cast<int>(std::ceil(3.0 * sigma));
  const std::vector<float> k = Kernel(sigma, radius);
  const int w = plane.width, h = plane.height;
  // Rows: each row copied with clamped ends, then filtered back in place.
  std::vector<float> padded(static_cast<std::size_t>(w) + 2 * radius);
  for (int y = 0; y < h; ++y) {
    float* row = plane.Row(y);
    for (int i = 0; i < w + 2 * radius; ++i) padded[i] = row[std::clamp(i - radius, 0, w - 1)];
    for (int x = 0; x < w; ++x) {
      float acc = 0.0f;
      for (int i = 0; i <= 2 * radius; ++i) acc += k[i] * padded[x + i];
      row[x] = acc;
    }
  }
  // Columns, a strip at a time, so the copy stays small even for 64 MP.
  constexpr int kStrip = 256;
  std::vector<float> strip(static_cast<std::size_t>(h + 2 * radius) * kStrip);
  std::vector<float> acc(kStrip);
  for (int x0 = 0; x0 < w; x0 += kStrip) {
    const int n = std::min(kStrip, w - x0);
    for (int i = 0; i < h + 2 * radius; ++i)
      std::copy_n(plane.Row(std::clamp(i - radius, 0, h - 1)) + x0, n,
                  &strip[static_cast<std::size_t>(i) * kStrip]);
    for (int y = 0; y < h; ++y) {
      std::fill_n(acc.begin(), n, 0.0f);
      for (int i = 0; i <= 2 * radius; ++i) {
        const float* src = &strip[static_cast<std::size_t>(y + i) * kStrip];
        for (int x = 0; x < n; ++x) acc[x] += k[i] * src[x];
      }
      std::copy_n(acc.begin(), n, plane.Row(y) + x0);
    }
  }
}

Picture Spoil(Plane& plane, const Light& light, double blur, double noise, std::uint64_t seed) {
  const LightAt at{light};
  const float span = static_cast<float>(light.paper - light.ink), ink = static_cast<float>(light.ink);
  for (int y = 0; y < plane.height; ++y) {
    float* row = plane.Row(y);
    for (int x = 0; x < plane.width; ++x) row[x] = static_cast<float>((ink + span * row[x]) * at.Row(x, y));
  }
  GaussianBlur(plane, blur);

  Picture pic;
  pic.width = plane.width;
  pic.height = plane.height;
  pic.bgr.resize(plane.v.size() * 3);
  // A faint warm tint, so the gray conversion's weights matter.
  static constexpr float kTint[3] = {-6.0f, 0.0f, 4.0f};
  const std::vector<float>& normal = NormalTable();
  FastRandom rng(seed);
  const float sigma = static_cast<float>(noise);
  for (std::size_t i = 0; i < plane.v.size(); ++i) {
    const float v = plane.v[i] + (sigma > 0.0f ? sigma * normal[rng.Next() >> 48] : 0.0f);
    for (int c = 0; c < 3; ++c)
      pic.bgr[i * 3 + c] = static_cast<std::uint8_t>(std::clamp(std::lround(v + kTint[c]), 0L, 255L));
  }
  return pic;
}

}  // namespace vxgen
