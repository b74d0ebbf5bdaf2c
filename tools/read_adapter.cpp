#include "tools/read_adapter.h"

#include "reader/cells.h"
#include "reader/second_looks.h"
#include "vexolith/reader.h"

namespace vxgen {

Reading ReadForEval(const IMG& picture, int rows, int cols, bool all) {
  vexolith::ReaderOptions options;
  options.rows = rows;
  options.cols = cols;
  options.all = all;
  const vexolith::ReadResult r = vexolith::Read(picture, true, options);
  Reading out;
  out.ok = r.ok;
  out.fault = r.fault;
  for (const vexolith::FigureReading& f : r.figures) {
    FoundFigure found;
    for (int k = 0; k < 4; ++k) found.corners[k] = {f.corners[k].x, f.corners[k].y};
    found.black.assign(f.black.begin(), f.black.end());
    found.confidence = f.confidence;
    out.figures.push_back(std::move(found));
  }
  return out;
}

Reading ReadCellsOnCorners(const IMG& picture, int rows, int cols, const std::array<Pt, 4>& corners) {
  vx::reader::Quad seen{};
  for (int k = 0; k < 4; ++k) seen[k] = {corners[k].x, corners[k].y};
  const vx::reader::PictureView view(picture, true);
  vx::reader::CellReading cells = vx::reader::ReadCells(view, seen, rows, cols, -1.0);
  // The search's second look where the first is refused for no decisive reason.
  if (!cells.ok && !cells.decisive && cells.contrast > 0.0) {
    vx::reader::CellReading fitted = vx::reader::ReadCellsByFit(view, seen, rows, cols, -1.0);
    vx::reader::Quad placed{};
    if (!fitted.ok) fitted = vx::reader::ReadCellsByLabels(view, seen, rows, cols, -1.0, placed);
    if (fitted.ok) cells = std::move(fitted);
  }
  Reading out;
  out.ok = cells.ok;
  out.fault = cells.fault;
  if (cells.ok)
    out.figures.push_back(
        {corners, std::vector<bool>(cells.black.begin(), cells.black.end()), cells.confidence});
  return out;
}

}  // namespace vxgen
