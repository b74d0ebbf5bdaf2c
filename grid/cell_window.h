// Measuring one cell: the weighted share of black pixels in a disc around
// the cell's centre, with weights falling off with city-block distance.
#pragma once

#include <cstdint>
#include <vector>

#include "vexolith/types.h"

namespace vx {

// Weights by city-block distance d from a cell's rounded centre. One table
// serves every cell of a call; it is allocated once with one entry per image
// column, so d >= width always weighs 0.
class WeightTable {
 public:
  explicit WeightTable(int width);

  // Sets the entries d = 0, 1, ... while d <= r + 1 to 1 - d / r: 1 at the
  // centre, 0 at distance r, slightly negative for the last one or two.
  void Fill(double r);

  // Distances below reach() may weigh something; from reach() on the weight is 0.
  std::int64_t reach() const { return filled_; }
  double at(std::int64_t d) const { return d < filled_ ? weights_[static_cast<std::size_t>(d)] : 0.0; }

 private:
  std::vector<double> weights_;
  std::int64_t filled_ = 0;
};

// The library's rounding rule widened to 64 bits: values in int range go
// through RoundHalfUp itself; values beyond it (or infinite) follow the same
// rule after being pinned at +-2^52, far outside any image, so the window
// arithmetic stays exact and comparisons with the image size keep their
// outcome. v must not be NaN.
std::int64_t RoundWide(double v);

// Result of measuring one cell.
struct CellMeasure {
  int code;      // 0 measured, 2 the window weighs exactly 0, 3 a row reaches past both width and height
  double value;  // black weight / total weight when code is 0
};

// Measures the disc of radius r around (cx, cy) in the 8-bit image; r is
// below image.width. A cell whose radius or centre is not finite (two
// corners that coincide make its diagonals undefined) has no window: its
// value is NaN, which every readout takes for white, and no error is reported.
CellMeasure MeasureCell(const IMG& image, WeightTable& weights, double r, double cx, double cy);

}  // namespace vx
