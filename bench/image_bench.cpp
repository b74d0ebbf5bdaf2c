// Gray conversion and enlargement of the 12-megapixel picture.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/pictures.h"
#include "image/gray.h"
#include "vexolith.h"

namespace {

void SetPixels(benchmark::State& state, const IMG& img) {
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(img.width) * img.height);
}

void BM_Img24To8(benchmark::State& state) {
  const IMG& src = vxbench::BenchPicture();
  for (auto _ : state) {
    IMG gray = Img24To8(src);
    benchmark::DoNotOptimize(gray.bits);
    DeleteImg(gray);
  }
  SetPixels(state, src);
}
BENCHMARK(BM_Img24To8)->Unit(benchmark::kMillisecond);

// Enlargement by 2 of the gray (arg 1) or 24-bit (arg 0) picture.
void BM_IncreaseImg(benchmark::State& state) {
  const IMG& picture = vxbench::BenchPicture();
  const bool gray = state.range(0) != 0;
  IMG src = gray ? Img24To8(picture) : picture;
  for (auto _ : state) {
    IMG big = IncreaseImg(src, 2);
    benchmark::DoNotOptimize(big.bits);
    DeleteImg(big);
  }
  SetPixels(state, src);
  if (gray) DeleteImg(src);
}
BENCHMARK(BM_IncreaseImg)->ArgName("gray")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The kernels alone over every row, to show what the vector paths gain.
template <void (*Kernel)(const unsigned char*, unsigned char*, int)>
void BM_GrayKernel(benchmark::State& state) {
  const IMG& src = vxbench::BenchPicture();
  if ((Kernel == vx::GrayRowTo8Avx2 && !vx::CpuHasAvx2()) ||
      (Kernel == vx::GrayRowTo8Avx512 && !vx::CpuHasAvx512())) {
    state.SkipWithError("not supported by this processor");
    return;
  }
  std::vector<unsigned char> out(src.width);
  for (auto _ : state) {
    for (int y = 0; y < src.height; ++y)
      Kernel(src.bits + static_cast<size_t>(y) * src.stride, out.data(), src.width);
    benchmark::ClobberMemory();
  }
  SetPixels(state, src);
}
BENCHMARK(BM_GrayKernel<vx::GrayRowTo8Scalar>)->Name("BM_GrayKernel/scalar")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrayKernel<vx::GrayRowTo8Avx2>)->Name("BM_GrayKernel/avx2")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrayKernel<vx::GrayRowTo8Avx512>)->Name("BM_GrayKernel/avx512")->Unit(benchmark::kMillisecond);

}  // namespace
