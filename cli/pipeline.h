// The read pipeline of the vexolith command: picture file -> gray -> black
// and white -> the figure -> its corners as seen -> grid -> cell values ->
// verdicts. The command, the read-rate tool and the benchmarks call it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/seen_orientation.h"
#include "vexolith.h"

namespace vxcli {

// How the gray picture becomes black and white.
enum class Binarize {
  kAuto,    // global threshold at the level that best separates dark from light (Otsu)
  kGlobal,  // global threshold at `level`
  kLocal,   // each pixel against the mean of a `window` x `window` square around it, less 2
  kBlock,   // each pixel against a level that follows the mean of its `block` x `block` square
};

// Everything a reading can be told.
struct ReadOptions {
  int rows = 10;                        // cell rows as seen, border ring included
  int cols = 10;                        // cell columns as seen, border ring included
  Binarize binarize = Binarize::kAuto;  // thresholding method
  int level = 128;                      // global level, 0..255 (kGlobal); pixels at or below are black
  int window = 0;          // local-mean window in working pixels; 0: 1/8 of the shorter side, at most 25
  int block = 0;           // block-mean square in working pixels; 0: 1/8 of the shorter side
  double threshold = 0.5;  // a cell is black when its value is above this (0..1)
  int max_side = 1200;     // longest side of the working image, in pixels
  std::string marked;      // where to write the marked picture; empty: nowhere
};

// The reading of one picture.
struct ReadResult {
  bool ok = false;              // true when every cell was read
  std::string fault;            // one line saying what went wrong, when ok is false
  int width = 0;                // picture width in pixels (0 when it could not be loaded)
  int height = 0;               // picture height in pixels
  int reduction = 1;            // the working image is the picture reduced by this factor
  int rows = 0;                 // cell rows read
  int cols = 0;                 // cell columns read
  std::array<Pt, 4> corners{};  // top-left, top-right, bottom-right, bottom-left as seen; picture
                                // pixels, (0, 0) the centre of the top-left pixel, y downward
  std::vector<double> values;   // rows * cols cell values (weighted black share, about 0..1), row-major
  std::vector<bool> black;      // rows * cols verdicts, row-major
  int black_count = 0;          // cells read as black
};

// Reads a picture file (any format OpenGraphFile reads).
ReadResult ReadPictureFile(const std::string& path, const ReadOptions& options);

// Reads a picture whose row 0 is the top line, 24-bit or gray. The
// picture's pixels are not changed, except that the marked picture is drawn
// into a 24-bit picture when options.marked is set (and then written there
// as a bitmap file; a gray picture is marked on a 24-bit copy).
ReadResult ReadPicture(IMG picture, const ReadOptions& options);

}  // namespace vxcli
