// The three thresholds on the 12-megapixel picture of pictures.cpp.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/pictures.h"
#include "vexolith.h"

namespace {

// A private copy of the picture, 24-bit or gray, that in-place thresholds
// may overwrite; Restore() puts the picture back.
class WorkImage {
 public:
  explicit WorkImage(bool gray) {
    const IMG& picture = vxbench::BenchPicture();
    IMG source = gray ? Img24To8(picture) : picture;
    original_.assign(source.bits, source.bits + static_cast<size_t>(source.stride) * source.height);
    if (gray) DeleteImg(source);
    work_ = original_;
    img_ = IMG{work_.data(), source.width, source.stride, source.height, 1, static_cast<unsigned char>(gray)};
  }
  const IMG& img() const { return img_; }
  RECT whole() const { return RECT{0, 0, img_.width, img_.height}; }
  void Restore() { std::memcpy(work_.data(), original_.data(), original_.size()); }

 private:
  std::vector<unsigned char> original_, work_;
  IMG img_{};
};

void SetPixels(benchmark::State& state, const IMG& img) {
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(img.width) * img.height);
}

// Each run starts from the picture again, outside the timing.
void BM_ThresholdImage(benchmark::State& state) {
  WorkImage work(state.range(0) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    work.Restore();
    state.ResumeTiming();
    ThresholdImage(work.img(), 150, work.whole());
    benchmark::ClobberMemory();
  }
  SetPixels(state, work.img());
}
BENCHMARK(BM_ThresholdImage)->ArgName("gray")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_AdaptiveThresholdImage(benchmark::State& state) {
  const IMG& src = vxbench::BenchPicture();
  const int window = static_cast<int>(state.range(0));
  for (auto _ : state) {
    IMG out = AdaptiveThresholdImage(src, window, RECT{0, 0, src.width, src.height}, 0);
    benchmark::DoNotOptimize(out.bits);
    DeleteImg(out);
  }
  SetPixels(state, src);
}
BENCHMARK(BM_AdaptiveThresholdImage)->ArgName("window")->Arg(15)->Arg(51)->Unit(benchmark::kMillisecond);

void BM_Adaptive2ThresholdImage(benchmark::State& state) {
  WorkImage work(state.range(0) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    work.Restore();
    state.ResumeTiming();
    Adaptive2ThresholdImage(work.img(), 128, 100, work.whole(), 32);
    benchmark::ClobberMemory();
  }
  SetPixels(state, work.img());
}
BENCHMARK(BM_Adaptive2ThresholdImage)->ArgName("gray")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
