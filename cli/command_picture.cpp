#include "cli/command_picture.h"

namespace vxcli {

std::string LoadedPicture::Load(const std::string& path) {
  Adopt(OpenGraphFile(path.c_str()));
  if (!valid()) return "not a picture that can be read (BMP, PNG, JPEG, TIFF or GIF)";
  UpDownImage(img_);  // files arrive bottom line first
  return "";
}

bool SaveTopDown(const IMG& picture, const std::string& path) {
  UpDownImage(picture);
  const bool written = SaveDF(path.c_str(), picture) == 0;
  UpDownImage(picture);
  return written;
}

}  // namespace vxcli
