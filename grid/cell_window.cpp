#include "grid/cell_window.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "image/buffer.h"
#include "image/numeric.h"

namespace vx {

WeightTable::WeightTable(int width) : weights_(static_cast<std::size_t>(std::max(width, 0)), 0.0) {}

void WeightTable::Fill(double r) {
  // Every cell weighs distances beyond r + 1 with 0, as the first cell of a
  // call does: entries a larger, earlier cell left past this cell's own
  // prefix are not read (reach() ends the prefix), so a cell's value never
  // depends on the cells measured before it.
  const auto size = static_cast<std::int64_t>(weights_.size());
  std::int64_t d = 0;
  for (; d < size && static_cast<double>(d) <= r + 1.0; ++d) {
    weights_[static_cast<std::size_t>(d)] = 1.0 - static_cast<double>(d) / r;
  }
  filled_ = d;
}

std::int64_t RoundWide(double v) {
  if (FitsRoundHalfUp(v)) return RoundHalfUp(v);
  constexpr double kPin = 4503599627370496.0;  // 2^52
  const double c = std::clamp(v, -kPin, kPin);
  const auto t = static_cast<std::int64_t>(c);
  return (static_cast<double>(t) <= c - 0.5) ? t + 1 : t;
}

CellMeasure MeasureCell(const IMG& image, WeightTable& weights, double r, double cx, double cy) {
  if (!std::isfinite(r) || !std::isfinite(cx) || !std::isfinite(cy)) {
    return CellMeasure{0, std::numeric_limits<double>::quiet_NaN()};
  }
  const std::int64_t width = image.width;
  const std::int64_t height = image.height;
  const std::int64_t icx = RoundWide(cx);
  const std::int64_t icy = RoundWide(cy);
  weights.Fill(r);
  const std::int64_t reach = weights.reach();

  // The window's rows stay inside the image; a window past a border simply
  // has fewer pixels.
  const std::int64_t ymin = std::max<std::int64_t>(RoundWide(cy - r), 0);
  const std::int64_t ymax = std::min<std::int64_t>(RoundWide(cy + r), height - 1);

  double total = 0.0;
  double black = 0.0;
  for (std::int64_t y = ymin; y <= ymax; ++y) {
    const std::int64_t dy = y - icy;
    const double fdy = static_cast<double>(dy);
    // The absolute value keeps the root real on the first and last row,
    // where |y - icy| may exceed r.
    const double h = std::sqrt(std::fabs(r * r - fdy * fdy));
    const auto xr = static_cast<std::int64_t>(h + static_cast<double>(icx));
    const auto xl = static_cast<std::int64_t>(static_cast<double>(icx) - h);
    const std::int64_t ady = dy < 0 ? -dy : dy;
    if (xr > width && xr > height) return CellMeasure{3, 0.0};

    // Pixels at distance reach or more weigh exactly 0, and adding 0.0
    // changes neither sum, so only the part of the row inside the diamond
    // |x - icx| + ady < reach is visited; the sums keep their order.
    const std::int64_t spare = reach - 1 - ady;
    if (spare < 0) continue;
    const std::int64_t lo = std::max({xl, std::int64_t{0}, icx - spare});
    const std::int64_t hi = std::min({xr, width - 1, icx + spare});
    const unsigned char* row = PixelAt(image, 0, static_cast<int>(y));
    for (std::int64_t x = lo; x <= hi; ++x) {
      const std::int64_t dx = x - icx;
      const double w = weights.at((dx < 0 ? -dx : dx) + ady);
      total = total + w;
      if (row[x] == 0) black = black + w;
    }
  }
  if (total == 0.0) return CellMeasure{2, 0.0};
  return CellMeasure{0, black / total};
}

}  // namespace vx
