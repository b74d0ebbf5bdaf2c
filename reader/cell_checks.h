// The pieces of evidence a candidate figure's cells are judged by, beside
// the split of their values: patches sampled through the figure's map, and
// the checks that tell a figure from an outlined box, a thick frame, or a
// figure cut along a shadow's edge. Each is explained where it is defined.
#pragma once

#include <vector>

#include "reader/geometry.h"
#include "reader/light.h"
#include "reader/plane.h"

namespace vx::reader {

// Mean gray over u0..u1, v0..v1 of the unit square, nu x nv samples; NaN
// when a sample falls outside the picture.
double PatchMean(const PictureView& picture, const Homography& map, double u0, double u1, double v0,
                 double v1, int nu, int nv);
inline double PatchMean(const PictureView& picture, const Homography& map, double u0, double u1, double v0,
                        double v1, int n) {
  return PatchMean(picture, map, u0, u1, v0, v1, n, n);
}

// Noise of the picture over the quadrilateral `q`, gray levels: the median
// absolute difference of pixels `lag` apart along a row (about 64 x 64
// pairs), scaled to a Gaussian sigma. The median passes over the figure's
// edges. Noise that compression has smoothed differs little between
// neighbours and more between pixels further apart; a larger lag sees it.
// 0 when no pair lies inside.
double NoiseWithin(const PictureView& picture, const Quad& q, int lag = 1);

// The middle value (the upper middle for an even count); NaN for none.
double Median(std::vector<double> v);

// Every inner cell read white: the thin lines between them show darker than
// the cells (else an outlined box).
bool InnerLinesShow(const PictureView& picture, const Homography& map, int rows, int cols, double cell_px,
                    double cell_gray, double contrast);

// Cell (i, j)'s value under a fitted shadow, from n x n samples over its
// central half: each sample's darkness between the light's paper level
// there and ink, averaged. Samples within `band` cells of a sharp edge are
// left out, where the edge's doubtful place decides which side of it they
// lie on (all are kept when under a quarter would remain). `down` and `up`
// get how far the value may fall and rise with the edge anywhere its fit
// leaves in doubt.
double ShadowCellValue(const PictureView& picture, const Homography& map, const Light& light, int i, int j,
                       int rows, int cols, int n, double band, double& down, double& up);

// The inner black cells are whole lines of cells along the ring and
// nothing else: the ring goes on inward as a frame round white cells, as
// an outlined box with a thick frame reads, and no pattern of cells does.
bool InnerFrameOnly(const std::vector<unsigned char>& black, int rows, int cols);

// Every inner black cell reads about as dark as the ring, allowing for blur
// from its white neighbours and for noise.
bool SolidBlackCells(const std::vector<double>& values, const std::vector<unsigned char>& black, int rows,
                     int cols, double threshold);

// A reading is taken only while the spread of its cells' values leaves
// fewer than this many inner cells expected on the wrong side of the split.
// Margins clear of the threshold mean little where the values scatter as
// widely as the margins (heavy noise, light the levels do not follow);
// readings right on their cells rarely expect more than a tenth of a cell.
constexpr double kMostWrongCells = 0.5;

// What only a look coarser than the working size finds lies in noise strong
// enough to fray it at that size: it is taken only with this clear a margin
// (every inner cell 0.2 from the threshold), unless read by the cells'
// colours, which are held to tests of their own.
constexpr double kCoarserConfidence = 0.4;

// How many inner cells may be read the wrong colour, going by the spread
// the cells themselves show: each colour's values taken as normal about
// their mean with their own spread, the chance that a cell's value came
// from the other colour's, summed over the inner cells. 0 when either
// colour has fewer than two inner cells (no spread to go by).
double ExpectedWrongCells(const std::vector<double>& values, const std::vector<unsigned char>& black,
                          int rows, int cols);

// The ring goes on beyond side `side` (0 top, 1 right, 2 bottom, 3 left;
// -1 none): the figure is part of a larger one.
bool RingGoesOn(const PictureView& picture, const Homography& map, const Light& light, int side, int rows,
                int cols);

// The ring runs on in ink past both ends of some side (a figure cut along
// that side), `ring_share` the ring's typical darkness over its paper.
bool RingRunsOn(const PictureView& picture, const Homography& map, int rows, int cols, double ring_share);

}  // namespace vx::reader
