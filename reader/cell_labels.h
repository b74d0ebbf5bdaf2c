// A figure's cells told black or white as a whole.
//
// Each cell is either ink or paper; the picture over the figure is that
// drawing, lit by the light fitted round the figure (light.h, a shadow's
// edge included) and spread by the fitted blur (grid_fit.h), plus noise.
// Paper and ink each have one level for the light's paper, fitted to the
// colours. The cells are given the colours whose drawing fits the picture
// best, changed a cell at a time (only the one that gains most within the
// blur's reach in a sweep) while that lowers the misfit. A cell's colour is
// then as sure as the misfit it would add if changed, against the misfit
// round it: every pixel the cell's blur reaches weighs in, where a window
// over the cell's centre reads only a few, and the neighbours' blur is
// accounted for rather than suffered.
#pragma once

#include <string>
#include <vector>

#include "reader/geometry.h"
#include "reader/grid_fit.h"
#include "reader/light.h"
#include "reader/plane.h"

namespace vx::reader {

struct CellLabels {
  bool ok = false;                   // the colours were told; how surely, `doubt` and `scatter` say
  std::string fault;                 // why not
  std::vector<unsigned char> black;  // rows * cols, row-major
  // (rows + 2) x (cols + 2): each cell's ink or paper level as labelled at
  // its centre's light, the paper ring's as fitted.
  std::vector<double> levels;
  std::vector<double> odds;       // rows * cols: the log odds of each cell's colour against the other
  double doubt = 0.0;             // the chance, by those odds, that some cell is wrong
  double paper = 1.0, ink = 0.0;  // paper's and ink's levels for the light's paper
  double scatter = 0.0;           // the picture's spread about the drawing, gray levels
};

// Labels the cells of the figure with corners `seen` whose levels were
// fitted as `fit` (its blur and its lines are used; the paper ring's levels
// are kept).
CellLabels LabelCells(const PictureView& picture, const Quad& seen, int rows, int cols, const GridFit& fit,
                      const Light& light);

// The misfit of the drawing `labels` holds, with its grid at `at`, at the
// samples `per` a cell placed by the grid of `sampled` (those inside the
// picture, as BlurSamples gives them). False when no sample can be taken.
bool DrawingMisfit(const PictureView& picture, const Quad& sampled, const Quad& at, int rows, int cols,
                   const GridFit& fit, const Light& light, const CellLabels& labels, int per,
                   std::vector<double>& misfit);

}  // namespace vx::reader
