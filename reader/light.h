// The light across a figure, fitted to the gray levels around and on its
// border: the paper just outside the ring and the ring's own ink.
//
// Light multiplies paper and ink alike, so in logarithms each sample is its
// surface's constant plus the light. The light is taken as a plane (light
// falling across the page) and, when that leaves much unexplained, a plane
// with a straight shadow edge across it, sharp or soft: the edge's line is
// found by trying the places along the paper round where it may enter and
// leave the figure. The ring checks the paper: clutter beside the figure
// darkens a few paper samples but not the ring behind them, while a true
// shadow darkens both.
#pragma once

#include <cmath>
#include <vector>

namespace vx::reader {

// One gray level seen at a place of the figure, in cell units: x across the
// columns (0 .. cols at the border's outer edges), y down the rows.
struct LightSample {
  double x;
  double y;
  double gray;
  bool ink;  // a ring cell (ink), else paper just outside the ring
};

class Light {
 public:
  // Fits the samples of a figure of rows x cols cells. `paper_round` gives
  // the paper samples' indices in order round the figure.
  Light(const std::vector<LightSample>& samples, const std::vector<int>& paper_round, int rows, int cols);

  // True when a shadow edge explains the samples clearly better than light
  // falling evenly across.
  bool shadow() const { return shadow_; }

  // Paper gray level the light gives at (x, y), cell units; `shift` moves
  // the shadow's edge that far along its normal, cell units.
  double Paper(double x, double y, double shift = 0.0) const;
  // Ink over paper, 0..1, as the ring shows it.
  double InkShare() const;
  // How far the shadow's edge may lie from where it was placed, back
  // (against its normal) and forward, cell units: 0.05 .. 0.5.
  double doubt_minus() const { return doubt_minus_; }
  // The side (0 top, 1 right, 2 bottom, 3 left) the shadow's edge runs
  // along, within `degrees` and `cells` of it over the whole side, or -1:
  // seen through such an edge a figure may go on beyond that side.
  int EdgeAlongSide(int rows, int cols, double degrees, double cells) const;
  double doubt_plus() const { return doubt_plus_; }
  // Signed distance of (x, y) from the middle of the shadow's edge along
  // its normal, cell units (positive towards the shadow's side of the fit);
  // 0 without a shadow.
  double EdgeOffset(double x, double y) const { return shadow_ ? (x - ax_) * nx_ + (y - ay_) * ny_ : 0.0; }
  // The shadow's edge is sharp: narrower than a third of a cell.
  bool sharp() const { return shadow_ && soft_ < 0.35; }
  // The share of the light the shadow takes away, 0..1 (0 without one).
  double depth() const { return shadow_ ? 1.0 - std::exp(-std::fabs(c_[3])) : 0.0; }
  // The width of the shadow's edge, cell units.
  double soft() const { return soft_; }
  // The same light with its shadow's edge `soft` cells wide.
  Light WithSoftness(double soft) const {
    Light l = *this;
    l.soft_ = soft;
    return l;
  }

 private:
  double c_[5] = {0, 0, 0, 0, 0};  // log paper = c0 + c1 x + c2 y + c3 edge(x, y); c4: log ink - log paper
  double ax_ = 0, ay_ = 0, nx_ = 0, ny_ = 0, soft_ = 1;  // the edge: a point, its unit normal, width
  double gain_ = 0;  // the light beyond the edge over the light before it, less 1
  double doubt_minus_ = 0, doubt_plus_ = 0;
  bool shadow_ = false;
};

}  // namespace vx::reader
