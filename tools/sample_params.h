// The settings of the sample picture shipped in samples/sample.bmp, which
// `vexolith read` reads when given no picture. `vexolith-gen OUT --sample`
// draws it again.
#pragma once

#include "tools/test_picture.h"

namespace vxgen {

// 10 x 10 cells (8 x 8 free cells inside the border ring), 200 pixels
// across, turned 12 degrees, with a little perspective, blur, noise and
// lighting gradient: about 290 x 290 pixels, 250 KB as a bitmap file.
inline FigureParams SampleParams() {
  FigureParams s;
  s.rows = 10;
  s.cols = 10;
  s.size = 200.0;
  s.angle = 12.0;
  s.skew = 0.02;
  s.blur = 0.6;
  s.noise = 4.0;
  s.gradient = 0.15;
  s.margin = 0.12;
  s.seed = 2026;
  return s;
}

}  // namespace vxgen
