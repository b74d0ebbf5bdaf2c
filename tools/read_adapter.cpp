#include "tools/read_adapter.h"

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

}  // namespace vxgen
