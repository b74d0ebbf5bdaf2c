// Small helpers for building test images.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "vexolith.h"

namespace vxtest {

// Owns an IMG whose buffer came from the library (released with DeleteImg)
// or from the test itself (a std::vector held here).
class Image {
 public:
  Image() = default;
  // Takes over a buffer allocated by the library.
  static Image Adopt(IMG img);
  // A test-owned image with the library's stride rule, every byte = fill.
  static Image Gray(int width, int height, unsigned char fill = 255);
  static Image Color(int width, int height, unsigned char b = 255, unsigned char g = 255,
                     unsigned char r = 255);
  // '#' is black (0), anything else white (255); rows top to bottom are y = 0, 1, ...
  static Image FromArt(const std::vector<std::string>& rows);

  Image(Image&& other) noexcept;
  Image& operator=(Image&& other) noexcept;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  ~Image();

  IMG img() const { return img_; }
  unsigned char* row(int y) const { return img_.bits + static_cast<std::ptrdiff_t>(y) * img_.stride; }
  unsigned char& at(int x, int y, int channel = 0) const { return row(y)[img_.gray ? x : 3 * x + channel]; }
  // Rows top to bottom as art, '#' for 0 and '.' otherwise (gray images).
  std::vector<std::string> Art() const;

 private:
  IMG img_{nullptr, 0, 0, 0, 0, 0};
  std::vector<unsigned char> own_;
  bool library_owned_ = false;
};

// Rectangles as left, top, right, bottom, comparable as a whole.
std::vector<std::array<int, 4>> Corners(const std::vector<RECT>& rects);

// A path in the test's temporary folder, removed by the caller if wanted.
std::string TempPath(const std::string& name);

}  // namespace vxtest
