#include "cli/command_picture.h"

namespace vxcli {

std::string LoadTopDown(const std::string& path, vexolith::Image& out) {
  out = vexolith::Image::Load(path.c_str());
  if (out.empty()) return "not a picture that can be read (BMP, PNG, JPEG, TIFF or GIF)";
  UpDownImage(out.record());  // files arrive bottom line first
  return "";
}

bool SaveTopDown(const IMG& picture, const std::string& path) {
  UpDownImage(picture);
  const bool written = SaveDF(path.c_str(), picture) == 0;
  UpDownImage(picture);
  return written;
}

}  // namespace vxcli
