// Erosion, dilation and code detection on the 12-megapixel picture of
// image_bench.cpp, gray and thresholded to black and white.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/pictures.h"
#include "binarize/morphology.h"
#include "image/gray.h"
#include "vexolith.h"

namespace {

// The bench picture in gray, thresholded at 150: black 0, white 255.
const IMG& BinaryPicture() {
  static IMG binary{};
  if (binary.valid) return binary;
  binary = Img24To8(vxbench::BenchPicture());
  ThresholdImage(binary, 150, RECT{0, 0, binary.width, binary.height});
  return binary;
}

void SetPixels(benchmark::State& state, const IMG& img) {
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(img.width) * img.height);
}

// The calls consume their source, so each run gets a fresh copy outside the timing.
template <IMG (*Filter)(IMG)>
void BM_Morphology(benchmark::State& state) {
  const IMG& src = BinaryPicture();
  for (auto _ : state) {
    state.PauseTiming();
    IMG copy{};
    CopyIMG(src, &copy);
    state.ResumeTiming();
    IMG out = Filter(copy);
    benchmark::DoNotOptimize(out.bits);
    state.PauseTiming();
    DeleteImg(out);
    state.ResumeTiming();
  }
  SetPixels(state, src);
}
BENCHMARK(BM_Morphology<Img_Erode>)->Name("BM_Img_Erode")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Morphology<Img_Dilate>)->Name("BM_Img_Dilate")->Unit(benchmark::kMillisecond);

// The filter alone with each set of row kernels, to show what AVX2 gains.
void BM_MorphKernels(benchmark::State& state) {
  const bool avx2 = state.range(0) != 0;
  if (avx2 && !vx::CpuHasAvx2()) {
    state.SkipWithError("no AVX2");
    return;
  }
  const IMG& src = BinaryPicture();
  std::vector<unsigned char> work(src.bits, src.bits + static_cast<size_t>(src.stride) * src.height);
  const IMG img{work.data(), src.width, src.stride, src.height, 1, 1};
  for (auto _ : state) {
    vx::MorphFilterInPlace(vx::MorphOp::kMin, img, avx2);
    benchmark::ClobberMemory();
  }
  SetPixels(state, src);
}
BENCHMARK(BM_MorphKernels)->ArgName("avx2")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DetectCode(benchmark::State& state) {
  const IMG& src = BinaryPicture();
  const int factor = static_cast<int>(state.range(0));
  std::vector<RECT> rects(VEXOLITH_MAX_CODE_RECTS);
  int count = 0;
  for (auto _ : state) {
    DetectCode(src, factor, &count, rects.data());
    benchmark::DoNotOptimize(count);
  }
  state.counters["regions"] = count;
  SetPixels(state, src);
}
BENCHMARK(BM_DetectCode)->ArgName("factor")->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
