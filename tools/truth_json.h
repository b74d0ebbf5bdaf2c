// A test picture's settings and expected reading as one line of JSON,
// written next to the picture by vexolith-gen and vexolith-eval --dir.
#pragma once

#include <string>

#include "tools/test_picture.h"

namespace vxgen {

// {"width":..,"height":..,"fill":..,"params":{...},"figures":[{"rows":..,"cols":..,
//  "corners":[[x,y],..],"verdicts":["#..#",..]},..]}; corners top-left,
// top-right, bottom-right, bottom-left as seen, picture pixels, (0, 0) the
// centre of the top-left pixel, y downward, as `vexolith read --json` gives them.
std::string TruthJson(const FigureParams& params, const TestPicture& picture);

// The settings on one line, for listings ("10x12 size 300 angle 12.0 ...").
std::string DescribeParams(const FigureParams& params);

// Writes `text` and a newline to path; false when it cannot be written.
bool WriteText(const std::string& path, const std::string& text);

}  // namespace vxgen
