// An owning image type and a non-owning view for C++ hosts. Both are header
// only and work through the plain IMG record, so they add no exported names.
//
//   vexolith::Image picture = vexolith::Image::Load("sheet.png");   // owns its pixels
//   vexolith::ImageView top_down = picture.view().flipped();       // no copy
//   for (int y = 0; y < top_down.height(); ++y) use(top_down.row(y));
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "vexolith/image.h"
#include "vexolith/types.h"

namespace vexolith {

// Pixels someone else owns: width x height pixels of 1 (gray) or 3 (B, G, R)
// bytes, row y at data + y * stride. A negative stride walks the rows upward,
// so a view of the same pixels in the other row order costs nothing.
class ImageView {
 public:
  ImageView() = default;
  ImageView(std::uint8_t* data, int width, int height, std::ptrdiff_t stride, bool gray)
      : data_(data), width_(width), height_(height), stride_(stride), gray_(gray) {}
  // A view of a record's pixels (empty when the record is not valid).
  ImageView(const IMG& img)  // NOLINT(google-explicit-constructor): a record is a view
      : ImageView(img.valid == 1 ? img.bits : nullptr, img.valid == 1 ? img.width : 0,
                  img.valid == 1 ? img.height : 0, img.valid == 1 ? img.stride : 0, img.gray == 1) {}

  std::uint8_t* data() const { return data_; }  // first byte of row 0
  int width() const { return width_; }           // pixels per row
  int height() const { return height_; }         // rows
  std::ptrdiff_t stride() const { return stride_; }  // bytes from row y to row y + 1; may be negative
  bool gray() const { return gray_; }            // one byte per pixel, else three (B, G, R)
  int channels() const { return gray_ ? 1 : 3; }
  bool empty() const { return data_ == nullptr || width_ <= 0 || height_ <= 0; }
  std::uint8_t* row(int y) const { return data_ + static_cast<std::ptrdiff_t>(y) * stride_; }

  // The rows in the other order: row 0 becomes the last.
  ImageView flipped() const {
    if (empty()) return *this;
    return ImageView(row(height_ - 1), width_, height_, -stride_, gray_);
  }
  // The w x h pixels from (x, y); clipped to the view, empty when nothing is left.
  ImageView sub(int x, int y, int w, int h) const {
    const long left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
    const long right = static_cast<long>(x) + w > width_ ? width_ : static_cast<long>(x) + w;
    const long bottom = static_cast<long>(y) + h > height_ ? height_ : static_cast<long>(y) + h;
    if (empty() || right <= left || bottom <= top) return ImageView();
    return ImageView(row(static_cast<int>(top)) + left * channels(), static_cast<int>(right - left),
                     static_cast<int>(bottom - top), stride_, gray_);
  }
  // The view as a record the library's operations take, when it can be one:
  // rows in increasing memory order with a stride that fits an int. Otherwise
  // (and for an empty view) a record with valid 0.
  IMG record() const {
    if (empty() || stride_ < static_cast<std::ptrdiff_t>(width_) * channels() ||
        stride_ > std::numeric_limits<int>::max())
      return IMG{nullptr, 0, 0, 0, 0, static_cast<unsigned char>(gray_)};
    return IMG{data_, width_, static_cast<int>(stride_), height_, 1, static_cast<unsigned char>(gray_)};
  }

 private:
  std::uint8_t* data_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::ptrdiff_t stride_ = 0;
  bool gray_ = true;
};

// An image that owns its pixels: either a buffer the library handed out
// (released with DeleteImg) or one it allocated itself. Move-only.
class Image {
 public:
  Image() = default;
  // Takes over a buffer the library returned (Img24To8, OpenGraphFile, ...).
  // A record with valid 0 gives an empty Image.
  explicit Image(IMG adopted) : img_(adopted.valid == 1 ? adopted : IMG{}), library_(adopted.valid == 1) {}
  // A new width x height image (strides in whole 4-byte units, as the
  // library's own), every byte `fill`. Empty when the sizes are not positive
  // or the memory cannot be had.
  Image(int width, int height, bool gray, std::uint8_t fill = 255) {
    if (width <= 0 || height <= 0) return;
    const long long row = (static_cast<long long>(width) * (gray ? 1 : 3) + 3) / 4 * 4;
    if (row > std::numeric_limits<int>::max()) return;
    void* block = std::malloc(static_cast<std::size_t>(row) * static_cast<std::size_t>(height));
    if (block == nullptr) return;
    std::memset(block, fill, static_cast<std::size_t>(row) * static_cast<std::size_t>(height));
    img_ = IMG{static_cast<unsigned char*>(block), width, static_cast<int>(row), height, 1,
               static_cast<unsigned char>(gray)};
  }
  Image(Image&& other) noexcept
      : img_(std::exchange(other.img_, IMG{})), library_(std::exchange(other.library_, false)) {}
  Image& operator=(Image&& other) noexcept {
    if (this != &other) {
      reset();
      img_ = std::exchange(other.img_, IMG{});
      library_ = std::exchange(other.library_, false);
    }
    return *this;
  }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  ~Image() { reset(); }

  // A picture file (BMP, PNG, JPEG, TIFF, GIF) as a 24-bit image whose row 0
  // is the picture's bottom line; empty when it cannot be read.
  static Image Load(const char* path) { return Image(OpenGraphFile(path)); }

  bool empty() const { return img_.valid != 1 || img_.bits == nullptr; }
  const IMG& record() const { return img_; }  // for the library's operations; still owned here
  ImageView view() const { return ImageView(img_); }
  int width() const { return img_.width; }
  int height() const { return img_.height; }
  bool gray() const { return img_.gray == 1; }
  std::uint8_t* row(int y) const { return img_.bits + static_cast<std::ptrdiff_t>(y) * img_.stride; }

  void reset() {
    if (!empty()) {
      if (library_)
        DeleteImg(img_);
      else
        std::free(img_.bits);
    }
    img_ = IMG{};
    library_ = false;
  }

 private:
  IMG img_{};
  bool library_ = false;  // true: released with DeleteImg; false: allocated here
};

}  // namespace vexolith
