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
// `shown` names the file in the fault (empty: `path`).
std::string CheckMarkedFile(const std::string& path, const std::string& what = "marked picture",
                            const std::string& shown = "");

// Empty when the refinement's logs may be kept in `dir` (an existing
// directory the command may write into); otherwise the fault naming it as
// `shown`, e.g. "cannot write the logs to DIR: No such file or directory".
std::string CheckLogsDirectory(const std::string& dir, const std::string& shown);

// `path` as opened from the absolute directory `base`: unchanged when it is
// absolute or empty, or when base is empty. The command opens every path
// this way while a refinement may move the process's current directory.
std::string InBase(const std::string& base, const std::string& path);

}  // namespace vxcli
