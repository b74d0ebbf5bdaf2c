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
// block first; each pixel is read twice and its gray value computed once.
#include <algorithm>
#include <cstdint>

#include "binarize/row_kernels.h"
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

// The band's gray values are kept when they fit in this many bytes, so each
// 24-bit pixel's gray value is computed once; larger bands compute it again
// for the thresholding pass.
constexpr std::size_t kBandBudget = std::size_t{64} << 20;

class BlockThresholder {
 public:
  BlockThresholder(const IMG& img, const RECT& r, int block)
      : img_(img),
        r_(r),
        n_(r.right - r.left),
        block_(block),
        gray_(img.gray != 0),
        nbx_((r.right - r.left) / block),
        nby_((r.bottom - r.top) / block),
        keep_band_(!gray_ &&
                   static_cast<std::size_t>(block) * static_cast<std::size_t>(n_) * sizeof(double) <=
                       kBandBudget),
        values_(vx::NewScratch<double>(static_cast<std::size_t>(n_) * (keep_band_ ? block : 1))),
        decision_(vx::NewScratch<unsigned char>(static_cast<std::size_t>(n_))),
        sums_(vx::NewScratch<double>(static_cast<std::size_t>(nbx_))),
        counts_(vx::NewScratch<std::uint64_t>(static_cast<std::size_t>(nbx_))),
        thresholds_(vx::NewScratch<unsigned char>(static_cast<std::size_t>(nbx_))) {}

  bool ok() const { return values_ && decision_ && sums_ && counts_ && thresholds_; }

  void Run(unsigned char level, unsigned char gain) {
    for (int by = 0; by < nby_; ++by) {
      const int band_top = r_.top + by * block_;
      // The last band also takes the partial strip below it.
      const int band_bottom = by == nby_ - 1 ? r_.bottom : band_top + block_;
      if (gray_) {
        GraySums(band_top);
      } else {
        std::fill(sums_.get(), sums_.get() + nbx_, 0.0);
        for (int y = band_top; y < band_top + block_; ++y) AddToSums(y, RowValues(y - band_top));
      }
      for (int bx = 0; bx < nbx_; ++bx) thresholds_[bx] = BlockThreshold(sums_[bx], block_, level, gain);
      for (int y = band_top; y < band_bottom; ++y) ThresholdRow(y, y - band_top);
    }
  }

 private:
  // Slot of band row k in values_.
  double* RowValues(int k) { return values_.get() + (keep_band_ ? static_cast<std::size_t>(k) * n_ : 0); }

  // Adds the gray values of 24-bit row y (stored at v) to the sums of its
  // band's blocks. Each block's sum grows row by row and, within a row,
  // column by column, in double; the blocks of a row are interleaved (one
  // column of every block in turn), which keeps each block's order and
  // lets the independent sums run side by side.
  void AddToSums(int y, double* v) {
    vx::GrayRowValues(vx::PixelAt(img_, r_.left, y), v, n_);
    double* sums = sums_.get();
    for (int i = 0; i < block_; ++i) {
      const double* column = v + i;
      for (int bx = 0; bx < nbx_; ++bx) sums[bx] += column[static_cast<std::ptrdiff_t>(bx) * block_];
    }
  }

  // Gray bytes are whole numbers and a block's sum stays far below 2^53, so
  // any order of adding gives the double sum exactly: the sums are made in
  // integers and converted once.
  void GraySums(int band_top) {
    std::uint64_t* counts = counts_.get();
    std::fill(counts, counts + nbx_, 0);
    for (int y = band_top; y < band_top + block_; ++y) {
      const unsigned char* px = vx::PixelAt(img_, r_.left, y);
      for (int bx = 0; bx < nbx_; ++bx) {
        std::uint64_t s = 0;
        for (int i = 0; i < block_; ++i) s += px[i];
        counts[bx] += s;
        px += block_;
      }
    }
    for (int bx = 0; bx < nbx_; ++bx) sums_[bx] = static_cast<double>(counts[bx]);
  }

  // Blocks [bx*block, (bx+1)*block) of the row; the last one runs to the
  // region's right edge. k is the row's place in its band.
  void ThresholdRow(int y, int k) {
    unsigned char* px = vx::PixelAt(img_, r_.left, y);
    if (gray_) {
      for (int bx = 0; bx < nbx_; ++bx) {
        const int begin = bx * block_;
        const int end = bx == nbx_ - 1 ? n_ : begin + block_;
        const unsigned char t = thresholds_[bx];
        for (int i = begin; i < end; ++i) px[i] = px[i] > t ? 255 : 0;
      }
      return;
    }
    // Rows of the partial strip and of bands that are not kept get their
    // gray values now.
    const bool kept = keep_band_ && k < block_;
    double* v = RowValues(kept ? k : 0);
    if (!kept) vx::GrayRowValues(px, v, n_);
    for (int bx = 0; bx < nbx_; ++bx) {
      const int begin = bx * block_;
      const int end = bx == nbx_ - 1 ? n_ : begin + block_;
      vx::AboveThreshold(v + begin, thresholds_[bx], decision_.get() + begin, end - begin);
    }
    vx::SpreadToPixels3(decision_.get(), px, n_);
  }

  const IMG& img_;
  RECT r_;
  int n_;
  int block_;
  bool gray_;
  int nbx_, nby_;
  bool keep_band_;
  std::unique_ptr<double[]> values_;
  std::unique_ptr<unsigned char[]> decision_;
  std::unique_ptr<double[]> sums_;
  std::unique_ptr<std::uint64_t[]> counts_;
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
