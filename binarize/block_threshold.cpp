// Block-mean threshold: the region is cut into square blocks, each block's
// mean gray value m sets its threshold T = (level - gain) + floor(m * gain / 128),
// stored in a byte, and every pixel is compared with the T of its block.
// At m = 128 T equals level; gain 128 gives T = m. A T outside 0..255 wraps
// modulo 256 (level 10, gain 128, m 0 gives -118, stored as 138).
//
// The blocks are laid from the region's top-left corner: block (bx, by)
// covers columns left + bx*block .. left + (bx+1)*block - 1 and the same for
// rows. For a region at the image origin this is the grid anchored at the
// origin; for any other region the blocks still cover the region's own
// pixels instead of pixels outside it. The nbx x nby whole blocks are
// measured; pixels of a last, partial strip to the right or below use the
// last block of their row or column.
//
// The work goes band by band (one row of blocks at a time): the band's
// block sums, then its pixels, then the partial strip below the last band.
// Blocks do not overlap, so this gives the same result as measuring every
// block first, and each pixel is visited twice in all.
#include <algorithm>
#include <cstdint>

#include "binarize/region.h"
#include "image/buffer.h"
#include "image/gray.h"
#include "vexolith/binarize.h"

namespace {

// Threshold of a block whose gray values sum to `sum`; m is the truncated mean.
unsigned char BlockThreshold(double sum, int block, unsigned char level, unsigned char gain) {
  const double mean = sum / static_cast<double>(std::int64_t{block} * block);
  const int m = static_cast<int>(mean) & 0xFF;
  const int t = (level - gain) + m * gain / 128;
  return static_cast<unsigned char>(t);
}

class BlockThresholder {
 public:
  BlockThresholder(const IMG& img, const RECT& r, int block)
      : img_(img),
        r_(r),
        block_(block),
        gray_(img.gray != 0),
        nbx_((r.right - r.left) / block),
        nby_((r.bottom - r.top) / block),
        values_(vx::NewScratch<double>(static_cast<std::size_t>(r.right - r.left))),
        sums_(vx::NewScratch<double>(static_cast<std::size_t>(nbx_))),
        thresholds_(vx::NewScratch<unsigned char>(static_cast<std::size_t>(nbx_))) {}

  bool ok() const { return values_ && sums_ && thresholds_; }

  void Run(unsigned char level, unsigned char gain) {
    for (int by = 0; by < nby_; ++by) {
      const int band_top = r_.top + by * block_;
      // The last band also takes the partial strip below it.
      const int band_bottom = by == nby_ - 1 ? r_.bottom : band_top + block_;
      std::fill(sums_.get(), sums_.get() + nbx_, 0.0);
      for (int y = band_top; y < band_top + block_; ++y) AddToSums(y);
      for (int bx = 0; bx < nbx_; ++bx) thresholds_[bx] = BlockThreshold(sums_[bx], block_, level, gain);
      for (int y = band_top; y < band_bottom; ++y) ThresholdRow(y);
    }
  }

 private:
  // Gray values of row y over the region's columns into values_.
  void LoadRow(int y) {
    const int n = r_.right - r_.left;
    const unsigned char* px = vx::PixelAt(img_, r_.left, y);
    if (gray_) {
      for (int i = 0; i < n; ++i) values_[i] = px[i];
    } else {
      vx::GrayRowValues(px, values_.get(), n);
    }
  }

  // Adds row y to the sums of its band's blocks. Each block's sum grows row
  // by row and, within a row, column by column, in double.
  void AddToSums(int y) {
    LoadRow(y);
    const double* v = values_.get();
    for (int bx = 0; bx < nbx_; ++bx) {
      double sum = sums_[bx];
      for (int i = 0; i < block_; ++i) sum += *v++;
      sums_[bx] = sum;
    }
  }

  // Blocks [bx*block, (bx+1)*block) of the row; the last one runs to the region's right edge.
  void ThresholdRow(int y) {
    LoadRow(y);
    unsigned char* px = vx::PixelAt(img_, r_.left, y);
    const int n = r_.right - r_.left;
    for (int bx = 0; bx < nbx_; ++bx) {
      const int begin = bx * block_;
      const int end = bx == nbx_ - 1 ? n : begin + block_;
      const double t = thresholds_[bx];
      if (gray_) {
        for (int i = begin; i < end; ++i) vx::SetBinary<1>(px + i, values_[i] > t);
      } else {
        for (int i = begin; i < end; ++i) vx::SetBinary<3>(px + 3 * i, values_[i] > t);
      }
    }
  }

  const IMG& img_;
  RECT r_;
  int block_;
  bool gray_;
  int nbx_, nby_;
  std::unique_ptr<double[]> values_;
  std::unique_ptr<double[]> sums_;
  std::unique_ptr<unsigned char[]> thresholds_;
};

}  // namespace

// The region is cut to the image. When it holds no whole block (block below
// 1, or a side shorter than block) there is no threshold to apply and the
// image is left unchanged, as it is when working memory cannot be had.
void Adaptive2ThresholdImage(IMG img, unsigned char level, unsigned char gain, RECT region, int block) {
  if (!vx::HasPixels(img) || block < 1) return;
  const RECT r = vx::ClipRegion(img, region);
  if (vx::IsEmpty(r) || r.right - r.left < block || r.bottom - r.top < block) return;
  BlockThresholder thresholder(img, r, block);
  if (thresholder.ok()) thresholder.Run(level, gain);
}
