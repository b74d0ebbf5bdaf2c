// Named sets of test pictures, each spoiling the figure in one way (or, in
// "harsh", in every way at once) over a stated range, so the read rate can
// be reported condition by condition.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/test_picture.h"

namespace vxgen {

// One named set: picture `index` of the set made from `seed` is `make(seed, index)`.
struct ConditionSet {
  std::string name;
  std::string about;  // one line: what varies and over what range
  std::function<FigureParams(std::uint32_t seed, int index)> make;
};

// Every set, "random" (the original mixed set) first.
const std::vector<ConditionSet>& ConditionSets();

// The set of that name, or null.
const ConditionSet* FindConditionSet(const std::string& name);

// Figure sizes of the "sizes" set, in pixels across; picture `index` has
// size kSetSizes[index % kSetSizeCount].
inline constexpr double kSetSizes[] = {60, 120, 250, 500, 1000, 2000, 2800, 4000, 8000};
inline constexpr int kSetSizeCount = 9;

}  // namespace vxgen
