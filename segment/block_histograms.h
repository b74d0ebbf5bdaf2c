// The brightness histograms of all blocks of a segmentation, kept sparse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vexolith/types.h"

namespace vx {

// One non-empty bin of a block histogram.
struct BinCount {
  std::uint32_t count;  // pixels in the bin, 1 .. blockSize^2
  std::uint8_t bin;     // bin index, 0 .. 255
};

// Each block's histogram as its non-empty bins in bin order. A block of
// blockSize^2 pixels has at most that many non-empty bins, so the store never
// holds more entries than the image has pixels, however many bins are asked
// for (dense storage would take blocks x binCount counts: gigabytes for
// 2 x 2 blocks of 256 bins on a 12-megapixel image).
class BlockHistograms {
 public:
  // Counts every block of the rows x cols grid; when marks is not null also
  // runs the two-peak test on each and writes its outcome. False when the
  // memory cannot be had.
  bool Build(const IMG& img, int blockSize, int binCount, int rows, int cols, double peakShare,
             unsigned char* marks);

  // The chi-square distance between the histograms of blocks a and b over
  // twice the block's pixel count, 0 .. 1. Terms are added in bin order, the
  // order of the dense comparison, and bins empty in both are skipped, so
  // the value is the same to the bit.
  double Distance(std::size_t a, std::size_t b) const;

 private:
  std::unique_ptr<std::size_t[]> offsets_;  // block i's entries are offsets_[i] .. offsets_[i + 1] - 1
  std::unique_ptr<BinCount[]> entries_;
  double scale_ = 1.0;  // 2 * blockSize^2
};

}  // namespace vx
