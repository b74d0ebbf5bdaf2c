// Block segmentation: histograms of square blocks, regions grown between
// neighbouring blocks of similar histograms, and the fold of blocks left alone.
#include <climits>
#include <cstdint>
#include <new>

#include "image/buffer.h"
#include "segment/block_histograms.h"
#include "segment/neighbours.h"
#include "vexolith/segment.h"

namespace {

SEGMENTS NoSegmentation() { return SEGMENTS{0, -1, 0, nullptr, nullptr}; }

struct Options {
  bool fold_isolated;
  bool two_peaks;
};

// Grows one region from `seed` (already labelled): each block taken from
// the stack passes its label to every unlabelled neighbour close enough to
// it, so similarity is judged between adjacent blocks, not against the
// seed, and a gradual change of texture stays one segment. A block is
// labelled when pushed, so the stack never holds more than all blocks.
// Returns whether any block joined.
bool Grow(const vx::BlockGrid& grid, const vx::BlockHistograms& hist, int* labels, int* stack, int seed,
          double join_limit) {
  bool grown = false;
  int depth = 0;
  int current = seed;
  for (;;) {
    for (const int neighbour : grid.Neighbours(current)) {
      if (neighbour < 0 || labels[neighbour] != -1) continue;
      if (hist.Distance(current, neighbour) <= join_limit) {
        labels[neighbour] = labels[current];
        stack[depth++] = neighbour;
        grown = true;
      }
    }
    if (depth == 0) return grown;
    current = stack[--depth];
  }
}

// A block left alone joins the neighbour whose histogram is nearest (the
// first in neighbour order on equal distances) and carries that
// neighbour's histogram into later folds. hist_of maps a block to the block
// whose histogram it now has.
void Fold(const vx::BlockGrid& grid, const vx::BlockHistograms& hist, int* labels, int* hist_of, int block) {
  int nearest = -1;
  double best = 0.0;
  for (const int neighbour : grid.Neighbours(block)) {
    if (neighbour < 0) continue;
    const double d = hist.Distance(hist_of[block], hist_of[neighbour]);
    if (nearest < 0 || d < best) {
      nearest = neighbour;
      best = d;
    }
  }
  // A grid of one block has no neighbour: the block keeps its label.
  if (nearest < 0) return;
  labels[block] = labels[nearest];
  hist_of[block] = hist_of[nearest];
}

}  // namespace

SEGMENTS SegmentationH(IMG img, int blockSize, int binCount, double joinLimit, double peakShare, int flags) {
  if (img.gray != 1 || blockSize < 2 || blockSize > 1024 || binCount < 1 || binCount > 256)
    return NoSegmentation();
  if (img.valid == 0 || !vx::HasPixels(img)) return NoSegmentation();
  const Options options{(flags & SEGMENTS_FOLD_ISOLATED) != 0, (flags & SEGMENTS_TWO_PEAKS) != 0};

  const int rows = img.height / blockSize, cols = img.width / blockSize;
  const std::int64_t blocks = static_cast<std::int64_t>(rows) * cols;
  // Labels are ints: a grid with more blocks than INT_MAX could not be labelled.
  if (blocks > INT_MAX) return NoSegmentation();
  if (blocks == 0) return SEGMENTS{0, cols, rows, nullptr, nullptr};

  const auto count = static_cast<std::size_t>(blocks);
  int* labels = new (std::nothrow) int[count];
  unsigned char* marks = new (std::nothrow) unsigned char[count]();
  auto stack = vx::NewScratch<int>(count);
  auto isolated = options.fold_isolated ? vx::NewScratch<int>(count) : nullptr;
  vx::BlockHistograms hist;
  if (labels == nullptr || marks == nullptr || !stack || (options.fold_isolated && !isolated) ||
      !hist.Build(img, blockSize, binCount, rows, cols, peakShare, options.two_peaks ? marks : nullptr)) {
    delete[] labels;
    delete[] marks;
    return NoSegmentation();
  }

  const vx::BlockGrid grid(rows, cols);
  for (std::size_t b = 0; b < count; ++b) labels[b] = -1;
  int segments = 0;
  int alone = 0;
  for (int b = 0; b < static_cast<int>(count); ++b) {
    if (labels[b] != -1) continue;
    labels[b] = segments++;
    const bool grown = Grow(grid, hist, labels, stack.get(), b, joinLimit);
    if (options.fold_isolated && !grown) isolated[alone++] = b;
  }

  if (options.fold_isolated) {
    // The stack is free again and serves as the histogram map.
    int* hist_of = stack.get();
    for (int b = 0; b < static_cast<int>(count); ++b) hist_of[b] = b;
    for (int i = 0; i < alone; ++i) Fold(grid, hist, labels, hist_of, isolated[i]);
  }
  return SEGMENTS{segments, cols, rows, labels, marks};
}

void DeleteSegmentsh(SEGMENTS s) {
  delete[] s.labels;
  delete[] s.marks;
}
