// Pixel buffers handed to hosts. Every block the library gives out comes from
// here and goes back through DeleteImg or DeleteByte, so allocation and
// release always match.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "image/numeric.h"
#include "vexolith/types.h"

namespace vx {

// Every block comes from here and goes back through FreeBytes (picture-sized
// blocks are placed for huge pages; see blocks.cpp).
unsigned char* AllocBytes(std::size_t n);

void FreeBytes(unsigned char* block);

// The same allocator without the exception: null when the block cannot be
// had, so an exported operation can report failure instead of throwing
// across the interface. Released with FreeBytes like any other block.
unsigned char* TryAllocBytes(std::size_t n);

// Gives the released picture-sized blocks that are kept for reuse back to
// the system, so that the next ones come as fresh pages (for benchmarks that
// measure a program opening one picture).
void ReleaseKeptBlocks();

// Bytes per pixel of an image. Any non-zero `gray` counts as gray: reading a
// 24-bit buffer one byte per pixel stays inside it, the other way round would not.
inline int BytesPerPixel(const IMG& img) { return img.gray ? 1 : 3; }

// The record a failed image operation returns.
inline IMG FailedImage() { return IMG{nullptr, 0, 0, 0, 0, 0}; }

// True when width x height pixels of the given size can be given a buffer by
// the stride rule with every member in a 32-bit int. Computed in 64 bits, so
// absurd sizes are refused rather than wrapped.
inline bool FitsNewImage(std::int64_t width, std::int64_t height, int bytes_per_pixel) {
  return width >= 1 && height >= 1 && width <= INT_MAX && height <= INT_MAX &&
         StrideFor(width, bytes_per_pixel) <= INT_MAX;
}

// A new image by the stride rule (row bytes rounded up to whole 4-byte
// units); the pixels are not initialised. Sizes that do not fit (width or
// height below 1, a stride above INT_MAX) and a block that cannot be
// allocated give a record with `valid` 0 and a null `bits`.
inline IMG NewImage(std::int64_t width, std::int64_t height, bool gray) {
  const int bytes_per_pixel = gray ? 1 : 3;
  if (!FitsNewImage(width, height, bytes_per_pixel)) return FailedImage();
  const std::int64_t stride = StrideFor(width, bytes_per_pixel);
  unsigned char* bits = TryAllocBytes(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  if (bits == nullptr) return FailedImage();
  return IMG{bits,
             static_cast<int>(width),
             static_cast<int>(stride),
             static_cast<int>(height),
             1,
             static_cast<unsigned char>(gray ? 1 : 0)};
}

// True when img describes pixels that can be addressed safely: a buffer, at
// least one row and column, and rows at least as long as their pixels. The
// checks an operation makes before it touches a host's buffer.
inline bool HasPixels(const IMG& img) {
  return img.bits != nullptr && img.width >= 1 && img.height >= 1 &&
         static_cast<std::int64_t>(img.stride) >= static_cast<std::int64_t>(img.width) * BytesPerPixel(img);
}

// Address of row y.
inline unsigned char* RowAt(const IMG& img, int y) {
  return img.bits + static_cast<std::ptrdiff_t>(y) * img.stride;
}

// Address of pixel (x, y): one byte per pixel in gray images, three otherwise.
inline unsigned char* PixelAt(const IMG& img, int x, int y) {
  return RowAt(img, y) + static_cast<std::ptrdiff_t>(x) * BytesPerPixel(img);
}

// The part of a rectangle with exclusive right and bottom that lies inside
// the image, so that an area reaching outside is cut to it instead of
// addressing outside the buffer; the result may be empty.
inline RECT ClipRegion(const IMG& img, const RECT& region) {
  return RECT{std::max(region.left, 0), std::max(region.top, 0), std::min(region.right, img.width),
              std::min(region.bottom, img.height)};
}

inline bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Scratch memory for the length of one call, released when it goes out of
// scope; null when it cannot be allocated.
template <class T>
std::unique_ptr<T[]> NewScratch(std::size_t n) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[n]);
}

}  // namespace vx
