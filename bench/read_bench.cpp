// The library's reader on whole photos: a 12-megapixel picture whose figure
// fills the frame, from memory and from BMP and JPEG files, and a
// 1-megapixel one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/pictures.h"
#include "tools/bmp_file.h"
#include "tools/jpeg_round_trip.h"
#include "tools/test_picture.h"
#include "vexolith/reader.h"

namespace {

const vxgen::TestPicture& Photo() { return vxbench::FigurePhoto(); }

vexolith::ReaderOptions Options(const vxgen::TestPicture& t) {
  vexolith::ReaderOptions o;
  o.rows = t.truth.rows;
  o.cols = t.truth.cols;
  return o;
}

// Reads img (24-bit, top-down) on every iteration.
void ReadEachTime(benchmark::State& state, const IMG& img, const vexolith::ReaderOptions& options) {
  for (auto _ : state) {
    const vexolith::ReadResult r = vexolith::Read(img, true, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.figures.size());
  }
  state.counters["megapixels"] = img.width * static_cast<double>(img.height) / 1e6;
}

void BM_ReadPicture12MP(benchmark::State& state) {
  const vxgen::Picture& p = Photo().picture;
  // The pipeline reads a 24-bit top-down IMG; rows padded to 4 bytes.
  const int stride = (p.width * 3 + 3) / 4 * 4;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * p.height);
  for (int y = 0; y < p.height; ++y)
    std::copy_n(p.bgr.data() + static_cast<std::size_t>(y) * p.width * 3, p.width * 3,
                pixels.data() + static_cast<std::size_t>(y) * stride);
  ReadEachTime(state, IMG{pixels.data(), p.width, stride, p.height, 1, 0}, Options(Photo()));
}
BENCHMARK(BM_ReadPicture12MP)->Unit(benchmark::kMillisecond)->Iterations(5);

// The 12-megapixel picture as a BMP file (arg 0) or as a phone would store
// it, a JPEG file at quality 90 (arg 1), decoded by the reader's file call
// on every iteration.
void BM_ReadFile12MP(benchmark::State& state) {
  const bool jpeg = state.range(0) != 0;
  const std::string path = jpeg ? "/tmp/vexolith_read_bench_12mp.jpg" : "/tmp/vexolith_read_bench_12mp.bmp";
  bool written = false;
  if (jpeg) {
    const std::vector<std::uint8_t> bytes = vxgen::EncodeJpeg(Photo().picture, 90);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    written = f != nullptr && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f != nullptr && std::fclose(f) != 0) written = false;
  } else {
    written = vxgen::WriteBmp(path, Photo().picture);
  }
  if (!written) {
    state.SkipWithError("cannot write the picture");
    return;
  }
  const vexolith::ReaderOptions options = Options(Photo());
  for (auto _ : state) {
    const vexolith::ReadResult r = vexolith::ReadFile(path, options);
    if (!r.ok) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.figures.size());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadFile12MP)->ArgName("jpeg")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// About 1150 x 870 pixels (1 megapixel): 10 x 10 cells, 500 pixels across,
// tilted with perspective, some blur, noise and falling light.
void BM_ReadPhoto1MP(benchmark::State& state) {
  static const vxgen::TestPicture t = [] {
    vxgen::FigureParams params;
    params.size = 500;
    params.angle = 20;
    params.skew = 0.04;
    params.blur = 1.0;
    params.noise = 6;
    params.gradient = 0.3;
    params.margin = 0.5;
    params.seed = 7;
    return vxgen::Render(params);
  }();
  const vxgen::Picture& p = t.picture;
  ReadEachTime(state, IMG{const_cast<unsigned char*>(p.bgr.data()), p.width, p.width * 3, p.height, 1, 0},
               Options(t));
}
BENCHMARK(BM_ReadPhoto1MP)->Unit(benchmark::kMillisecond);

}  // namespace
