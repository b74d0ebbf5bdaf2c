// Local-mean threshold with split 64-bit window sums.
//
// Every gray value g is a whole multiple of 2^-56 below 256 (exact_sum.h),
// so e = g * 2^56 is a whole number below 2^64. It is kept as two parts,
// e >> 32 and e & (2^32 - 1), each below 2^32, in two 64-bit sums. A window
// of at most 2^20 pixels keeps each part's sum below 2^52, so both convert
// to double exactly, and (high * 2^-24) + (low * 2^-56) rounds the exact
// window sum once: the same double as rounding a 128-bit sum.
//
// Work per row, with the gray values computed once per pixel into a ring of
// the window's rows:
//   - column sums of both parts move down a row (the leaving row taken off,
//     the entering row added);
//   - prefix sums of the column sums along the row, over a range padded with
//     zero columns beyond the image, so that the window sum of every pixel is
//     the difference of two prefix entries span = 2 * half + 1 apart, with no
//     edge cases;
//   - sums to doubles, divided by the pixel counts and compared, one vector
//     pass per row; decisions written three bytes per pixel.
// Partial sums wrap modulo 2^64; the differences are exact all the same.
#include <algorithm>
#include <cstdint>

#include "binarize/local_mean.h"
#include "binarize/row_kernels.h"
#include "image/buffer.h"
#include "image/gray.h"

namespace vx {
bool LocalMeanThresholdSplit(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted,
                             std::size_t ring_budget) {
  const std::int64_t width = src.width, height = src.height;
  // Rows [top, bottom) and columns [left, right) of the window around (x, y).
  auto lo = [half](std::int64_t v) { return std::max<std::int64_t>(0, v - half); };
  auto hi = [half](std::int64_t v, std::int64_t size) { return std::min(size, v + half + 1); };

  const int n = r.right - r.left;
  const std::int64_t c0 = lo(r.left), c1 = hi(r.right - 1, width);
  const std::size_t cols = static_cast<std::size_t>(c1 - c0);
  const std::int64_t span = 2 * half + 1;
  const std::int64_t base = r.left - half;  // image column of prefix entry 0
  const std::size_t prefix_len = static_cast<std::size_t>(n + span);
  // One row more than the window, so that the entering row never takes the
  // leaving row's slot before the leaving row is taken off.
  const std::size_t ring_rows = static_cast<std::size_t>(std::min(span + 1, height));
  const bool ring = ring_rows * cols * sizeof(double) <= ring_budget;

  auto gray = NewScratch<double>(ring ? ring_rows * cols : 2 * cols);
  auto centre = NewScratch<double>(ring ? 0 : static_cast<std::size_t>(n));
  auto col_high = NewScratch<std::uint64_t>(cols), col_low = NewScratch<std::uint64_t>(cols);
  auto pre_high = NewScratch<std::uint64_t>(prefix_len), pre_low = NewScratch<std::uint64_t>(prefix_len);
  auto widths = NewScratch<double>(static_cast<std::size_t>(n));
  auto decision = NewScratch<unsigned char>(static_cast<std::size_t>(n));
  if (!gray || (!ring && !centre) || !col_high || !col_low || !pre_high || !pre_low || !widths || !decision) {
    return false;
  }
  std::fill(col_high.get(), col_high.get() + cols, 0);
  std::fill(col_low.get(), col_low.get() + cols, 0);
  for (int k = 0; k < n; ++k) widths[k] = static_cast<double>(hi(r.left + k, width) - lo(r.left + k));

  // Gray values of image row j over columns [c0, c1): its ring slot, or
  // scratch row `spare` (0 or 1) without the ring; computed when `compute`
  // is set or there is no ring.
  const int m = static_cast<int>(cols);
  auto row_values = [&](std::int64_t j, bool compute, std::size_t spare) {
    double* at = gray.get() + (ring ? static_cast<std::size_t>(j) % ring_rows : spare) * cols;
    if (compute || !ring) GrayRowValues(PixelAt(src, static_cast<int>(c0), static_cast<int>(j)), at, m);
    return at;
  };
  auto add = [&](std::int64_t j) { AddExactParts(row_values(j, true, 0), col_high.get(), col_low.get(), m); };
  auto remove = [&](std::int64_t j) {
    SubtractExactParts(row_values(j, false, 0), col_high.get(), col_low.get(), m);
  };

  for (std::int64_t j = lo(r.top); j < hi(r.top, height); ++j) add(j);
  const std::size_t inside_from = static_cast<std::size_t>(c0 - base),
                    inside_to = static_cast<std::size_t>(c1 - base);
  for (int y = r.top; y < r.bottom; ++y) {
    if (y > r.top) {
      const bool leaves = y - half - 1 >= 0, enters = y + half < height;
      if (leaves && enters) {
        const double* leaving = row_values(y - half - 1, false, 1);
        ReplaceExactParts(row_values(y + half, true, 0), leaving, col_high.get(), col_low.get(), m);
      } else if (leaves) {
        remove(y - half - 1);
      } else if (enters) {
        add(y + half);
      }
    }
    // Prefix sums: zero before the image, the column sums, flat after it.
    std::uint64_t* ph = pre_high.get();
    std::uint64_t* pl = pre_low.get();
    std::fill(ph, ph + inside_from + 1, 0);
    std::fill(pl, pl + inside_from + 1, 0);
    PrefixSums(col_high.get(), col_low.get(), ph + inside_from + 1, pl + inside_from + 1, m);
    std::fill(ph + inside_to + 1, ph + prefix_len, ph[inside_to]);
    std::fill(pl + inside_to + 1, pl + prefix_len, pl[inside_to]);

    const double* values;
    if (ring) {
      values =
          gray.get() + static_cast<std::size_t>(y) % ring_rows * cols + static_cast<std::size_t>(r.left - c0);
    } else {
      GrayRowValues(PixelAt(src, r.left, y), centre.get(), n);
      values = centre.get();
    }
    const double rows = static_cast<double>(hi(y, height) - lo(y));
    AboveWindowMeanLess2(values, ph, pl, span, rows, widths.get(), inverted, decision.get(), n);
    SpreadToPixels3(decision.get(), PixelAt(dst, r.left, y), n);
  }
  return true;
}

}  // namespace vx
