// Reading many pictures at once, results handed on in the order given.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_read.h"

namespace vxcli {

// Starts a thread running `work`; throws std::system_error when the system
// cannot, as std::thread does. ReadAll takes another one only in tests.
using ThreadStarter = std::function<std::thread(std::function<void()> work)>;
std::thread StartThread(std::function<void()> work);

// Reads every path on `jobs` worker threads (at least 1, at most one per
// picture) and calls emit(index, result) on the calling thread in index
// order, each as soon as that picture and all before it are done; when emit
// returns false no further picture is started or emitted. Picture k writes
// its marked picture to MarkedPath(options.marked, k, count) when
// options.marked is set. A path that is not a regular file, or a marked
// path that holds something else, fails without being opened by the
// library. A reading that throws (memory exhausted, for one) becomes a
// failed result naming the fault. When a worker cannot be started, the
// pictures are read by those that could, or on the calling thread.
void ReadAll(const std::vector<std::string>& paths, const ReadOptions& options, int jobs,
             const std::function<bool(int, const ReadResult&)>& emit,
             const ThreadStarter& start = StartThread);

}  // namespace vxcli
