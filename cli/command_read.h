// How the command reads one picture: the library's reader, the refinement
// of the figures' sides on request, plus the marked picture the command
// writes on request.
#pragma once

#include <string>

#include "vexolith/reader.h"
#include "vexolith/refine_reading.h"

namespace vxcli {

using vexolith::Binarize;
using vexolith::EdgeRefine;
using vexolith::FigureReading;
using vexolith::ReadResult;

// The reader's options, the refinement and where to write the marked picture.
struct ReadOptions : vexolith::ReaderOptions {
  std::string marked;                     // path of the marked picture (a bitmap file); empty: none
  std::string marked_shown;               // the marked path as given, for messages; empty: `marked`
  EdgeRefine refine = EdgeRefine::kNone;  // --refine: how each figure's sides are refined
  std::string logs;                       // --logs DIR as given, for messages; empty: no log is kept
  // This picture's logs: figure F's side S log L is kept as
  // logs_prefix + F + "-" + S + "-" + L (e.g. "/abs/DIR/2-1-top-dd.log").
  std::string logs_prefix;
};

// True when the refinement runs an image search, which moves the process's
// current directory while it runs.
inline bool MovesDirectory(EdgeRefine refine) {
  return refine != EdgeRefine::kNone && refine != EdgeRefine::kContour;
}

// Reads a picture file; refines every figure found when options.refine
// asks for it (a figure whose refined corners fail the reader's checks
// keeps its first reading); when options.marked is set and the picture was
// read, writes it there with every figure found drawn over it.
ReadResult ReadPictureFile(const std::string& path, const ReadOptions& options);

}  // namespace vxcli
