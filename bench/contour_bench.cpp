// CONTOUR::Find on a 12-megapixel binary page covered with thousands of
// small letter-like shapes, with and without nesting and the walk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "vexolith.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kCellW = 50;  // one glyph per 50 x 40 cell: 80 x 75 cells
constexpr int kCellH = 40;

// A white page with one black glyph per cell, four kinds in turn: a ring
// with a dot inside (two regions, the dot nested), an L, an H and a
// diagonal stroke.
std::vector<unsigned char> MakePage() {
  std::vector<unsigned char> page(static_cast<size_t>(kWidth) * kHeight, 255);
  auto ink = [&](int x, int y) { page[static_cast<size_t>(y) * kWidth + x] = 0; };
  for (int cy = 0; cy + kCellH <= kHeight; cy += kCellH) {
    for (int cx = 0; cx + kCellW <= kWidth; cx += kCellW) {
      const int x0 = cx + 8, y0 = cy + 6;  // glyph box 30 x 26
      switch ((cx / kCellW + cy / kCellH) % 4) {
        case 0:
          for (int y = 0; y < 26; ++y) {
            for (int x = 0; x < 30; ++x) {
              if (x < 4 || x >= 26 || y < 4 || y >= 22) ink(x0 + x, y0 + y);
            }
          }
          for (int y = 11; y < 15; ++y) {
            for (int x = 13; x < 17; ++x) ink(x0 + x, y0 + y);
          }
          break;
        case 1:
          for (int y = 0; y < 26; ++y) {
            for (int x = 0; x < 4; ++x) ink(x0 + x, y0 + y);
          }
          for (int y = 22; y < 26; ++y) {
            for (int x = 0; x < 30; ++x) ink(x0 + x, y0 + y);
          }
          break;
        case 2:
          for (int y = 0; y < 26; ++y) {
            for (int x = 0; x < 30; ++x) {
              if (x < 4 || x >= 26 || (y >= 11 && y < 15)) ink(x0 + x, y0 + y);
            }
          }
          break;
        default:
          for (int y = 0; y < 26; ++y) {
            for (int x = y; x < y + 4; ++x) ink(x0 + x, y0 + y);
          }
          break;
      }
    }
  }
  return page;
}

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
  static std::vector<unsigned char> page = MakePage();
  const IMG img{page.data(), kWidth, kWidth, kHeight, 1, 1};
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
