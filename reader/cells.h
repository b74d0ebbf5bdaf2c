// Measuring and judging a candidate figure's cells on the gray picture.
//
// Each cell's gray level is the mean over its central half, sampled through
// the projective map of the figure's corners. The light is estimated around
// the figure: the border ring gives the ink level along each side and a strip
// of paper just outside it the paper level; both are carried into the figure
// by distance-weighted interpolation from the four sides, so a shadow edge
// or light falling across the figure moves the levels with it. A cell's value
// is then its darkness between the local paper (0) and ink (1) levels.
//
// Where the light round the figure shows a shadow edge across it, the
// levels follow a fitted light instead (light.h), and a cell near the edge
// must clear the threshold by what the edge's doubtful place may move it;
// if the figure does not read so, it is read the other way.
//
// A cell's gray level is first taken over its central half, clear of the
// blur its neighbours spread into it. Where noise, not blur, keeps the cells
// from reading clearly, they are measured again over the central 80%, which
// holds more than twice the pixels.
//
// The black/white threshold is the middle of the widest gap among the inner
// cells' values with 0 and 1 as anchors, so a figure whose inner cells are
// all one colour still reads (the gap then touches an anchor) but with less
// confidence than one whose cells split clearly.
#pragma once

#include <string>
#include <vector>

#include "reader/geometry.h"
#include "reader/light.h"
#include "reader/plane.h"

namespace vx::reader {

struct CellReading {
  bool ok = false;              // the checks stand behind the reading
  std::string fault;            // why not, when ok is false
  std::vector<double> values;   // rows * cols, row-major
  std::vector<double> margins;  // |value - threshold|
  std::vector<unsigned char> black;
  double threshold = 0.5;
  double confidence = 0.0;  // 0..1
  bool uniform = false;     // the inner cells all read one colour
  bool filled = false;      // ...and that colour black: a filled block to any eye
  bool shadow = false;      // read with a shadow edge fitted across the figure
  bool decisive = false;    // refused whatever light is assumed
  bool part = false;        // refused as part of a larger figure (its ring goes on)
  int edge_side = -1;       // the side (0 top, 1 right, 2 bottom, 3 left) a shadow's edge as dark
                            // as the ink runs along
  bool labelled = false;    // read by the cells' colours (second_looks.h), on levels they give
  double contrast = 0.0;    // the ring's typical darkness below its paper, gray levels (0: not measured)
};

// Reads the cells of the figure with seen corners `seen` (top-left,
// top-right, bottom-right, bottom-left). fixed_threshold >= 0 fixes the
// threshold instead of choosing it.
CellReading ReadCells(const PictureView& picture, const Quad& seen, int rows, int cols,
                      double fixed_threshold);

// Reads the cells with the levels `levels`, (rows + 2) x (cols + 2) with
// the paper ring, standing for the cells' gray levels and the paper beside
// the ring; the checks are those of ReadCells. The levels are read against
// the sides' light, or with `fitted_light`, against the light fitted round
// the figure where that shows a shadow's edge.
CellReading ReadCellsWithLevels(const PictureView& picture, const Quad& seen, int rows, int cols,
                                double fixed_threshold, const std::vector<double>& levels,
                                bool fitted_light = false);

// The light across the figure with corners mapped by `map`, fitted to the
// paper round it and the ring cells' gray levels (`gray`, rows * cols).
Light LightRound(const PictureView& picture, const Homography& map, int rows, int cols,
                 const std::vector<double>& gray);

}  // namespace vx::reader
