// Local-mean threshold: each pixel of the region is compared with the mean
// gray value of the window x +- half, y +- half around it (cut to the image)
// minus 2.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "binarize/local_mean.h"
#include "image/buffer.h"
#include "image/huge_pages.h"
#include "vexolith/binarize.h"

namespace {

// Copies every byte of src outside the region r (rows above and below, and
// the bytes left and right of it, padding included) to dst.
void CopyOutside(const IMG& src, const IMG& dst, const RECT& r) {
  const std::size_t stride = static_cast<std::size_t>(src.stride);
  const std::size_t before = static_cast<std::size_t>(r.left) * 3,
                    after = static_cast<std::size_t>(r.right) * 3;
  std::memcpy(dst.bits, src.bits, stride * static_cast<std::size_t>(r.top));
  for (int y = r.top; y < r.bottom; ++y) {
    std::memcpy(vx::RowAt(dst, y), vx::RowAt(src, y), before);
    std::memcpy(vx::RowAt(dst, y) + after, vx::RowAt(src, y) + after, stride - after);
  }
  const std::size_t below = stride * static_cast<std::size_t>(r.bottom);
  std::memcpy(dst.bits + below, src.bits + below, stride * static_cast<std::size_t>(src.height) - below);
}

}  // namespace

// The result's bytes outside the region are a copy of the source's (padding
// included), so the pixels outside the region keep the source's values, as
// the in-place thresholds leave them; the region's bytes are written by the
// threshold alone. The region is cut to the image. A source that is
// gray or cannot be read safely, or a window below 1, gives `valid` 0.
IMG AdaptiveThresholdImage(IMG src, int window, RECT region, int mode) {
  const bool inverted = (mode & 1) != 0;
  if (!vx::HasPixels(src) || src.gray || window < 1) return vx::FailedImage();
  const std::size_t bytes = static_cast<std::size_t>(src.stride) * static_cast<std::size_t>(src.height);
  unsigned char* bits = vx::TryAllocBytes(bytes);
  if (bits == nullptr) return vx::FailedImage();
  vx::AdviseHugePages(bits, bytes);
  const IMG dst{bits, src.width, src.stride, src.height, 1, 0};

  const RECT r = vx::ClipRegion(src, region);
  if (vx::IsEmpty(r)) {
    std::memcpy(bits, src.bits, bytes);
    return dst;
  }
  CopyOutside(src, dst, r);
  // A window wider than the image covers all of it; capping half keeps the
  // window arithmetic far from overflow.
  const std::int64_t half = std::min<std::int64_t>((window - 1) / 2, std::max(src.width, src.height));
  const std::int64_t side = 2 * half + 1;
  const std::int64_t largest =
      std::min<std::int64_t>(side, src.width) * std::min<std::int64_t>(side, src.height);
  const bool done = largest <= vx::kSplitSumMaxPixels
                        ? vx::LocalMeanThresholdSplit(src, dst, r, half, inverted)
                        : vx::LocalMeanThresholdWide(src, dst, r, half, inverted);
  if (!done) {
    vx::FreeBytes(bits);
    return vx::FailedImage();
  }
  return dst;
}
