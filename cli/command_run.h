// Reading many pictures at once, results handed on in the order given.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/command_read.h"

namespace vxcli {

// Reads every path on `jobs` worker threads (at least 1, at most one per
// picture) and calls emit(index, result) on the calling thread in index
// order, each as soon as that picture and all before it are done. Picture k
// writes its marked picture to MarkedPath(options.marked, k, count) when
// options.marked is set. A reading that throws (memory exhausted, for
// one) becomes a failed result naming the fault.
void ReadAll(const std::vector<std::string>& paths, const ReadOptions& options, int jobs,
             const std::function<void(int, const ReadResult&)>& emit);

}  // namespace vxcli
