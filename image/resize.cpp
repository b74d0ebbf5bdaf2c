// Enlarging, reducing, adding a margin and turning an image upside down.
//
// New sizes are computed in 64 bits. A source that cannot be read safely
// (null bits, width or height below 1, a stride shorter than its pixels), a
// factor below 1, or a result with no pixels or a stride above INT_MAX gives
// `valid` 0; nothing is allocated or released then. Padding bytes of new
// buffers are set to 0 (white in Transform1, like its margin), so every byte
// of a result is defined.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/buffer.h"
#include "image/huge_pages.h"
#include "vexolith/image.h"

namespace {

// Transform1 widens each row by kMargin pixels at both ends and adds
// 2 * kMargin rows after the last one.
constexpr int kMargin = 10;
// Value of every margin byte: white, so the margin adds no black region
// for the tracer to collect.
constexpr unsigned char kMarginValue = 255;

void ClearPadding(unsigned char* row, std::int64_t used, int stride) {
  if (stride > used) std::memset(row + used, 0, static_cast<std::size_t>(stride - used));
}

// Writes each of the n pixels of `in` factor times in a row to `out`.
//
// Plain stores: with a fixed factor the compiler turns the loop into vector
// shuffles; the general loop walks the output with a counter. A copy per
// output pixel would become one memset or memcpy call per source pixel,
// several times slower for the small factors used.
template <int kBytesPerPixel, int kFactor>
void ReplicateFixed(const unsigned char* in, int n, unsigned char* out) {
  for (int x = 0; x < n; ++x) {
    for (int k = 0; k < kFactor; ++k) {
      for (int c = 0; c < kBytesPerPixel; ++c)
        out[(x * kFactor + k) * kBytesPerPixel + c] = in[x * kBytesPerPixel + c];
    }
  }
}

template <int kBytesPerPixel>
void ReplicateAny(const unsigned char* in, int n, int factor, unsigned char* out) {
  const unsigned char* const end = in + static_cast<std::ptrdiff_t>(n) * kBytesPerPixel;
  for (int k = 0; in < end; out += kBytesPerPixel) {
    for (int c = 0; c < kBytesPerPixel; ++c) out[c] = in[c];
    if (++k == factor) {
      k = 0;
      in += kBytesPerPixel;
    }
  }
}

template <int kBytesPerPixel>
void ReplicateRow(const unsigned char* in, int n, int factor, unsigned char* out) {
  switch (factor) {
    case 1:
      std::memcpy(out, in, static_cast<std::size_t>(n) * kBytesPerPixel);
      break;
    case 2:
      ReplicateFixed<kBytesPerPixel, 2>(in, n, out);
      break;
    case 3:
      ReplicateFixed<kBytesPerPixel, 3>(in, n, out);
      break;
    case 4:
      ReplicateFixed<kBytesPerPixel, 4>(in, n, out);
      break;
    default:
      ReplicateAny<kBytesPerPixel>(in, n, factor, out);
  }
}

// Writes every factor-th of the n pixels of `in` to `out`.
template <int kBytesPerPixel>
void SubsampleRow(const unsigned char* in, int n, int factor, unsigned char* out) {
  const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(factor) * kBytesPerPixel;
  for (int x = 0; x < n; ++x, in += step, out += kBytesPerPixel) std::memcpy(out, in, kBytesPerPixel);
}

}  // namespace

IMG IncreaseImg(IMG src, int factor) {
  if (!vx::HasPixels(src) || factor < 1) return vx::FailedImage();
  const bool gray = src.gray != 0;
  const int bpp = gray ? 1 : 3;
  IMG dst = vx::NewImage(std::int64_t{src.width} * factor, std::int64_t{src.height} * factor, gray);
  if (!dst.valid) return dst;
  vx::AdviseHugePages(dst.bits, static_cast<std::size_t>(dst.stride) * static_cast<std::size_t>(dst.height));
  const std::int64_t row_bytes = std::int64_t{dst.width} * bpp;
  for (int sy = 0; sy < src.height; ++sy) {
    // Build the first of the factor rows that come from source row sy, then
    // copy it (padding included) to the others.
    const unsigned char* in = vx::RowAt(src, sy);
    unsigned char* first = vx::RowAt(dst, sy * factor);
    if (gray) {
      ReplicateRow<1>(in, src.width, factor, first);
    } else {
      ReplicateRow<3>(in, src.width, factor, first);
    }
    ClearPadding(first, row_bytes, dst.stride);
    for (int k = 1; k < factor; ++k) std::memcpy(vx::RowAt(dst, sy * factor + k), first, dst.stride);
  }
  return dst;
}

IMG ReduceImage(IMG src, int factor) {
  if (!vx::HasPixels(src) || factor < 1) return vx::FailedImage();
  const bool gray = src.gray != 0;
  const int bpp = gray ? 1 : 3;
  const int width = src.width / factor;
  const int height = src.height / factor;
  // Dropping the last width % factor columns and height % factor rows may
  // leave no pixel (a 1 x 1 image reduced by 2). That is still a result: a
  // valid image of 0 columns or 0 rows, its stride by the usual rule and an
  // empty block from the library's allocator, which DeleteImg releases like
  // any other and which every operation that needs pixels refuses.
  if (width == 0 || height == 0) {
    return IMG{vx::AllocBytes(0),
               width,
               static_cast<int>(vx::StrideFor(width, bpp)),
               height,
               1,
               static_cast<unsigned char>(gray ? 1 : 0)};
  }
  IMG dst = vx::NewImage(width, height, gray);
  if (!dst.valid) return dst;
  for (int y = 0; y < dst.height; ++y) {
    const unsigned char* in = vx::RowAt(src, y * factor);
    unsigned char* out = vx::RowAt(dst, y);
    if (gray) {
      SubsampleRow<1>(in, dst.width, factor, out);
    } else {
      SubsampleRow<3>(in, dst.width, factor, out);
    }
    ClearPadding(out, std::int64_t{dst.width} * bpp, dst.stride);
  }
  return dst;
}

// The 20 added rows, the 10-pixel margins and the padding are all white
// (kMarginValue). Each source row is copied 30 bytes in, pixels only: its
// padding would otherwise land in the right margin as stray pixel bytes.
// The source buffer is released only when the result has been built; a
// refused source stays with the caller.
IMG Transform1(IMG src) {
  if (!vx::HasPixels(src) || src.gray) return vx::FailedImage();
  IMG dst =
      vx::NewImage(std::int64_t{src.width} + 2 * kMargin, std::int64_t{src.height} + 2 * kMargin, false);
  if (!dst.valid) return dst;
  std::memset(dst.bits, kMarginValue,
              static_cast<std::size_t>(dst.stride) * static_cast<std::size_t>(dst.height));
  const std::size_t row_bytes = static_cast<std::size_t>(src.width) * 3;
  for (int y = 0; y < src.height; ++y) {
    std::memcpy(vx::RowAt(dst, y) + 3 * kMargin, vx::RowAt(src, y), row_bytes);
  }
  vx::FreeBytes(src.bits);
  return dst;
}

// Rows are swapped pairwise in place, padding included, so no scratch
// buffer is needed. Returns 0 whatever it is given; an image it cannot
// address (null bits, stride or height below 1) is left alone.
int UpDownImage(IMG img) {
  if (img.bits == nullptr || img.stride < 1 || img.height < 2) return 0;
  for (int top = 0, bottom = img.height - 1; top < bottom; ++top, --bottom) {
    unsigned char* a = vx::RowAt(img, top);
    std::swap_ranges(a, a + img.stride, vx::RowAt(img, bottom));
  }
  return 0;
}
