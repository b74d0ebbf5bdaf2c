// Each edge-line search on a 1000-pixel edge: a grid-like figure whose top
// side runs 1000 pixels, the rough side line 0.02 rad off, 10 angle steps
// each way over 0.05 rad. The contour fit is timed on the same edge.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "vexolith.h"

namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 300;
constexpr int kLeft = 50, kRight = 1050;  // the edge: 1000 pixels of row kTop
constexpr int kTop = 50, kBottom = 250;
constexpr int kCell = 40;   // cells below the edge
constexpr int kBorder = 6;  // dark ring width
constexpr int kSteps = 10;
constexpr double kMaxAngle = 0.05;

// White page; a dark ring of width kBorder around the figure, with thin dark
// lines every kCell pixels inside, as the figures the searches refine.
std::vector<unsigned char> Figure() {
  std::vector<unsigned char> page(static_cast<size_t>(kWidth) * kHeight, 255);
  for (int y = kTop; y < kBottom; ++y) {
    for (int x = kLeft; x < kRight; ++x) {
      const bool ring =
          y < kTop + kBorder || y >= kBottom - kBorder || x < kLeft + kBorder || x >= kRight - kBorder;
      const bool line = (x - kLeft) % kCell < 2 || (y - kTop) % kCell < 2;
      if (ring || line) page[static_cast<size_t>(y) * kWidth + x] = 0;
    }
  }
  return page;
}

// The searches write their logs into the current directory: run them in a
// temporary one.
struct InTempDir {
  std::filesystem::path home = std::filesystem::current_path();
  std::string dir = (std::filesystem::temp_directory_path() / "vexolith_refine_benchXXXXXX").string();
  InTempDir() {
    if (mkdtemp(dir.data()) != nullptr) std::filesystem::current_path(dir);
  }
  ~InTempDir() {
    std::filesystem::current_path(home);
    std::filesystem::remove_all(dir);
  }
};

struct Edge {
  std::vector<unsigned char> pixels = Figure();
  IMG img{pixels.data(), kWidth, kWidth, kHeight, 1, 1};
  F_LINE rough = MakeLineFromPolar(kLeft, kTop + 2, 0.02);
};

// Times one search on the edge, run in a temporary directory for its logs.
template <class Search>
void TimeSearch(benchmark::State& state, Search search) {
  InTempDir here;
  Edge e;
  for (auto _ : state) benchmark::DoNotOptimize(search(e));
}

void BM_AccuracyLine(benchmark::State& state) {
  TimeSearch(state, [](const Edge& e) {
    return AccuracyLine(e.img, e.rough, 550, kTop + 3, kMaxAngle, kSteps, 500);
  });
}
BENCHMARK(BM_AccuracyLine)->Unit(benchmark::kMicrosecond);

void BM_AccuracyLine1(benchmark::State& state) {
  TimeSearch(state, [](const Edge& e) {
    return AccuracyLine1(e.img, e.rough, kLeft, kTop + 3, kRight, kTop + 3, kMaxAngle, kSteps);
  });
}
BENCHMARK(BM_AccuracyLine1)->Unit(benchmark::kMicrosecond);

void BM_AccuracyLine2(benchmark::State& state) {
  TimeSearch(state, [](const Edge& e) {
    return AccuracyLine2(e.img, e.rough, kLeft, kTop + 3, kRight, kTop + 3, kMaxAngle, 0.0, kSteps);
  });
}
BENCHMARK(BM_AccuracyLine2)->Unit(benchmark::kMicrosecond);

void BM_AccuracyLineBlack(benchmark::State& state) {
  TimeSearch(state, [](const Edge& e) {
    return AccuracyLineBlack(e.img, e.rough, kLeft, kTop + 3, kRight, kTop + 3, kMaxAngle, 0.0, kSteps);
  });
}
BENCHMARK(BM_AccuracyLineBlack)->Unit(benchmark::kMicrosecond);

void BM_ContourEdgeFit(benchmark::State& state) {
  Edge e;
  auto store = std::make_unique<CONTOUR>();
  {
    // Find prints a line per region; keep it out of the benchmark's report.
    std::fflush(stdout);
    const int saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
    store->Find(e.img, RECT{0, 0, kWidth, kHeight}, 0, 0);
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
  }
  int figure = 0;
  for (int i = 1; i < store->ReturnAllContours(); ++i)
    if (store->AllPoints(i) > store->AllPoints(figure)) figure = i;
  C_POINT ends[2] = {{kLeft, kTop}, {kRight - 1, kTop}};
  C_POINTd fitted[2];
  F_LINE line;
  int tally = 0;
  double measure = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store->AccuracyLine(ends[0], fitted[0], line, figure, tally, measure, 0));
  }
}
BENCHMARK(BM_ContourEdgeFit)->Unit(benchmark::kMicrosecond);

}  // namespace
