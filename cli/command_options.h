// The command line of `vexolith read`, `detect`, `segment` and `histogram`.
#pragma once

#include <string>
#include <vector>

#include "cli/command_detect.h"
#include "cli/command_histogram.h"
#include "cli/command_read.h"
#include "cli/command_segment.h"

namespace vxcli {

// Exit codes of the command.
inline constexpr int kExitAllRead = 0;     // every picture was read
inline constexpr int kExitSomeFailed = 1;  // a picture could not be read, or the results not written
inline constexpr int kExitUsage = 2;       // bad command line; nothing was read

// What the command does with each picture.
enum class Verb {
  kRead,       // reads the figure's cells
  kDetect,     // lists the code regions
  kSegment,    // cuts the picture into segments of like texture
  kHistogram,  // counts the gray levels
};

// A parsed command line.
struct Command {
  bool help = false;                  // --help: print the usage and stop
  bool version = false;               // --version: print "vexolith VERSION" and stop
  std::string error;                  // non-empty: the command line is bad, and why (one line)
  Verb verb = Verb::kRead;            // the first word
  std::vector<std::string> pictures;  // picture paths in the order given; empty: the sample picture
  ReadOptions read;                   // how every picture is read (marked path as given by --marked)
  DetectOptions detect;               // detect: search settings, marked path as given
  SegmentSettings segment;            // segment: segmentation settings, marked path as given
  HistogramSettings histogram;        // histogram: bins, area, chart path as given
  bool json = false;                  // one JSON object per picture instead of verdict rows
  bool show_contours = false;         // copy the library's per-region lines to standard error
  int jobs = 0;                       // pictures read at once; 0: one per core
  // Absolute directory relative paths are opened from (set when a refinement
  // moves the current directory while other pictures are read); empty: the
  // paths are opened as given.
  std::string base;
};

// Parses the arguments after the program name (the command's word first:
// read, detect, segment or histogram). Flags may be
// given as "--flag value" or "--flag=value" and mixed with picture paths;
// "--" ends the flags.
Command ParseCommand(const std::vector<std::string>& args);

// The text of --help.
std::string Usage();

// Where the marked picture of picture `index` (0-based) of `count` goes:
// (or chart) the path itself for a single picture, otherwise the path with "-N"
// (N = index + 1) put before its extension: out.bmp -> out-1.bmp, out-2.bmp.
std::string MarkedPath(const std::string& path, int index, int count);

}  // namespace vxcli
