// Counts the memory the test binary takes through operator new and new[]
// (the library's picture buffers, file buffers and rasters all come from
// there), so that tests can bound what a reader allocates: the largest
// single request and the peak of bytes live at once since the last Reset.
#pragma once

#include <cstddef>

namespace vxtest {

struct AllocationProbe {
  static void Reset();              // peak and largest restart from the bytes live now
  static std::size_t Largest();     // largest single request since Reset
  static std::size_t PeakGrowth();  // highest live bytes since Reset, minus those live at Reset
};

}  // namespace vxtest
