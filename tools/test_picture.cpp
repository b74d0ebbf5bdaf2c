#include "tools/test_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "tools/camera.h"
#include "tools/clutter.h"
#include "tools/jpeg_round_trip.h"
#include "tools/raster.h"
#include "tools/spoil.h"

namespace vxgen {
namespace {

using Quad = std::array<Pt, 4>;

// Uniform in [lo, hi) from the raw generator, so a seed gives the same
// picture with any standard library.
double Uniform(std::mt19937& rng, double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); }

// Degrees by which the seen top edge wins over the next best edge: the
// turn's distance from 45 + k * 90 for a square, and for a figure seen in
// perspective the same measure of how near the reading is to flipping.
double Ambiguity(const Quad& clockwise) {
  double best = -2.0, second = -2.0;
  for (int k = 0; k < 4; ++k) {
    const Pt& a = clockwise[k];
    const Pt& b = clockwise[(k + 1) % 4];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    const double score = len > 0.0 ? (b.x - a.x) / len : -2.0;
    if (score > best)
      second = best, best = score;
    else if (score > second)
      second = score;
  }
  return std::asin(std::min(1.0, (best - second) / std::numbers::sqrt2)) * 180.0 / std::numbers::pi;
}

// The expected reading: which figure corner is seen as top-left, and the
// figure's cells looked up at the centre of every seen cell.
Truth SeenTruth(int rows, int cols, const std::vector<bool>& cells, const Quad& quad) {
  Truth t;
  const int k = vxcli::SeenTopLeft(quad);
  static constexpr double kUnit[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const bool turned = k % 2 == 1;
  t.rows = turned ? cols : rows;
  t.cols = turned ? rows : cols;
  const double* o = kUnit[k];
  const double* right = kUnit[(k + 1) % 4];
  const double* down = kUnit[(k + 3) % 4];
  t.black.resize(static_cast<std::size_t>(t.rows) * t.cols);
  for (int i = 0; i < t.rows; ++i) {
    for (int j = 0; j < t.cols; ++j) {
      const double su = (j + 0.5) / t.cols, sv = (i + 0.5) / t.rows;
      const double u = o[0] + su * (right[0] - o[0]) + sv * (down[0] - o[0]);
      const double v = o[1] + su * (right[1] - o[1]) + sv * (down[1] - o[1]);
      const int r = static_cast<int>(v * rows), c = static_cast<int>(u * cols);
      t.black[static_cast<std::size_t>(i) * t.cols + j] = cells[static_cast<std::size_t>(r) * cols + c];
    }
  }
  for (int n = 0; n < 4; ++n) t.corners[n] = quad[(k + n) % 4];
  t.ambiguity = Ambiguity(quad);
  return t;
}

// One figure on the page: its centre and turn there, and its cells.
struct Placed {
  Pt centre;
  double turn;  // degrees, on top of the camera's turn
  std::vector<bool> cells;
};

// Figures after the first, set round it at random without overlapping
// (their circles kept a sixth of a figure apart); fewer when no room is found.
std::vector<Placed> PlaceFigures(const FigureParams& params, double radius, std::mt19937& rng) {
  std::vector<Placed> out{{{0, 0}, 0.0, FigureCells(params)}};
  const int wanted = std::clamp(params.figures, 1, 6);
  const double spread = params.size * (1.0 + 0.9 * std::sqrt(wanted));
  for (int k = 1, tries = 0; k < wanted && tries < 400; ++tries) {
    const Pt c{Uniform(rng, -spread, spread), Uniform(rng, -spread, spread)};
    bool clear = true;
    for (const Placed& p : out)
      clear = clear && std::hypot(c.x - p.centre.x, c.y - p.centre.y) > 2 * radius + params.size / 6;
    if (!clear) continue;
    FigureParams own = params;
    own.black.clear();
    own.seed = params.seed + 7919u * k;
    out.push_back({c, Uniform(rng, -25.0, 25.0), FigureCells(own)});
    ++k;
  }
  return out;
}

struct Bounds {
  double minx = 1e300, miny = 1e300, maxx = -1e300, maxy = -1e300;
  void Add(const Pt& p) {
    minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
    miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  }
};

// An offset in [lo, hi] when there is room, else the middle of the two.
double Offset(double lo, double hi, std::mt19937& rng) {
  return lo <= hi ? Uniform(rng, lo, hi) : (lo + hi) / 2;
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
  // `rng` draws what pictures made before these conditions existed drew, in
  // the same order, so their corners stay where they were; `more` draws the rest.
  std::mt19937 rng(params.seed), more(params.seed ^ 0xa5c3e1f7u);
  const int longer = std::max(params.rows, params.cols);
  const double w0 = params.size * params.cols / longer, h0 = params.size * params.rows / longer;
  const double cell = params.size / longer;
  const std::vector<Placed> placed = PlaceFigures(params, std::hypot(w0, h0) / 2, more);

  // Figures through the camera; the first one's corners then pushed a little
  // (`skew`), as before.
  const Camera camera(params.angle, params.tilt, params.tilt_axis,
                      std::max(1.5, params.distance) * params.size);
  std::vector<Quad> quads;
  for (const Placed& f : placed) {
    const double a = f.turn * std::numbers::pi / 180.0, c = std::cos(a), s = std::sin(a);
    Quad q{{{-w0 / 2, -h0 / 2}, {w0 / 2, -h0 / 2}, {w0 / 2, h0 / 2}, {-w0 / 2, h0 / 2}}};
    for (Pt& p : q) {
      p = camera.Project({f.centre.x + p.x * c + p.y * s, f.centre.y - p.x * s + p.y * c});
      std::mt19937& r = quads.empty() ? rng : more;
      p.x += Uniform(r, -1.0, 1.0) * params.skew * params.size;
      p.y += Uniform(r, -1.0, 1.0) * params.skew * params.size;
    }
    quads.push_back(q);
  }
  std::vector<Quad> marks = MakeClutter(
      params.clutter, params.size, cell,
      [&] {
        double clear = 0.0;
        for (const Placed& f : placed) clear = std::max(clear, std::hypot(f.centre.x, f.centre.y));
        return clear + std::hypot(w0, h0) / 2;
      }(),
      more);
  for (Quad& q : marks)
    for (Pt& p : q) p = camera.Project(p);

  // Framing: by `margin` around the figures, or by `fill` around everything
  // on the page, the figures kept whole with 2 pixels of paper at least.
  Bounds figs, all;
  for (const Quad& q : quads)
    for (const Pt& p : q) figs.Add(p), all.Add(p);
  for (const Quad& q : marks)
    for (const Pt& p : q) all.Add(p);
  TestPicture out;
  double ox, oy;
  int width, height;
  if (params.fill <= 0.0) {
    const double margin = params.margin * params.size + 4.0;
    ox = margin - figs.minx + Uniform(rng, 0.0, 1.0);
    oy = margin - figs.miny + Uniform(rng, 0.0, 1.0);
    width = static_cast<int>(std::ceil(figs.maxx - figs.minx + 2 * margin)) + 1;
    height = static_cast<int>(std::ceil(figs.maxy - figs.miny + 2 * margin)) + 1;
  } else {
    const double fill = std::clamp(params.fill, 0.01, 1.0);
    const double fw = figs.maxx - figs.minx + 4, fh = figs.maxy - figs.miny + 4;
    double w = std::max((all.maxx - all.minx) / fill, fw), h = std::max((all.maxy - all.miny) / fill, fh);
    // Too many pixels: crop about the figures, never into them.
    if (w * h > params.max_pixels) {
      const double k = std::sqrt(params.max_pixels / (w * h));
      w = std::max(w * k, fw), h = std::max(h * k, fh);
    }
    width = static_cast<int>(std::ceil(w)), height = static_cast<int>(std::ceil(h));
    // Everything inside when it fits, else the figures inside.
    const bool fits = all.maxx - all.minx <= width && all.maxy - all.miny <= height;
    const Bounds& keep = fits ? all : figs;
    const double pad = fits ? 0.0 : 2.0;
    ox = Offset(pad - keep.minx, width - 1 - pad - keep.maxx, more);
    oy = Offset(pad - keep.miny, height - 1 - pad - keep.maxy, more);
  }
  for (Quad& q : quads)
    for (Pt& p : q) p = {p.x + ox, p.y + oy};
  for (Quad& q : marks)
    for (Pt& p : q) p = {p.x + ox, p.y + oy};
  out.fill = std::max((figs.maxx - figs.minx) / width, (figs.maxy - figs.miny) / height);

  // Light: paper and ink levels, a fall across the figure (`gradient`) or the
  // picture (`lighting`), and a shadow edge through the first figure.
  Light light;
  light.paper = 235.0 + Uniform(rng, -10.0, 10.0);
  light.ink = 30.0 + Uniform(rng, -10.0, 15.0);
  const double phi = Uniform(rng, 0.0, 2.0 * std::numbers::pi);
  if (params.paper >= 0.0) light.paper = params.paper;
  if (params.ink >= 0.0) light.ink = params.ink;
  const Pt centre{(quads[0][0].x + quads[0][2].x) / 2, (quads[0][0].y + quads[0][2].y) / 2};
  if (params.lighting > 0.0) {
    const double psi = Uniform(more, 0.0, 2.0 * std::numbers::pi);
    light.fall = params.lighting;
    light.fall_dir = {std::cos(psi), std::sin(psi)};
    light.fall_from = {light.fall_dir.x >= 0 ? 0.0 : width - 1.0, light.fall_dir.y >= 0 ? 0.0 : height - 1.0};
    light.fall_span = std::fabs(light.fall_dir.x) * width + std::fabs(light.fall_dir.y) * height;
  } else if (params.gradient > 0.0) {
    light.fall = params.gradient;
    light.fall_dir = {std::cos(phi), std::sin(phi)};
    light.fall_from = {centre.x - light.fall_dir.x * params.size / 2,
                       centre.y - light.fall_dir.y * params.size / 2};
    light.fall_span = params.size;
  }
  if (params.shadow > 0.0) {
    const double psi = Uniform(more, 0.0, 2.0 * std::numbers::pi);
    light.shadow = params.shadow;
    light.shadow_soft = params.shadow_soft;
    light.shadow_normal = {std::cos(psi), std::sin(psi)};
    light.shadow_at = {centre.x + Uniform(more, -0.35, 0.35) * params.size,
                       centre.y + Uniform(more, -0.35, 0.35) * params.size};
  }

  Plane plane(width, height);
  for (const Quad& q : marks) PaintQuad(plane, q);
  for (std::size_t k = 0; k < quads.size(); ++k)
    PaintFigure(plane, quads[k], params.rows, params.cols, params.line, placed[k].cells);
  out.picture = Spoil(plane, light, params.blur, params.noise, (std::uint64_t{params.seed} << 32) ^ rng());
  if (params.jpeg > 0) {
    Picture decoded = DecodeJpeg(EncodeJpeg(out.picture, std::clamp(params.jpeg, 1, 100)));
    if (decoded.width == out.picture.width) out.picture = std::move(decoded);
  }
  for (std::size_t k = 0; k < quads.size(); ++k)
    out.figures.push_back(SeenTruth(params.rows, params.cols, placed[k].cells, quads[k]));
  out.truth = out.figures[0];
  return out;
}

}  // namespace vxgen
