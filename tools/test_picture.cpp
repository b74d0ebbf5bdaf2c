#include "tools/test_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace vxgen {
namespace {

// Uniform in [lo, hi) from the raw generator, so a seed gives the same
// picture with any standard library.
double Uniform(std::mt19937& rng, double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); }

// Standard normal by Box-Muller, for the same reason.
double Normal(std::mt19937& rng) {
  const double u1 = (rng() + 1.0) / 4294967297.0;
  const double u2 = rng() / 4294967296.0;
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

// The projective map of the unit square (u right, v down) onto a
// quadrilateral, and its inverse.
struct Homography {
  double m[9];  // row-major 3x3: x = (m0 u + m1 v + m2) / (m6 u + m7 v + m8), y likewise with m3..m5

  vxcli::Pt Apply(double u, double v) const {
    const double w = m[6] * u + m[7] * v + m[8];
    return {(m[0] * u + m[1] * v + m[2]) / w, (m[3] * u + m[4] * v + m[5]) / w};
  }

  // Quad corners for u,v = (0,0), (1,0), (1,1), (0,1).
  static Homography FromSquare(const std::array<vxcli::Pt, 4>& q) {
    const double dx1 = q[1].x - q[2].x, dx2 = q[3].x - q[2].x, dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
    const double dy1 = q[1].y - q[2].y, dy2 = q[3].y - q[2].y, dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
    const double den = dx1 * dy2 - dx2 * dy1;
    const double g = (dx3 * dy2 - dx2 * dy3) / den;
    const double h = (dx1 * dy3 - dx3 * dy1) / den;
    return {{q[1].x - q[0].x + g * q[1].x, q[3].x - q[0].x + h * q[3].x, q[0].x, q[1].y - q[0].y + g * q[1].y,
             q[3].y - q[0].y + h * q[3].y, q[0].y, g, h, 1.0}};
  }

  Homography Inverse() const {
    const double* a = m;
    Homography r{{a[4] * a[8] - a[5] * a[7], a[2] * a[7] - a[1] * a[8], a[1] * a[5] - a[2] * a[4],
                  a[5] * a[6] - a[3] * a[8], a[0] * a[8] - a[2] * a[6], a[2] * a[3] - a[0] * a[5],
                  a[3] * a[7] - a[4] * a[6], a[1] * a[6] - a[0] * a[7], a[0] * a[4] - a[1] * a[3]}};
    return r;  // the adjugate: a scale of the inverse, which the division cancels
  }
};

// True where the figure is dark at figure coordinates (u, v) in [0, 1).
bool IsInk(double u, double v, int rows, int cols, double line, const std::vector<bool>& cells) {
  if (u < 0.0 || u >= 1.0 || v < 0.0 || v >= 1.0) return false;
  const double cu = u * cols, cv = v * rows;
  const int c = std::min(static_cast<int>(cu), cols - 1), r = std::min(static_cast<int>(cv), rows - 1);
  if (cells[static_cast<std::size_t>(r) * cols + c]) return true;
  return std::fabs(cu - std::round(cu)) < line / 2 || std::fabs(cv - std::round(cv)) < line / 2;
}

// Separable Gaussian blur of one float plane, edges clamped.
void Blur(std::vector<float>& plane, int width, int height, double sigma) {
  const int radius = static_cast<int>(std::ceil(3.0 * sigma));
  std::vector<float> kernel(2 * radius + 1);
  double sum = 0.0;
  for (int i = -radius; i <= radius; ++i)
    sum += kernel[i + radius] = std::exp(-0.5 * i * i / (sigma * sigma));
  for (float& k : kernel) k = static_cast<float>(k / sum);
  std::vector<float> tmp(plane.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float acc = 0.0f;
      for (int i = -radius; i <= radius; ++i)
        acc +=
            kernel[i + radius] * plane[static_cast<std::size_t>(y) * width + std::clamp(x + i, 0, width - 1)];
      tmp[static_cast<std::size_t>(y) * width + x] = acc;
    }
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float acc = 0.0f;
      for (int i = -radius; i <= radius; ++i)
        acc +=
            kernel[i + radius] * tmp[static_cast<std::size_t>(std::clamp(y + i, 0, height - 1)) * width + x];
      plane[static_cast<std::size_t>(y) * width + x] = acc;
    }
  }
}

// The expected reading: which figure corner is seen as top-left, and the
// figure's cells looked up at the centre of every seen cell.
Truth SeenTruth(const FigureParams& params, const std::vector<bool>& cells,
                const std::array<vxcli::Pt, 4>& quad) {
  Truth t;
  const int k = vxcli::SeenTopLeft(quad);
  static constexpr double kUnit[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const bool turned = k % 2 == 1;
  t.rows = turned ? params.cols : params.rows;
  t.cols = turned ? params.rows : params.cols;
  const double* o = kUnit[k];
  const double* right = kUnit[(k + 1) % 4];
  const double* down = kUnit[(k + 3) % 4];
  t.black.resize(static_cast<std::size_t>(t.rows) * t.cols);
  for (int i = 0; i < t.rows; ++i) {
    for (int j = 0; j < t.cols; ++j) {
      const double su = (j + 0.5) / t.cols, sv = (i + 0.5) / t.rows;
      const double u = o[0] + su * (right[0] - o[0]) + sv * (down[0] - o[0]);
      const double v = o[1] + su * (right[1] - o[1]) + sv * (down[1] - o[1]);
      const int r = static_cast<int>(v * params.rows), c = static_cast<int>(u * params.cols);
      t.black[static_cast<std::size_t>(i) * t.cols + j] =
          cells[static_cast<std::size_t>(r) * params.cols + c];
    }
  }
  for (int n = 0; n < 4; ++n) t.corners[n] = quad[(k + n) % 4];
  t.ambiguity = vxcli::DegreesFromAmbiguity(params.angle);
  return t;
}

}  // namespace

