// The figure search: candidate quadrilaterals from several black-and-white
// versions of the reduced picture, each refined on the gray picture and
// judged by its cells.
#pragma once

#include <string>
#include <vector>

#include "reader/cells.h"
#include "reader/geometry.h"
#include "reader/plane.h"
#include "vexolith/reader.h"

namespace vx::reader {

// A figure that passed every check.
struct Accepted {
  Quad seen{};        // top-left, top-right, bottom-right, bottom-left, picture pixels
  CellReading cells;  // its reading
  double area = 0.0;  // square pixels
};

// Searches the picture at reduction `factor`. Readings passing the checks are
// appended to `found` (overlapping ones kept apart by the caller); `fault`
// gets the most telling reason a candidate failed and `others` the outline
// of every dark thing tried (a candidate quadrilateral, read or not, or the
// box of a region that is no quadrilateral). `in_doubt` holds the figures
// whose corners were found in doubt, at this or another reduction: an
// outline with its corners near theirs is refused too (another rough
// outline refined again may land its corners anywhere the first left in
// doubt). With `stop_early` the search stops at the first binarization that
// gave a confident reading.
void SearchAt(const PictureView& picture, int factor, const vexolith::ReaderOptions& options, bool stop_early,
              std::vector<Accepted>& found, std::string& fault, std::vector<Quad>& others,
              std::vector<Quad>& in_doubt);

}  // namespace vx::reader
