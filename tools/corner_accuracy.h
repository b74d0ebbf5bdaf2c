// How close the reader's corners come to the generator's true corners, with
// and without refinement of the figure's sides (vexolith-eval --refine).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/condition_sets.h"
#include "tools/random_params.h"

namespace vxgen {

// Reads `count` pictures of each set, refines every figure read wholly right
// by each of `modes` (comma-separated: none, contour, image, line, line1,
// line2, black) and prints the corner error of each mode: mean, median and
// 95th percentile over all corners, as the refinement gave them and as the
// reading kept them. Returns 0, or 2 (after a line on standard error) for an
// unknown mode.
int PrintCornerAccuracy(std::FILE* out, const std::vector<const ConditionSet*>& sets, int count,
                        std::uint32_t seed, const SetLimits& limits, int jobs, const std::string& modes);

}  // namespace vxgen
