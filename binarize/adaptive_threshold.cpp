// Local-mean threshold: each pixel of the region is compared with the mean
// gray value of the window x +- half, y +- half around it (cut to the image)
// minus 2.
//
// The window sums slide: one exact sum per column over the window's rows,
// moved down a row by adding the entering row and taking off the leaving
// one, and a running sum of those column sums moved along each row the same
// way. That is O(1) per pixel whatever the window, and because the sums are
// exact (see exact_sum.h) the threshold does not depend on the order in
// which the gray values are added.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "binarize/exact_sum.h"
#include "binarize/region.h"
#include "image/buffer.h"
#include "image/gray.h"
#include "vexolith/binarize.h"

namespace {

// Exact sums over the window rows for the columns [first, last) of a 24-bit image.
class ColumnSums {
 public:
  ColumnSums(const IMG& src, std::int64_t first, std::int64_t last)
      : src_(src),
        first_(static_cast<int>(first)),
        size_(static_cast<std::size_t>(last - first)),
        sums_(vx::NewScratch<vx::ExactSum>(size_)),
        values_(vx::NewScratch<double>(size_)) {
    if (sums_) std::fill(sums_.get(), sums_.get() + size_, vx::ExactSum{0});
  }

  bool ok() const { return sums_ && values_; }

  void Add(int y) {
    Load(y);
    for (std::size_t i = 0; i < size_; ++i) sums_[i] += vx::ExactGray(values_[i]);
  }

  void Remove(int y) {
    Load(y);
    for (std::size_t i = 0; i < size_; ++i) sums_[i] -= vx::ExactGray(values_[i]);
  }

  // Sum of column x (an image column within [first, last)).
  vx::ExactSum at(std::int64_t x) const { return sums_[static_cast<std::size_t>(x - first_)]; }

 private:
  void Load(int y) {
    vx::GrayRowValues(vx::PixelAt(src_, first_, y), values_.get(), static_cast<int>(size_));
  }

  const IMG& src_;
  int first_;
  std::size_t size_;
  std::unique_ptr<vx::ExactSum[]> sums_;
  std::unique_ptr<double[]> values_;
};

// Thresholds the region r of src into dst (same geometry); false when the
// working memory cannot be had.
bool LocalMeanThreshold(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted) {
  const std::int64_t width = src.width, height = src.height;
  // Rows [top, bottom) and columns [left, right) of the window around (x, y).
  auto lo = [half](std::int64_t v) { return std::max<std::int64_t>(0, v - half); };
  auto hi = [half](std::int64_t v, std::int64_t size) { return std::min(size, v + half + 1); };

  ColumnSums columns(src, lo(r.left), hi(r.right - 1, width));
  const int n = r.right - r.left;
  auto values = vx::NewScratch<double>(static_cast<std::size_t>(n));
  if (!columns.ok() || !values) return false;

  for (std::int64_t j = lo(r.top); j < hi(r.top, height); ++j) columns.Add(static_cast<int>(j));
  for (int y = r.top; y < r.bottom; ++y) {
    if (y > r.top) {
      if (y + half < height) columns.Add(static_cast<int>(y + half));
      if (y - half - 1 >= 0) columns.Remove(static_cast<int>(y - half - 1));
    }
    const std::int64_t rows = hi(y, height) - lo(y);

    vx::ExactSum sum = 0;
    for (std::int64_t i = lo(r.left); i < hi(r.left, width); ++i) sum += columns.at(i);

    vx::GrayRowValues(vx::PixelAt(src, r.left, y), values.get(), n);
    unsigned char* out = vx::PixelAt(dst, r.left, y);
    for (int x = r.left; x < r.right; ++x, out += 3) {
      if (x > r.left) {
        if (x + half < width) sum += columns.at(x + half);
        if (x - half - 1 >= 0) sum -= columns.at(x - half - 1);
      }
      const double count = static_cast<double>(rows * (hi(x, width) - lo(x)));
      const double t = vx::ExactSumToDouble(sum) / count - 2.0;
      const bool above = values[x - r.left] > t;
      vx::SetBinary<3>(out, above != inverted);
    }
  }
  return true;
}

}  // namespace

// The result starts as a byte copy of the source (padding included), so the
// pixels outside the region keep the source's values, as the in-place
// thresholds leave them. The region is cut to the image. A source that is
// gray or cannot be read safely, or a window below 1, gives `valid` 0.
IMG AdaptiveThresholdImage(IMG src, int window, RECT region, int mode) {
  const bool inverted = (mode & 1) != 0;
  if (!vx::HasPixels(src) || src.gray || window < 1) return vx::FailedImage();
  const std::size_t bytes = static_cast<std::size_t>(src.stride) * static_cast<std::size_t>(src.height);
  unsigned char* bits = vx::TryAllocBytes(bytes);
  if (bits == nullptr) return vx::FailedImage();
  std::memcpy(bits, src.bits, bytes);
  const IMG dst{bits, src.width, src.stride, src.height, 1, 0};

  const RECT r = vx::ClipRegion(src, region);
  if (vx::IsEmpty(r)) return dst;
  // A window wider than the image covers all of it; capping half keeps the
  // window arithmetic far from overflow.
  const std::int64_t half = std::min<std::int64_t>((window - 1) / 2, std::max(src.width, src.height));
  if (!LocalMeanThreshold(src, dst, r, half, inverted)) {
    vx::FreeBytes(bits);
    return vx::FailedImage();
  }
  return dst;
}
