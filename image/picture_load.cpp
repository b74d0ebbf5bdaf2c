#include <exception>
#include <vector>

#include "image/bitmap_handle.h"
#include "image/picture_decode.h"
#include "image/picture_files.h"
#include "vexolith/image.h"

namespace vx {

std::uint32_t LoadPicture(const char* path, const PictureLimits& limits) {
  try {
    std::vector<unsigned char> file;
    if (!ReadWholeFile(path, limits.max_file_bytes, &file)) return 0;
    Picture picture;
    if (!DecodePicture(ByteView{file.data(), file.size()}, limits, &picture)) return 0;
    return RegisterPicture(std::move(picture));
  } catch (const std::exception&) {
    // Only allocation can throw here; the host sees a failed load.
    return 0;
  }
}

IMG OpenPictureFile(const char* path, const PictureLimits& limits) {
  constexpr IMG kFailed{nullptr, 0, 0, 0, 0, 0};
  if (path == nullptr || path[0] == '\0') return kFailed;
  const std::uint32_t handle = LoadPicture(path, limits);
  int width = 0;
  int height = 0;
  if (handle == 0 || !PictureSize(handle, &width, &height)) return kFailed;
  IMG img = kFailed;
  try {
    img = NewImage(width, height, false);
    FetchPictureRows(handle, img.bits, img.stride, img.height);
  } catch (const std::exception&) {
    img = kFailed;
  }
  ReleasePicture(handle);
  return img;
}

}  // namespace vx

std::uint32_t LoadPictureFile(const char* path) { return vx::LoadPicture(path, vx::kDefaultPictureLimits); }

IMG OpenGraphFile(const char* path) { return vx::OpenPictureFile(path, vx::kDefaultPictureLimits); }
