// Find lists every region it stored on standard output, one line each. Code
// inside the library that calls Find for its own use (the reader's edge
// refinement) holds a QuietFind while it does, so the host's output is not
// written to. The switch is per thread: other threads' calls still print.
#pragma once

namespace vx {

class QuietFind {
 public:
  QuietFind();
  ~QuietFind();
  QuietFind(const QuietFind&) = delete;
  QuietFind& operator=(const QuietFind&) = delete;

 private:
  bool was_quiet_;
};

}  // namespace vx
