// The one place where the tools call the reader: the read-rate tool and the
// tests that score generated pictures read through ReadForEval, so moving
// to another reader means changing this file's body only.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/seen_orientation.h"
#include "vexolith.h"

namespace vxgen {

using vxcli::Pt;

// One figure as read.
struct FoundFigure {
  std::array<Pt, 4> corners;  // top-left, top-right, bottom-right, bottom-left as seen; picture pixels,
                              // (0, 0) the centre of the top-left pixel, y downward
  std::vector<bool> black;    // rows * cols verdicts as seen, row-major
  double confidence = 0;      // the reader's confidence in the figure, 0 .. 1 (1 when it gives none)
};

// Every figure read from one picture.
struct Reading {
  bool ok = false;                   // at least one figure was read
  std::string fault;                 // why not, when ok is false
  std::vector<FoundFigure> figures;  // the figures read, the most confident first
};

// picture: row 0 is the top line, 24-bit or gray. all: every figure of that size, else the best one.
Reading ReadForEval(const IMG& picture, int rows, int cols, bool all);

// The reader's own cell reading and verdicts on corners given from outside
// (the generator's true ones), with no search: ok false when its checks
// refuse the figure even there. This bounds what any search could reach.
Reading ReadCellsOnCorners(const IMG& picture, int rows, int cols, const std::array<Pt, 4>& corners);

}  // namespace vxgen
