#include "support/images.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace vxtest {

Image Image::Adopt(IMG img) {
  Image out;
  out.img_ = img;
  out.library_owned_ = img.valid != 0;
  return out;
}

Image Image::Gray(int width, int height, unsigned char fill) {
  Image out;
  const int stride = (width + 3) / 4 * 4;
  out.own_.assign(static_cast<size_t>(stride) * height, fill);
  out.img_ = IMG{out.own_.data(), width, stride, height, 1, 1};
  return out;
}

Image Image::Color(int width, int height, unsigned char b, unsigned char g, unsigned char r) {
  Image out;
  const int stride = (3 * width + 3) / 4 * 4;
  out.own_.assign(static_cast<size_t>(stride) * height, 0);
  out.img_ = IMG{out.own_.data(), width, stride, height, 1, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.at(x, y, 0) = b, out.at(x, y, 1) = g, out.at(x, y, 2) = r;
  return out;
}

Image Image::FromArt(const std::vector<std::string>& rows) {
  const int height = static_cast<int>(rows.size()), width = height ? static_cast<int>(rows[0].size()) : 0;
  Image out = Gray(width, height, 255);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width && x < static_cast<int>(rows[y].size()); ++x)
      out.at(x, y) = rows[y][x] == '#' ? 0 : 255;
  return out;
}

Image::Image(Image&& other) noexcept { *this = std::move(other); }

Image& Image::operator=(Image&& other) noexcept {
  if (this != &other) {
    if (library_owned_) DeleteImg(img_);
    img_ = other.img_;
    own_ = std::move(other.own_);
    library_owned_ = other.library_owned_;
    if (!own_.empty()) img_.bits = own_.data();
    other.img_ = IMG{nullptr, 0, 0, 0, 0, 0}, other.library_owned_ = false;
  }
  return *this;
}

Image::~Image() {
  if (library_owned_) DeleteImg(img_);
}

std::vector<std::string> Image::Art() const {
  std::vector<std::string> rows;
  for (int y = 0; y < img_.height; ++y) {
    std::string line;
    for (int x = 0; x < img_.width; ++x) line += at(x, y) == 0 ? '#' : '.';
    rows.push_back(line);
  }
  return rows;
}

std::vector<std::array<int, 4>> Corners(const std::vector<RECT>& rects) {
  std::vector<std::array<int, 4>> out;
  for (const RECT& r : rects) out.push_back({r.left, r.top, r.right, r.bottom});
  return out;
}

std::string TempPath(const std::string& name) {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vexolith-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

}  // namespace vxtest
