// What the command prints for each picture: verdict rows or a JSON object.
#pragma once

#include <string>

#include "cli/command_read.h"

namespace vxcli {

// The verdict rows of a reading, '#' black and '.' white, one line per row,
// figures apart by an empty line; with `header`, a first line naming the
// file ("PATH:").
std::string FormatRows(const std::string& path, const ReadResult& r, bool header);

// One JSON object on one line, ending with a newline. A reading gives
// {"file", "ok": true, "rows", "cols", "corners": [[x, y] x 4], "values":
// [[...] per row], "margins": [[...] per row], "verdicts": ["#..#" per row],
// "black", "threshold", "confidence"}; with `all` the figure fields move
// into "figures": [{...} per figure], most confident first. A failure gives
// {"file", "ok": false, "error"}.
std::string FormatJson(const std::string& path, const ReadResult& r, bool all = false);

// s as a JSON string literal, quotes included. Bytes that are not valid
// UTF-8 become U+FFFD, so odd file names still give valid JSON.
std::string JsonString(const std::string& s);

// The one-line fault message for standard error: "vexolith: PATH: FAULT".
std::string FaultLine(const std::string& path, const ReadResult& r);

}  // namespace vxcli
