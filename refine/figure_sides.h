// Refinement of a found figure's four sides, for the reader: each side is
// turned about its midpoint to the direction a contour fit or an image
// search gives, and the refined sides are intersected for new corners.
//
// Not exported. The image searches share the process-wide run table and
// write fixed-name logs into the current directory, so every call is
// serialised by one process-wide lock and the searches run inside a private
// temporary directory that is removed afterwards. While a call runs, the
// process's current directory is that temporary one: other threads of the
// process must not use relative paths during a call.
#pragma once

#include <string>

#include "vexolith.h"

namespace vx {

// Where a side's direction comes from.
enum class SideSearch {
  kContour,               // CONTOUR::AccuracyLine on the figure's region
  kDispersion,            // AccuracyLine, probes centred on the side
  kDispersionFromCorner,  // AccuracyLine1, probes from one corner toward the other
  kRunCount,              // AccuracyLine2
  kBlack,                 // AccuracyLineBlack
};

// The defaults are the image refinement the reader offers: AccuracyLine2 on
// probes one pixel outside the figure. Over 300 generated pictures with blur
// and noise (vexolith-eval --refine) it moved the reader's corners least,
// from 0.030 to 0.160 pixels mean error; the other searches and the contour
// fit moved them by 1.5 to 6 pixels, so no refinement is a good default.
struct SideRefineOptions {
  SideSearch search = SideSearch::kRunCount;
  int steps = 10;  // angles tried each way
  // Largest turn tried each way, radians; 0: the turn that moves a side's
  // end by `end_shift` pixels, so each step moves it by end_shift / steps.
  double max_angle = 0.0;
  double end_shift = 5.0;
  // Image probes run this many pixels inside the side (negative: outside).
  double inset = -1.0;
  // When set, each side's logs are copied to logs_prefix + side + "-" + log
  // name, side being "top", "right", "bottom", "left" for sides 0..3 (their
  // names when p1 is the top-left corner and p3 the top-right one), e.g.
  // "out/1-1-top-dd.log" for the prefix "out/1-1-". A relative prefix is
  // taken from the caller's directory.
  std::string logs_prefix;
};

// What a call did.
struct SidesRefined {
  int sides = 0;          // sides refined; the corners changed only when sides > 0
  bool logs_kept = true;  // false: some log could not be copied to logs_prefix
};

// Refines corners (FOUR_FIG_Pd order: p1, p2 opposite; p3, p4 opposite; the
// outline runs p1 -> p3 -> p2 -> p4) of a figure in an 8-bit binary image
// (black 0), in the image's pixel coordinates. kContour needs the contour
// store and index of the figure's region; the image searches read binary.
// A side whose refinement fails keeps its rough line. Corners change only
// when a side was refined and all four new corners exist.
SidesRefined RefineFigureSides(IMG binary, FOUR_FIG_Pd& corners, const SideRefineOptions& options,
                               CONTOUR* store = nullptr, int region = -1);

}  // namespace vx
