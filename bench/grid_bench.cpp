// Cell recognition over realistic grids on binary images.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "vexolith.h"

namespace {

// A binary image whose grid cells are black or white at random, with a
// little pixel noise, and a grid laid over a slightly tilted quadrilateral.
struct Scene {
  std::vector<unsigned char> pixels;
  IMG image;
  FOUR_FIG_Pd corners;
};

Scene MakeScene(int width, int height, int cells) {
  Scene s;
  s.pixels.assign(static_cast<std::size_t>(width) * height, 255);
  s.image = IMG{s.pixels.data(), width, width, height, 1, 1};
  const double margin = 0.05 * width;
  s.corners = FOUR_FIG_Pd{{margin, margin + 10},
                          {width - margin, height - margin - 10},
                          {margin + 10, height - margin},
                          {width - margin - 10, margin}};
  std::mt19937 rng(7);
  std::vector<int> black(static_cast<std::size_t>(cells) * cells);
  for (int& b : black) b = static_cast<int>(rng() & 1);
  const double cw = (width - 2 * margin) / cells;
  const double ch = (height - 2 * margin) / cells;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int cx = static_cast<int>((x - margin) / cw);
      int cy = static_cast<int>((y - margin) / ch);
      bool inside = x >= margin && y >= margin && cx < cells && cy < cells;
      bool dark = inside && black[static_cast<std::size_t>(cy) * cells + cx];
      if (rng() % 50 == 0) dark = !dark;
      s.pixels[static_cast<std::size_t>(y) * width + x] = dark ? 0 : 255;
    }
  }
  return s;
}

void BM_RecogCells(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const int cells = static_cast<int>(state.range(2));
  Scene scene = MakeScene(width, height, cells);
  GRID grid(cells, cells);
  grid.CreateGrid(scene.corners);
  if (grid.RecogCells(scene.image) != 0) {
    state.SkipWithError("the grid does not fit the image");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(grid.RecogCells(scene.image));
    benchmark::DoNotOptimize(grid.cells[0]);
  }
  state.SetItemsProcessed(state.iterations() * cells * cells);
}

BENCHMARK(BM_RecogCells)->Args({1500, 1500, 16})->Args({4000, 3000, 40})->Unit(benchmark::kMillisecond);

}  // namespace
