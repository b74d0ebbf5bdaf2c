// The C++ side of the Python overhead comparison: reads the given picture
// files into memory (rows top-down, as numpy holds them), then times
// vexolith::Read over all of them, several rounds, and prints the median
// round in seconds per picture and the number of pictures read. Times are
// the thread's CPU time, as on the Python side: on a shared machine the
// wall clock measures the neighbours as well.
//   vexolith-read-arrays ROWS COLS ROUNDS FILE...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "vexolith.h"
#include "vexolith/reader.h"

static double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: vexolith-read-arrays ROWS COLS ROUNDS FILE...\n");
    return 2;
  }
  vexolith::ReaderOptions options;
  options.rows = std::atoi(argv[1]);
  options.cols = std::atoi(argv[2]);
  const int rounds = std::max(1, std::atoi(argv[3]));
  std::vector<vexolith::Image> pictures;
  for (int i = 4; i < argc; ++i) {
    vexolith::Image picture = vexolith::Image::Load(argv[i]);
    if (picture.empty()) {
      std::fprintf(stderr, "vexolith-read-arrays: cannot read %s\n", argv[i]);
      return 1;
    }
    UpDownImage(picture.record());  // top-down, as the Python side hands them over
    pictures.push_back(std::move(picture));
  }
  std::vector<double> seconds;
  int read = 0;
  for (int r = 0; r < rounds; ++r) {
    read = 0;
    const double start = ThreadSeconds();
    for (const vexolith::Image& p : pictures) read += vexolith::Read(p.record(), true, options).ok ? 1 : 0;
    seconds.push_back(ThreadSeconds() - start);
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("%.9f %d\n", seconds[seconds.size() / 2] / static_cast<double>(pictures.size()), read);
  return 0;
}
