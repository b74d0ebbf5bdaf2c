// Local-mean threshold with 128-bit window sums, for windows of more than
// 2^20 pixels, where the two-part 64-bit sums of local_mean.cpp could lose
// bits.
//
// The window sums slide: one exact sum per column over the window's rows,
// moved down a row by adding the entering row and taking off the leaving
// one, and a running sum of those column sums moved along each row the same
// way. That is O(1) per pixel whatever the window, and because the sums are
// exact (see exact_sum.h) the threshold does not depend on the order in
// which the gray values are added.
#include <algorithm>
#include <cstdint>

#include "binarize/exact_sum.h"
#include "binarize/local_mean.h"
#include "binarize/region.h"
#include "image/buffer.h"
#include "image/gray.h"

namespace vx {
namespace {

// Exact sums over the window rows for the columns [first, last) of a 24-bit image.
class ColumnSums {
 public:
  ColumnSums(const IMG& src, std::int64_t first, std::int64_t last)
      : src_(src),
        first_(static_cast<int>(first)),
        size_(static_cast<std::size_t>(last - first)),
        sums_(NewScratch<ExactSum>(size_)),
        values_(NewScratch<double>(size_)) {
    if (sums_) std::fill(sums_.get(), sums_.get() + size_, ExactSum{0});
  }

  bool ok() const { return sums_ && values_; }

  void Add(int y) {
    Load(y);
    for (std::size_t i = 0; i < size_; ++i) sums_[i] += ExactGray(values_[i]);
  }

  void Remove(int y) {
    Load(y);
    for (std::size_t i = 0; i < size_; ++i) sums_[i] -= ExactGray(values_[i]);
  }

  // Sum of column x (an image column within [first, last)).
  ExactSum at(std::int64_t x) const { return sums_[static_cast<std::size_t>(x - first_)]; }

 private:
  void Load(int y) { GrayRowValues(PixelAt(src_, first_, y), values_.get(), static_cast<int>(size_)); }

  const IMG& src_;
  int first_;
  std::size_t size_;
  std::unique_ptr<ExactSum[]> sums_;
  std::unique_ptr<double[]> values_;
};

}  // namespace

bool LocalMeanThresholdWide(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted) {
  const std::int64_t width = src.width, height = src.height;
  // Rows [top, bottom) and columns [left, right) of the window around (x, y).
  auto lo = [half](std::int64_t v) { return std::max<std::int64_t>(0, v - half); };
  auto hi = [half](std::int64_t v, std::int64_t size) { return std::min(size, v + half + 1); };

  ColumnSums columns(src, lo(r.left), hi(r.right - 1, width));
  const int n = r.right - r.left;
  auto values = NewScratch<double>(static_cast<std::size_t>(n));
  if (!columns.ok() || !values) return false;

  for (std::int64_t j = lo(r.top); j < hi(r.top, height); ++j) columns.Add(static_cast<int>(j));
  for (int y = r.top; y < r.bottom; ++y) {
    if (y > r.top) {
      if (y + half < height) columns.Add(static_cast<int>(y + half));
      if (y - half - 1 >= 0) columns.Remove(static_cast<int>(y - half - 1));
    }
    const std::int64_t rows = hi(y, height) - lo(y);

    ExactSum sum = 0;
    for (std::int64_t i = lo(r.left); i < hi(r.left, width); ++i) sum += columns.at(i);

    GrayRowValues(PixelAt(src, r.left, y), values.get(), n);
    unsigned char* out = PixelAt(dst, r.left, y);
    for (int x = r.left; x < r.right; ++x, out += 3) {
      if (x > r.left) {
        if (x + half < width) sum += columns.at(x + half);
        if (x - half - 1 >= 0) sum -= columns.at(x - half - 1);
      }
      const double count = static_cast<double>(rows * (hi(x, width) - lo(x)));
      const double t = ExactSumToDouble(sum) / count - 2.0;
      const bool above = values[x - r.left] > t;
      SetBinary<3>(out, above != inverted);
    }
  }
  return true;
}

}  // namespace vx
