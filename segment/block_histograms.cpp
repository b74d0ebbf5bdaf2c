// Block histograms of a segmentation and the distance between two of them.
#include "segment/block_histograms.h"

#include <algorithm>
#include <cstring>

#include "histogram/bins.h"
#include "image/buffer.h"
#include "segment/two_peaks.h"

namespace vx {

bool BlockHistograms::Build(const IMG& img, int blockSize, int binCount, int rows, int cols, double peakShare,
                            unsigned char* marks) {
  const std::size_t blocks = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
  const std::size_t per_block =
      std::min(static_cast<std::size_t>(binCount), static_cast<std::size_t>(blockSize) * blockSize);
  offsets_ = NewScratch<std::size_t>(blocks + 1);
  entries_ = NewScratch<BinCount>(blocks * per_block);
  auto dense = NewScratch<int>(static_cast<std::size_t>(binCount));
  if (!offsets_ || !entries_ || !dense) return false;
  scale_ = 2.0 * blockSize * blockSize;

  const BinTable table(binCount);
  std::size_t next = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const std::size_t b = static_cast<std::size_t>(r) * cols + c;
      std::memset(dense.get(), 0, sizeof(int) * static_cast<std::size_t>(binCount));
      const int x0 = c * blockSize, y0 = r * blockSize;
      CountArea(img, x0, y0, x0 + blockSize - 1, y0 + blockSize - 1, table, dense.get());
      if (marks != nullptr) marks[b] = HasTwoPeaks(dense.get(), binCount, blockSize, peakShare) ? 1 : 0;
      offsets_[b] = next;
      for (int i = 0; i < binCount; ++i) {
        if (dense[i] != 0)
          entries_[next++] = BinCount{static_cast<std::uint32_t>(dense[i]), static_cast<std::uint8_t>(i)};
      }
    }
  }
  offsets_[blocks] = next;
  return true;
}

double BlockHistograms::Distance(std::size_t a, std::size_t b) const {
  const BinCount* pa = entries_.get() + offsets_[a];
  const BinCount* const ea = entries_.get() + offsets_[a + 1];
  const BinCount* pb = entries_.get() + offsets_[b];
  const BinCount* const eb = entries_.get() + offsets_[b + 1];
  double sum = 0.0;
  while (pa != ea || pb != eb) {
    int ca = 0, cb = 0;
    if (pb == eb || (pa != ea && pa->bin < pb->bin)) {
      ca = static_cast<int>((pa++)->count);
    } else if (pa == ea || pb->bin < pa->bin) {
      cb = static_cast<int>((pb++)->count);
    } else {
      ca = static_cast<int>((pa++)->count);
      cb = static_cast<int>((pb++)->count);
    }
    sum += ChiSquareTerm(ca, cb);
  }
  return sum / scale_;
}

}  // namespace vx
