// Working through many pictures at once, outcomes handed on in the order
// given. Every command (read, detect, segment, histogram) runs through here.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vxcli {

struct Command;

// Starts a thread running `work`; throws std::system_error when the system
// cannot, as std::thread does. RunAll takes another one only in tests.
using ThreadStarter = std::function<std::thread(std::function<void()> work)>;
std::thread StartThread(std::function<void()> work);

// What one picture gave, as the command reports it.
struct Outcome {
  bool ok = false;      // the picture was analysed (and its output file written)
  std::string fault;    // why not, one line, when ok is false
  std::string results;  // the text for the results: rows, regions, bins or a JSON line
};

// Runs analyse(k) for k = 0 .. count - 1 on `jobs` worker threads (at least
// 1, at most one per picture) and calls emit(k, outcome) on the calling
// thread in index order, each as soon as that picture and all before it are
// done; when emit returns false no further picture is started or emitted.
// An analysis that throws (memory exhausted, for one) becomes a failed
// outcome naming the fault. When a worker cannot be started, the pictures
// are analysed by those that could, or on the calling thread.
void RunAll(int count, int jobs, const std::function<Outcome(int)>& analyse,
            const std::function<bool(int, const Outcome&)>& emit, const ThreadStarter& start = StartThread);

// Picture k of the command's pictures, checked and analysed as its command
// says: a path that is not a regular file, or an output path (marked
// picture, chart) that holds something else, fails without being opened by
// the library. Picture k writes its output to MarkedPath(output, k, count).
Outcome AnalysePicture(const Command& command, int k);

}  // namespace vxcli
