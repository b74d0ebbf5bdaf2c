#include "tools/clutter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vxgen {
namespace {

double Uniform(std::mt19937& rng, double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); }

using Quad = std::array<Pt, 4>;

// An axis-aligned rectangle from (x0, y0) to (x1, y1) in a mark's own frame.
Quad Rect(double x0, double y0, double x1, double y1) { return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}}; }

// A filled block, 1.05 to 1.6 figure sizes a side: larger than the figure.
void Block(std::vector<Quad>& out, double size, std::mt19937& rng) {
  const double w = size * Uniform(rng, 1.05, 1.6), h = size * Uniform(rng, 1.05, 1.6);
  out.push_back(Rect(-w / 2, -h / 2, w / 2, h / 2));
}

// A dark ring as thick as 0.3 to 1.2 of the figure's cells, empty inside.
void Box(std::vector<Quad>& out, double size, double cell, std::mt19937& rng) {
  const double w = size * Uniform(rng, 0.7, 1.4), h = size * Uniform(rng, 0.7, 1.4);
  const double t = std::min(cell * Uniform(rng, 0.3, 1.2), std::min(w, h) / 4);
  out.push_back(Rect(-w / 2, -h / 2, w / 2, -h / 2 + t));
  out.push_back(Rect(-w / 2, h / 2 - t, w / 2, h / 2));
  out.push_back(Rect(-w / 2, -h / 2 + t, -w / 2 + t, h / 2 - t));
  out.push_back(Rect(w / 2 - t, -h / 2 + t, w / 2, h / 2 - t));
}

// Two to five lines of words; each letter one to three bars (upright,
// across at top, middle or foot, or slanted), letters 0.4 to 1.5 cells tall.
void Text(std::vector<Quad>& out, double cell, std::mt19937& rng) {
  const double gh = cell * Uniform(rng, 0.4, 1.5), stroke = gh * Uniform(rng, 0.1, 0.2), gw = gh * 0.6;
  const int lines = 2 + static_cast<int>(rng() % 4);
  const std::size_t first = out.size();
  double widest = 0.0;
  for (int l = 0; l < lines; ++l) {
    const double top = l * gh * 1.6;
    double x = 0.0;
    const int words = 2 + static_cast<int>(rng() % 4);
    for (int w = 0; w < words; ++w, x += gw) {
      const int letters = 2 + static_cast<int>(rng() % 6);
      for (int g = 0; g < letters; ++g, x += gw * 1.25) {
        const int bars = 1 + static_cast<int>(rng() % 3);
        for (int b = 0; b < bars; ++b) {
          switch (rng() % 4) {
            case 0: {  // upright at the left, middle or right of the letter
              const double at = x + (gw - stroke) * (rng() % 3) / 2.0;
              out.push_back(Rect(at, top, at + stroke, top + gh));
              break;
            }
            case 1: {  // across at the top, middle or foot
              const double at = top + (gh - stroke) * (rng() % 3) / 2.0;
              out.push_back(Rect(x, at, x + gw, at + stroke));
              break;
            }
            default: {  // slanted from one corner of the letter to the other
              const bool up = rng() & 1u;
              const Pt a{x, up ? top + gh : top}, b{x + gw, up ? top : top + gh};
              const double len = std::hypot(b.x - a.x, b.y - a.y), nx = -(b.y - a.y) / len * stroke / 2,
                           ny = (b.x - a.x) / len * stroke / 2;
              out.push_back(
                  {{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}});
            }
          }
        }
      }
    }
    widest = std::max(widest, x);
  }
  // Centre the lines on the mark's own origin.
  const double cx = widest / 2, cy = lines * gh * 1.6 / 2;
  for (std::size_t i = first; i < out.size(); ++i)
    for (Pt& p : out[i]) p = {p.x - cx, p.y - cy};
}

}  // namespace

std::vector<Quad> MakeClutter(int count, double size, double cell, double clear, std::mt19937& rng) {
  std::vector<Quad> out;
  for (int k = 0; k < count; ++k) {
    std::vector<Quad> mark;
    switch (rng() % 3) {
      case 0:
        Block(mark, size, rng);
        break;
      case 1:
        Box(mark, size, cell, rng);
        break;
      default:
        Text(mark, cell, rng);
        break;
    }
    // The mark's reach from its own centre, so it can be set clear of the figures.
    double reach = 0.0;
    for (const Quad& q : mark)
      for (const Pt& p : q) reach = std::max(reach, std::hypot(p.x, p.y));
    const double turn = Uniform(rng, -30.0, 30.0) * std::numbers::pi / 180.0, c = std::cos(turn),
                 s = std::sin(turn);
    const double dir = Uniform(rng, 0.0, 2.0 * std::numbers::pi);
    const double dist = clear + reach + cell + Uniform(rng, 0.0, 0.4 * size);
    const Pt at{dist * std::cos(dir), dist * std::sin(dir)};
    for (Quad& q : mark) {
      for (Pt& p : q) p = {at.x + p.x * c - p.y * s, at.y + p.x * s + p.y * c};
      out.push_back(q);
    }
  }
  return out;
}

}  // namespace vxgen
