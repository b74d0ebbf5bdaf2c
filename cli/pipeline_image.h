// Image helpers of the read pipeline: an owner for library buffers, working
// images held by the command itself, the reduction to a working size and the
// automatic threshold level.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "vexolith.h"

namespace vxcli {

// Owns an image buffer received from the library and releases it with
// DeleteImg. A record whose `valid` is 0 is never released.
class LibraryImage {
 public:
  LibraryImage() = default;
  explicit LibraryImage(IMG img) : img_(img) {}
  LibraryImage(LibraryImage&& other) noexcept : img_(std::exchange(other.img_, IMG{})) {}
  LibraryImage& operator=(LibraryImage&& other) noexcept {
    if (this != &other) {
      Reset();
      img_ = std::exchange(other.img_, IMG{});
    }
    return *this;
  }
  LibraryImage(const LibraryImage&) = delete;
  LibraryImage& operator=(const LibraryImage&) = delete;
  ~LibraryImage() { Reset(); }

  const IMG& img() const { return img_; }
  bool valid() const { return img_.valid == 1 && img_.bits != nullptr; }

 private:
  void Reset() {
    if (valid()) DeleteImg(img_);
    img_ = IMG{};
  }
  IMG img_{};
};

// A gray image whose pixels the command holds in a vector. The library reads
// and thresholds it in place but never releases it.
class GrayImage {
 public:
  GrayImage() = default;
  GrayImage(int width, int height)
      : width_(width),
        height_(height),
        stride_((width + 3) / 4 * 4),
        pixels_(static_cast<std::size_t>(stride_) * height, 255) {}

  IMG img() { return IMG{pixels_.data(), width_, stride_, height_, 1, 1}; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// A copy of a gray library image reduced by `factor` in both directions, each
// pixel the rounded mean of its factor x factor block. Averaging, unlike
// subsampling, keeps thin dark lines visible. The last width % factor columns
// and height % factor rows are dropped.
GrayImage ReduceByMean(const IMG& gray, int factor);

// The reduction factor that brings the picture's longer side to at most
// max_side pixels (1 when it already fits or max_side is below 1).
int ReductionFactor(int width, int height, int max_side);

// The level between dark and light that best separates the gray values
// (Otsu's criterion: the largest variance between the two classes). Pixels
// at or below the level are dark.
int OtsuLevel(const GrayImage& gray);

}  // namespace vxcli