std::vector<bool> FigureCells(const FigureParams& params) {
  std::vector<bool> cells(static_cast<std::size_t>(params.rows) * params.cols);
  std::mt19937 rng(params.seed ^ 0x5bd1e995u);
  for (int r = 0; r < params.rows; ++r) {
    for (int c = 0; c < params.cols; ++c) {
      const bool ring = r == 0 || c == 0 || r == params.rows - 1 || c == params.cols - 1;
      const std::size_t n = static_cast<std::size_t>(r) * params.cols + c;
      const bool given = n < params.black.size() && params.black[n];
      cells[n] = ring || (params.black.empty() ? (rng() & 1u) != 0 : given);
    }
  }
  return cells;
}

std::vector<std::string> VerdictRows(int rows, int cols, const std::vector<bool>& black) {
  std::vector<std::string> out(rows, std::string(cols, '.'));
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      if (black[static_cast<std::size_t>(i) * cols + j]) out[i][j] = '#';
  return out;
}

TestPicture Render(const FigureParams& params) {
  std::mt19937 rng(params.seed);
  const std::vector<bool> cells = FigureCells(params);

  // The figure's corners: centred, turned, then each pushed a little for perspective.
  const int longer = std::max(params.rows, params.cols);
  const double w0 = params.size * params.cols / longer, h0 = params.size * params.rows / longer;
  const double a = params.angle * std::numbers::pi / 180.0;
  std::array<vxcli::Pt, 4> quad{{{-w0 / 2, -h0 / 2}, {w0 / 2, -h0 / 2}, {w0 / 2, h0 / 2}, {-w0 / 2, h0 / 2}}};
  for (vxcli::Pt& p : quad) {
    // Counter-clockwise as seen, with y growing downward.
    p = {p.x * std::cos(a) + p.y * std::sin(a), -p.x * std::sin(a) + p.y * std::cos(a)};
    p.x += Uniform(rng, -1.0, 1.0) * params.skew * params.size;
    p.y += Uniform(rng, -1.0, 1.0) * params.skew * params.size;
  }
  double minx = quad[0].x, maxx = minx, miny = quad[0].y, maxy = miny;
  for (const vxcli::Pt& p : quad) {
    minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
    miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  }
  const double margin = params.margin * params.size + 4.0;
  const double ox = margin - minx + Uniform(rng, 0.0, 1.0), oy = margin - miny + Uniform(rng, 0.0, 1.0);
  for (vxcli::Pt& p : quad) p = {p.x + ox, p.y + oy};

  TestPicture out;
  Picture& pic = out.picture;
  pic.width = static_cast<int>(std::ceil(maxx - minx + 2 * margin)) + 1;
  pic.height = static_cast<int>(std::ceil(maxy - miny + 2 * margin)) + 1;
  const std::size_t n = static_cast<std::size_t>(pic.width) * pic.height;

  const Homography inv = Homography::FromSquare(quad).Inverse();
  const double paper = 235.0 + Uniform(rng, -10.0, 10.0), ink = 30.0 + Uniform(rng, -10.0, 15.0);
  const double phi = Uniform(rng, 0.0, 2.0 * std::numbers::pi);
  const double cx = (quad[0].x + quad[2].x) / 2, cy = (quad[0].y + quad[2].y) / 2;
  // 3 x 3 samples per pixel; 2 x 2 above 4 megapixels to keep large pictures quick.
  const int s = n > 4'000'000 ? 2 : 3;

  std::vector<float> plane(n);
  for (int y = 0; y < pic.height; ++y) {
    for (int x = 0; x < pic.width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < s; ++sy) {
        for (int sx = 0; sx < s; ++sx) {
          // Pixel centres sit at whole coordinates.
          const vxcli::Pt uv = inv.Apply(x - 0.5 + (sx + 0.5) / s, y - 0.5 + (sy + 0.5) / s);
          hits += IsInk(uv.x, uv.y, params.rows, params.cols, params.line, cells);
        }
      }
      const double cover = static_cast<double>(hits) / (s * s);
      const double t =
          std::clamp(((x - cx) * std::cos(phi) + (y - cy) * std::sin(phi)) / params.size + 0.5, 0.0, 1.0);
      plane[static_cast<std::size_t>(y) * pic.width + x] =
          static_cast<float>((paper - (paper - ink) * cover) * (1.0 - params.gradient * t));
    }
  }
  if (params.blur > 0.05) Blur(plane, pic.width, pic.height, params.blur);

  // A faint warm tint, so the gray conversion's weights matter.
  static constexpr double kTint[3] = {-6.0, 0.0, 4.0};
  pic.bgr.resize(n * 3);
  for (std::size_t i = 0; i < n; ++i) {
    for (int c = 0; c < 3; ++c) {
      const double v = plane[i] + kTint[c] + (params.noise > 0.0 ? params.noise * Normal(rng) : 0.0);
      pic.bgr[i * 3 + c] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    }
  }
  out.truth = SeenTruth(params, cells, quad);
  return out;
}

}  // namespace vxgen
