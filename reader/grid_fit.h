// A figure's picture modelled cell by cell.
//
// Each cell of the figure, and each of a ring of paper cells round it, has
// one gray level, and the thin lines between the inner cells one more; the
// picture over the figure is that drawing spread by a Gaussian blur. The
// levels are fitted by least squares to samples about every 1.5 pixels
// over the figure and half a cell beyond. The misfit left tells how well a
// grid placed by given corners lies on the picture, which lets the whole
// grid place the corners (grid_register.h).
#pragma once

#include <cstddef>
#include <vector>

#include "reader/geometry.h"
#include "reader/plane.h"

namespace vx::reader {

// A cell's blur reaches at most this many cells off.
constexpr int kBlurReach = 3;

struct GridFit {
  bool ok = false;             // false when the figure reaches outside the picture or is too large
  std::vector<double> levels;  // (rows + 2) x (cols + 2), the paper ring included, gray levels
  std::vector<double> misfit;  // each sample's gray level less the model's, in sampling order
  double residual = 0.0;       // sum of the squares of `misfit`
  double sigma = 0.0;          // the blur fitted with, pixels
  double lines = 0.0;          // the gray level of the thin lines between the cells
};

// Fits the levels of the figure with corners `seen` (top-left, top-right,
// bottom-right, bottom-left) under a blur of `sigma` pixels, sampled `per`
// times a cell along each side. The samples are placed by the grid of
// `sampled` (`seen` itself to read the figure where it is seen): while the
// model's grid moves the pixels read stay the same, so fits of different
// corners are judged on the same data.
GridFit FitGrid(const PictureView& picture, const Quad& sampled, const Quad& seen, int rows, int cols,
                double sigma, int per);

// Samples a cell along each side for a figure of cells `cell_px` pixels:
// about one per 1.5 pixels, at most `most`.
int SamplesPerCell(double cell_px, int most);

// The fit under the blur, of 0.4 to 2.4 pixels, that leaves the least
// residual.
GridFit FitGridAndBlur(const PictureView& picture, const Quad& seen, int rows, int cols, int per);
GridFit FitGridAndBlur(const PictureView& picture, const Quad& sampled, const Quad& seen, int rows, int cols,
                       int per);

// A sample of the picture over a figure with the share of its blur each
// level of the padded grid round it covers (rows r0.., columns c0..).
struct BlurSample {
  double g = 0.0;           // gray level
  double u = 0.0, v = 0.0;  // place in cells from the figure's top-left corner, across and down
  double lines = 0.0;       // the share the thin lines between the inner cells cover
  int r0 = 0, c0 = 0;
  double w[kBlurReach + 1][kBlurReach + 1] = {};
};

// The samples FitGrid fits `seen` with, those inside the picture; empty
// when the figure reaches outside it or is too large.
std::vector<BlurSample> BlurSamples(const PictureView& picture, const Quad& seen, int rows, int cols,
                                    double sigma, int per);
// The same with the samples placed by the grid of `sampled` (as FitGrid).
std::vector<BlurSample> BlurSamples(const PictureView& picture, const Quad& sampled, const Quad& seen,
                                    int rows, int cols, double sigma, int per);

}  // namespace vx::reader
