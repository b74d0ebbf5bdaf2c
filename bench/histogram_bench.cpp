// Histograms and block segmentation on the 12-megapixel picture of
// image_bench.cpp, in gray.
#include <benchmark/benchmark.h>

#include "bench/pictures.h"
#include "vexolith.h"

namespace {

const IMG& GrayPicture() {
  static const IMG gray = Img24To8(vxbench::BenchPicture());
  return gray;
}

void SetPixels(benchmark::State& state, const IMG& img) {
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(img.width) * img.height);
}

// The whole picture, with 16 and 256 bins.
void BM_MakeHistogramIMG(benchmark::State& state) {
  const IMG& img = GrayPicture();
  const int bins = static_cast<int>(state.range(0));
  for (auto _ : state) {
    HISTOGRAM h = MakeHistogramIMG(img, RECT{0, 0, img.width - 1, img.height - 1}, bins);
    benchmark::DoNotOptimize(h.bins);
    DeleteHistogram(h);
  }
  SetPixels(state, img);
}
BENCHMARK(BM_MakeHistogramIMG)->ArgName("bins")->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond);

// Blocks of 8 and 32 pixels, 16 and 64 bins, with the two-peak test and
// the fold of isolated blocks.
void BM_SegmentationH(benchmark::State& state) {
  const IMG& img = GrayPicture();
  const int block = static_cast<int>(state.range(0)), bins = static_cast<int>(state.range(1));
  for (auto _ : state) {
    SEGMENTS s = SegmentationH(img, block, bins, 0.2, 0.5, SEGMENTS_FOLD_ISOLATED | SEGMENTS_TWO_PEAKS);
    benchmark::DoNotOptimize(s.labels);
    DeleteSegmentsh(s);
  }
  SetPixels(state, img);
}
BENCHMARK(BM_SegmentationH)
    ->ArgNames({"block", "bins"})
    ->Args({8, 16})
    ->Args({32, 16})
    ->Args({32, 64})
    ->Unit(benchmark::kMillisecond);

}  // namespace
