// Gray conversion of a 12-megapixel picture, and the picture the threshold
// benchmarks share.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "image/gray.h"
#include "vexolith.h"

namespace vxbench {

// A 4000 x 3000 24-bit picture like a photographed sheet: a brightness
// gradient with noise and a tint, dark discs and bars, and a dark 9 x 9 grid.
// Made once; callers must not change it.
const IMG& BenchPicture() {
  constexpr int kWidth = 4000, kHeight = 3000;
  static std::vector<unsigned char> pixels;
  static IMG picture{};
  if (!pixels.empty()) return picture;
  const int stride = (3 * kWidth + 3) / 4 * 4;
  pixels.assign(static_cast<size_t>(stride) * kHeight, 0);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      int v = 110 + 120 * x / kWidth + 20 * y / kHeight + static_cast<int>(noise >> 28) - 8;
      const int dx = x % 800 - 400, dy = y % 700 - 350;
      if (dx * dx + dy * dy < 90 * 90) v -= 90;          // discs
      if (y % 300 < 12 && x > 200 && x < 3800) v -= 70;  // bars
      const int gx = x - 1200, gy = y - 800;             // grid 1800 x 1400
      if (gx >= 0 && gx < 1800 && gy >= 0 && gy < 1400 && (gx % 200 < 14 || gy % 155 < 14)) v = 35;
      v = v < 0 ? 0 : v > 255 ? 255 : v;
      unsigned char* px = pixels.data() + static_cast<size_t>(y) * stride + 3 * x;
      px[0] = static_cast<unsigned char>(v * 9 / 10);
      px[1] = static_cast<unsigned char>(v);
      px[2] = static_cast<unsigned char>(v < 245 ? v + 10 : 255);
    }
  }
  picture = IMG{pixels.data(), kWidth, stride, kHeight, 1, 0};
  return picture;
}

}  // namespace vxbench

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
