// The library's reader on whole photos: a 12-megapixel picture whose figure
// fills the frame, from memory and from a file, and a 1-megapixel one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/test_picture.h"
#include "vexolith/reader.h"

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

vexolith::ReaderOptions Options() {
  vexolith::ReaderOptions o;
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
  const vexolith::ReaderOptions options = Options();
  for (auto _ : state) {
    const vexolith::ReadResult r = vexolith::Read(img, true, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.figures.size());
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
  const vexolith::ReaderOptions options = Options();
  for (auto _ : state) {
    const vexolith::ReadResult r = vexolith::ReadFile(path, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.figures.size());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadPictureFile12MP)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

namespace {

// About 1150 x 870 pixels (1 megapixel): 10 x 10 cells, 500 pixels across,
// tilted with perspective, some blur, noise and falling light.
void BM_ReadPhoto1MP(benchmark::State& state) {
  vxgen::FigureParams params;
  params.size = 500;
  params.angle = 20;
  params.skew = 0.04;
  params.blur = 1.0;
  params.noise = 6;
  params.gradient = 0.3;
  params.margin = 0.5;
  params.seed = 7;
  static const vxgen::TestPicture t = vxgen::Render(params);
  const vxgen::Picture& p = t.picture;
  const IMG img{const_cast<unsigned char*>(p.bgr.data()), p.width, p.width * 3, p.height, 1, 0};
  vexolith::ReaderOptions options;
  options.rows = t.truth.rows;
  options.cols = t.truth.cols;
  for (auto _ : state) {
    const vexolith::ReadResult r = vexolith::Read(img, true, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.figures.size());
  }
  state.counters["megapixels"] = p.width * static_cast<double>(p.height) / 1e6;
}
BENCHMARK(BM_ReadPhoto1MP)->Unit(benchmark::kMillisecond);

}  // namespace
