// The gray picture as the reader sees it: a view of the host's record that
// hides row order and pixel format, and small gray planes of its own for the
// search.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vexolith/types.h"

namespace vx::reader {

// A host's 24-bit or gray record read top-down. The record must have pixels
// (checked by the caller).
class PictureView {
 public:
  PictureView(const IMG& img, bool top_down) : img_(img), top_down_(top_down) {}

  int width() const { return img_.width; }
  int height() const { return img_.height; }
  bool gray() const { return img_.gray != 0; }

  // First byte of line y counted from the top.
  const unsigned char* Line(int y) const {
    const int row = top_down_ ? y : img_.height - 1 - y;
    return img_.bits + static_cast<std::ptrdiff_t>(row) * img_.stride;
  }

  // Gray byte of pixel (x, y), coordinates clamped to the picture.
  int Gray(int x, int y) const;

  // Gray value at (x, y) between pixel centres, bilinear; outside the
  // picture the nearest edge pixel counts.
  double Sample(double x, double y) const;

  // True when (x, y) lies inside the picture by at least `border` pixels.
  bool Inside(double x, double y, double border = 0.0) const {
    return x >= border && y >= border && x <= img_.width - 1 - border && y <= img_.height - 1 - border;
  }

 private:
  IMG img_;
  bool top_down_;
};

// An 8-bit plane held by the reader, top-down, rows packed.
struct Plane {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> px;

  Plane() = default;
  Plane(int w, int h, std::uint8_t fill = 0)
      : width(w), height(h), px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
  std::uint8_t* Row(int y) { return px.data() + static_cast<std::size_t>(y) * width; }
  const std::uint8_t* Row(int y) const { return px.data() + static_cast<std::size_t>(y) * width; }
};

// The factor that brings the longer side to at most max_side (1 when it
// fits), computed in 64 bits so that sides near INT_MAX do not overflow.
int ReductionFactor(int width, int height, int max_side);

// The picture in gray reduced by `factor` in both directions: each pixel the
// rounded mean of a factor x factor block (the last partial blocks are
// dropped). Averaging keeps thin dark lines that subsampling would lose.
Plane ReduceToGray(const PictureView& picture, int factor);

// A 3 x 3 box mean of the plane (edges clamped): applied to the search plane
// when the picture is noisy, so the binarizations see shapes, not grain.
Plane BoxSmooth(const Plane& plane);

// Noise of the plane in gray levels: the median absolute difference of
// horizontal neighbours over a sample of rows, scaled to a Gaussian sigma.
double NoiseSigma(const Plane& plane);

// The Gaussian sigma whose neighbour differences have the median of `hist`
// (counts of absolute differences 0..255, `n` in all); 0 for none.
double NoiseFromDifferences(const std::array<std::size_t, 256>& hist, std::size_t n);

}  // namespace vx::reader
