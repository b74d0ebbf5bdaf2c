// Refinement of a figure the reader found: each side of the figure is
// refined on a black-and-white copy of the picture, by the contour fit or by
// one of the image searches, the refined sides are intersected for new
// corners, and the cells are read again on them.
//
// The image searches share one process-wide run table and write their logs
// under fixed names into the current directory. RefineFigure therefore
// serialises them behind one process-wide lock and runs them with the
// process's current directory moved to a private temporary directory,
// removed afterwards. While such a call runs, no other thread of the process
// may use a relative path; the contour fit (EdgeRefine::kContour) does not
// move the current directory. The contour fit prints the library's
// per-region lines on standard output, as CONTOUR::Find does.
//
// These names have C++ linkage in namespace vexolith.
#pragma once

#include <string>

#include "vexolith/reader.h"

namespace vexolith {

// Where the refined sides come from.
enum class EdgeRefine {
  kNone,                  // no refinement: the reader's corners stay
  kContour,               // CONTOUR::AccuracyLine on the figure's black region
  kImage,                 // the image search that serves best: AccuracyLine2 (writes no log)
  kDispersion,            // AccuracyLine, probes centred on each side ("dd.log", "dd1.log")
  kDispersionFromCorner,  // AccuracyLine1, probes from one corner on ("dd.log", "dd1.log")
  kBlack,                 // AccuracyLineBlack ("black.log", "black1.log")
};

// How a figure is refined.
struct RefineOptions {
  EdgeRefine how = EdgeRefine::kImage;
  double threshold = -1.0;  // cell threshold for the new reading, 0..1; below 0: chosen per figure
  // Non-empty: the searches' logs of side S are kept as logs_prefix + S +
  // "-" + log name, S being top, right, bottom or left as seen (e.g.
  // "/tmp/out/1-top-dd.log" for the prefix "/tmp/out/1-"). The directory
  // must exist. Empty: no log is kept anywhere.
  std::string logs_prefix;
};

// What RefineFigure did.
struct RefineOutcome {
  bool refined = false;          // true: the figure now holds the refined corners and their reading
  std::string kept_because;      // refined false: why the reader's corners were kept (one line)
  std::array<Point, 4> tried{};  // the refined corners, when sides could be refined, even if not kept
  bool tried_valid = false;      // tried holds corners
  bool logs_kept = true;         // false: a log could not be copied to logs_prefix
};

// Refines `figure` (as Read gave it for this picture, same top_down) in
// place. The refined reading replaces the figure's only when it passes the
// reader's own checks: the cells read on the new corners, the outline stays
// convex, no corner moves more than a third of a cell, and the verdicts do
// not change unless the new reading is at least as confident. Otherwise the
// figure is left as it was and the outcome says why: a refinement never
// turns a good reading into a failed one.
VEXOLITH_API RefineOutcome RefineFigure(const IMG& picture, bool top_down, FigureReading& figure,
                                        const RefineOptions& options);

}  // namespace vexolith
