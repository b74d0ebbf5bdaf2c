#include "tools/read_adapter.h"

#include "cli/pipeline.h"

namespace vxgen {

// Today's reader finds one figure, so `all` changes nothing yet.
Reading ReadForEval(const IMG& picture, int rows, int cols, bool /*all*/) {
  vxcli::ReadOptions options;
  options.rows = rows;
  options.cols = cols;
  const vxcli::ReadResult r = vxcli::ReadPicture(picture, options);
  Reading out;
  out.ok = r.ok;
  out.fault = r.fault;
  if (r.ok) out.figures.push_back({r.corners, r.black, 1.0});
  return out;
}

}  // namespace vxgen
