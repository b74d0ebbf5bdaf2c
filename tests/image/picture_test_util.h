// Loading test pictures through the exported readers.
#pragma once

#include <string>

#include "support/images.h"
#include "support/picture_writers.h"

namespace vxtest {

// Saves bytes to a temporary file and opens it with OpenGraphFile.
inline Image LoadPicture(const Bytes& bytes, const std::string& name = "picture.bin") {
  std::string path = TempPath(name);
  WriteFile(path, bytes);
  return Image::Adopt(OpenGraphFile(path.c_str()));
}

}  // namespace vxtest
