// Checks the command makes on the files it names before the library opens
// them. The library opens and reads without asking what a path is: a FIFO
// waits for a writer (or a reader) for ever and a device such as /dev/zero
// never ends, so only regular files are handed on.
#pragma once

#include <string>

namespace vxcli {

// Empty when `path` is a regular file that can be opened for reading;
// otherwise the fault, e.g. "cannot open: not a regular file". The check
// never blocks and reads nothing.
std::string CheckPictureFile(const std::string& path);

// Empty when the marked picture (or another output file, `what`) may be
// written to `path`: nothing is there yet, or a regular file is; otherwise
// the fault ("cannot write the marked picture to PATH: not a regular file").
std::string CheckMarkedFile(const std::string& path, const std::string& what = "marked picture");

}  // namespace vxcli
