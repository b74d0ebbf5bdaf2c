// CONTOUR::Find on a 12-megapixel binary page covered with thousands of
// small letter-like shapes, with and without nesting and the walk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "bench/pictures.h"
#include "vexolith.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Find prints a line per contour; the lines go to /dev/null while the
// benchmark runs so that only the benchmark's report reaches the terminal.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(1);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
  }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  int saved_;
};

void BM_FindPage(benchmark::State& state) {
  static const vxbench::Picture page = vxbench::LetterPage(kWidth, kHeight);
  const IMG& img = page.img;
  const unsigned long mode = static_cast<unsigned long>(state.range(0));
  int contours = 0;
  {
    QuietStdout quiet;
    for (auto _ : state) {
      state.PauseTiming();
      auto store = std::make_unique<CONTOUR>();
      state.ResumeTiming();
      int code = store->Find(img, RECT{0, 0, kWidth, kHeight}, 0, mode);
      benchmark::DoNotOptimize(code);
      contours = store->ReturnAllContours();
      state.PauseTiming();
      store.reset();
      state.ResumeTiming();
    }
  }
  state.counters["contours"] = contours;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kWidth) * kHeight);
}

BENCHMARK(BM_FindPage)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
