// The random test set: figures of 4 x 4 to 16 x 16 cells (border ring
// included), 60 to 1500 pixels across, turned anywhere in 0..360 degrees,
// with mild perspective, blur, noise and lighting gradient.
#pragma once

#include <cstdint>

#include "tools/test_picture.h"

namespace vxgen {

// Limits of the random test set.
struct SetLimits {
  int min_cells = 4;          // fewest cells along a side, border ring included
  int max_cells = 16;         // most cells along a side
  double min_size = 60.0;     // pixels across the figure's longer side, smallest
  double max_size = 1500.0;   // and largest (drawn evenly on a log scale)
  double max_skew = 0.03;     // perspective: corners move up to this share of the size
  double max_blur = 1.0;      // blur sigma in pixels, and at most a tenth of a cell
  double max_noise = 8.0;     // noise sigma in gray levels
  double max_gradient = 0.3;  // lighting falls by up to this share across the figure
};

// Picture `index` of the set made from `seed`; the same pair always gives
// the same picture.
FigureParams RandomParams(std::uint32_t seed, int index, const SetLimits& limits = {});

}  // namespace vxgen
