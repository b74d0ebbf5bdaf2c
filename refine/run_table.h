// The run table: the black and white runs recorded by the latest line probe.
//
// It is the library's one piece of process-wide mutable state. It starts
// zeroed in static storage (nothing runs at load), and only the probes, the
// searches that probe, and the exported readers reach it, through Runs().
#pragma once

namespace vx {

inline constexpr int kMaxRuns = 1280;  // runs one probe may record

struct RunTable {
  int runLength[kMaxRuns];            // samples in run 0, 1, ...; each at least 1
  unsigned char runColour[kMaxRuns];  // 1 black (pixel 0), 0 white; runs alternate
  int runCount;                       // runs recorded so far, 0 .. kMaxRuns
};

// The one table of the process.
RunTable& Runs();

}  // namespace vx
