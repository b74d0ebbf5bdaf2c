// Timing helpers of the side-by-side comparison with OpenCV: thread CPU
// time, medians over repetitions, one table row per operation.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <opencv2/core.hpp>
#include <vector>

#include "vexolith.h"

namespace vxcmp {

inline int g_reps = 11;  // timed runs per measurement (after one warm-up)

// CPU time of this thread (user and system, so page faults count): on a
// shared machine it varies far less than the wall clock.
inline double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double Seconds(const std::function<void()>& f) {
  const double t0 = ThreadSeconds();
  f();
  return ThreadSeconds() - t0;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// OpenCV's output matrices. Kept from run to run they are "warm" (OpenCV
// writes into them without allocating); cleared before a run they are
// "fresh": allocated anew on every run, as vexolith's results are. In both
// libraries a new block may be one just released (the C library's heap
// keeps blocks below 32 MiB, vexolith keeps up to three picture-sized ones).
struct Mats {
  cv::Mat a, b, c, d, e, f;
};

struct Times {
  double ours, fresh, warm;  // medians in ms
};

// Runs vexolith, OpenCV with fresh outputs and OpenCV with warm outputs in
// turn, `reps` times each after one warm-up, with `reset` before every run
// outside the timing.
inline Times Compare(
    const std::function<void()>& ours, const std::function<void(Mats&)>& theirs,
    const std::function<void()>& reset = [] {}) {
  std::vector<double> a, b, c;
  Mats warm;
  for (int r = -1; r < g_reps; ++r) {
    reset();
    const double ta = Seconds(ours);
    reset();
    Mats fresh;
    const double tb = Seconds([&] { theirs(fresh); });
    reset();
    const double tc = Seconds([&] { theirs(warm); });
    if (r >= 0) a.push_back(ta), b.push_back(tb), c.push_back(tc);
  }
  return {Median(a) * 1e3, Median(b) * 1e3, Median(c) * 1e3};
}

inline double TimeOnly(
    const std::function<void()>& f, const std::function<void()>& reset = [] {}) {
  std::vector<double> a;
  for (int r = -1; r < g_reps; ++r) {
    reset();
    const double t = Seconds(f);
    if (r >= 0) a.push_back(t);
  }
  return Median(a) * 1e3;
}

inline void Row(const char* what, Times t, const char* target) {
  std::printf("| %-58s | %8.2f | %8.2f | %8.2f | %5.2f | %5.2f | %-6s |\n", what, t.ours, t.fresh, t.warm,
              t.ours / t.fresh, t.ours / t.warm, target);
  std::fflush(stdout);
}

// Find prints a line per contour; the lines go to /dev/null meanwhile.
class QuietStdout {
 public:
  QuietStdout() : saved_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    close(null_fd);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

inline cv::Mat View(const IMG& img) {
  return cv::Mat(img.height, img.width, img.gray ? CV_8UC1 : CV_8UC3, img.bits,
                 static_cast<size_t>(img.stride));
}

inline RECT Whole(const IMG& img) { return RECT{0, 0, img.width, img.height}; }

// Picture files (files.cpp): reading BMP, PNG and JPEG with fresh memory
// against imread, the whole reading of a picture file against an OpenCV
// pipeline of the same steps, and the readers' scaling in pixels.
void CompareFiles();
void FileScaling();

}  // namespace vxcmp
