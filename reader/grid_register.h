// A figure's corners placed by its whole grid.
//
// The sides' edge points place the corners only as well as the outer edge
// shows; under noise on small cells that may be no better than a quarter
// cell. Every edge between cells of different colours, inside the figure as
// well as round it, also tells where the grid lies. Here the corners are
// moved to where the cell-by-cell model of the picture (grid_fit.h) fits
// it best, by Gauss-Newton steps on the eight coordinates, and the spread
// of the fit's misfit says how well that places them.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "reader/geometry.h"
#include "reader/plane.h"

namespace vx::reader {

// The corners' coordinates as unknowns: x and y of each corner in turn.
constexpr int kCornerParams = 8;
using CornerMatrix = std::array<std::array<double, kCornerParams>, kCornerParams>;

// `q` with coordinate `param` (x, y of corner 0, then of corner 1, ...)
// moved by `by` pixels.
Quad Moved(const Quad& q, int param, double by);

// Solves the symmetric positive system a x = b in place by Gaussian
// elimination with partial pivoting; false when singular.
bool SolveSmall(CornerMatrix a, std::array<double, kCornerParams>& b);

// The misfit of a model of the figure with its corners at `at`, at
// samples placed where they stay as the corners move; false when it
// cannot be taken.
using MisfitAt = std::function<bool(const Quad& at, std::vector<double>& misfit)>;

// The normal matrix J'J and the negated gradient -J'r of the squared
// misfit at `at`, where it is `misfit`, by forward differences of a
// quarter pixel along each coordinate.
bool LinearizeCorners(const MisfitAt& misfit_at, const Quad& at, const std::vector<double>& misfit,
                      CornerMatrix& normal, std::array<double, kCornerParams>& down);

// How far each corner may be from its place, 3 standard errors, from the
// normal matrix and the misfit's variance; false when the matrix is
// singular.
bool CornerDoubts(const CornerMatrix& normal, double variance, std::array<double, 4>& doubt);

struct Registration {
  bool ok = false;  // false when the fit failed, wandered off, or left a misfit beyond the noise
  Quad seen{};      // the corners, top-left first, picture pixels
  std::array<double, 4> doubt{};  // how far each corner may be from its place, pixels (3 standard errors)
  bool tight = false;             // the misfit is well within the noise between neighbouring pixels, too
  double misfit = 0.0;            // the picture's spread about the fitted model, gray levels
  std::vector<double> levels;     // the fitted levels there, (rows + 2) x (cols + 2) with the paper ring
};

// Places the corners of the figure of rows x cols cells first seen at
// `seen`; they may move at most half a cell. `tight_only`: fails unless
// the placing is tight.
Registration RegisterGrid(const PictureView& picture, const Quad& seen, int rows, int cols,
                          bool tight_only = false);

// True when `placed` succeeded with every corner in doubt by no more than a
// quarter of its cell (at least a pixel).
bool PlacedWell(const Registration& placed, int rows, int cols);

// True when the cells' fitted levels tell black from white as `black`
// (rows x cols) does, each clearly: darker or lighter than halfway between
// the border ring's typical level and the paper's by 8% of their gap. The
// fit reads every pixel of a cell with its neighbours' blur taken out, the
// reading a window over its centre; where blur and JPEG loss blot out
// small cells the two part, or the fit leaves a cell in doubt.
bool LevelsAgree(const Registration& placed, const std::vector<unsigned char>& black, int rows, int cols);

}  // namespace vx::reader
