// The command line of `vexolith read`.
#pragma once

#include <string>
#include <vector>

#include "cli/command_read.h"

namespace vxcli {

// Exit codes of the command.
inline constexpr int kExitAllRead = 0;     // every picture was read
inline constexpr int kExitSomeFailed = 1;  // at least one picture could not be read
inline constexpr int kExitUsage = 2;       // bad command line; nothing was read

// A parsed command line.
struct Command {
  bool help = false;                  // --help: print the usage and stop
  std::string error;                  // non-empty: the command line is bad, and why (one line)
  std::vector<std::string> pictures;  // picture paths in the order given; empty: the sample picture
  ReadOptions read;                   // how every picture is read (marked path as given by --marked)
  bool json = false;                  // one JSON object per picture instead of verdict rows
  bool show_contours = false;         // copy the library's per-region lines to standard error
  int jobs = 0;                       // pictures read at once; 0: one per core
};

// Parses the arguments after the program name ("read" first). Flags may be
// given as "--flag value" or "--flag=value" and mixed with picture paths;
// "--" ends the flags.
Command ParseCommand(const std::vector<std::string>& args);

// The text of --help.
std::string Usage();

// Where the marked picture of picture `index` (0-based) of `count` goes:
// the path itself for a single picture, otherwise the path with "-N"
// (N = index + 1) put before its extension: out.bmp -> out-1.bmp, out-2.bmp.
std::string MarkedPath(const std::string& path, int index, int count);

}  // namespace vxcli
