// A picture file loaded for the detect, segment and histogram commands:
// owned, released with the library's own call, rows top-down so that
// rectangles come out with y downward.
#pragma once

#include <string>

#include "vexolith.h"

namespace vxcli {

class LoadedPicture {
 public:
  LoadedPicture() = default;
  LoadedPicture(const LoadedPicture&) = delete;
  LoadedPicture& operator=(const LoadedPicture&) = delete;
  ~LoadedPicture() { Release(); }

  // Loads a picture file (any format OpenGraphFile reads); empty when
  // loaded, otherwise the fault.
  std::string Load(const std::string& path);

  // Takes over a buffer the library handed out (released with DeleteImg).
  void Adopt(IMG img) {
    Release();
    img_ = img;
  }

  const IMG& img() const { return img_; }
  bool valid() const { return img_.valid != 0; }

 private:
  void Release() {
    if (img_.valid) DeleteImg(img_);
    img_ = IMG{};
  }
  IMG img_{};
};

// Writes a top-down picture as a bitmap file (bottom line first, as bitmap
// files keep it). The picture's rows are turned for the write and back.
bool SaveTopDown(const IMG& picture, const std::string& path);

}  // namespace vxcli
