// The whole read of a 12-megapixel picture whose figure fills the frame:
// gray conversion, reduction to a working size, threshold, regions, corners,
// grid and cell measurement, from memory and from a bitmap file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/pipeline.h"
#include "tools/bmp_file.h"
#include "tools/test_picture.h"

namespace {

// About 3970 x 3070 pixels: 12 x 16 cells, 3600 pixels across, a slight turn.
const vxgen::TestPicture& Photo() {
  static const vxgen::TestPicture picture = [] {
    vxgen::FigureParams params;
    params.rows = 12;
    params.cols = 16;
    params.size = 3600;
    params.angle = 3;
    params.skew = 0.01;
    params.blur = 1.0;
    params.noise = 4;
    params.gradient = 0.2;
    params.margin = 0.05;
    params.seed = 12;
    return vxgen::Render(params);
  }();
  return picture;
}

// The library prints a line per region after every search; keep those lines
// out of the benchmark's report while the loop runs.
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

vxcli::ReadOptions Options() {
  vxcli::ReadOptions o;
  o.rows = Photo().truth.rows;
  o.cols = Photo().truth.cols;
  return o;
}

void BM_ReadPicture12MP(benchmark::State& state) {
  const vxgen::Picture& p = Photo().picture;
  // The pipeline reads a 24-bit top-down IMG; rows padded to 4 bytes.
  const int stride = (p.width * 3 + 3) / 4 * 4;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * p.height);
  for (int y = 0; y < p.height; ++y)
    std::copy_n(p.bgr.data() + static_cast<std::size_t>(y) * p.width * 3, p.width * 3,
                pixels.data() + static_cast<std::size_t>(y) * stride);
  const IMG img{pixels.data(), p.width, stride, p.height, 1, 0};
  const vxcli::ReadOptions options = Options();
  QuietStdout quiet;
  for (auto _ : state) {
    const vxcli::ReadResult r = vxcli::ReadPicture(img, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.black_count);
  }
  state.counters["megapixels"] = p.width * static_cast<double>(p.height) / 1e6;
}
BENCHMARK(BM_ReadPicture12MP)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadPictureFile12MP(benchmark::State& state) {
  const std::string path = "/tmp/vexolith_read_bench_12mp.bmp";
  if (!vxgen::WriteBmp(path, Photo().picture)) {
    state.SkipWithError("cannot write the picture");
    return;
  }
  const vxcli::ReadOptions options = Options();
  QuietStdout quiet;
  for (auto _ : state) {
    const vxcli::ReadResult r = vxcli::ReadPictureFile(path, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.black_count);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadPictureFile12MP)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
