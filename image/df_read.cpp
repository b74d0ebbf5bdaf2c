#include <exception>
#include <vector>

#include "image/bmp_decode.h"
#include "image/picture_files.h"
#include "vexolith/image.h"

namespace vx {

IMG OpenDfFile(const char* path, const PictureLimits& limits) {
  constexpr IMG kFailed{nullptr, 0, 0, 0, 0, 0};
  try {
    std::vector<unsigned char> file;
    if (!ReadWholeFile(path, limits.max_file_bytes, &file)) return kFailed;
    Picture picture;
    if (!DecodeDf(ByteView{file.data(), file.size()}, limits, &picture)) return kFailed;
    return picture.Release();
  } catch (const std::exception&) {
    // Only allocation can throw here; the host gets a failed record instead.
    return kFailed;
  }
}

}  // namespace vx

IMG OpenDF(const char* path) { return vx::OpenDfFile(path, vx::kDefaultPictureLimits); }
