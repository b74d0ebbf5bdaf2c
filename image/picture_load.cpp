// LoadPictureFile keeps the decoded picture under a handle for the host;
// OpenGraphFile decodes into the buffer it returns and hands that buffer
// over, so a picture is never copied: its peak memory is the picture plus
// the file's bytes, or the picture alone for a plain 24-bit bitmap.
#include <exception>

#include "image/bitmap_handle.h"
#include "image/picture_decode.h"
#include "image/picture_files.h"
#include "vexolith/image.h"

namespace vx {

namespace {

// A plain 24-bit bitmap is read like OpenDF reads it, rows straight from
// the file into the picture; every other file is read whole and decoded
// from memory.
bool DecodeFile(const char* path, const PictureLimits& limits, Picture* picture) {
  std::uint64_t size = 0;
  std::size_t head_bytes = 0;
  unsigned char head[kDfHeadBytes];
  FileDescriptor fd(OpenWithHead(path, limits.max_file_bytes, head, kDfHeadBytes, &size, &head_bytes));
  if (fd.get() < 0) return false;
  DfPlan plan;
  if (PlanPlainBmp(ByteView{head, head_bytes}, size, limits, &plan))
    return ReadPlannedRows(fd.get(), plan, limits, picture);
  FileBytes file;
  file.data.reset(AllocBytes(static_cast<std::size_t>(size)));
  file.size = static_cast<std::size_t>(size);
  if (!ReadAt(fd.get(), 0, file.data.get(), file.size)) return false;
  return DecodePicture(file.view(), limits, picture);
}

}  // namespace

std::uint32_t LoadPicture(const char* path, const PictureLimits& limits) {
  try {
    Picture picture;
    if (!DecodeFile(path, limits, &picture)) return 0;
    return RegisterPicture(std::move(picture));
  } catch (const std::exception&) {
    // Only allocation can throw here; the host sees a failed load.
    return 0;
  }
}

IMG OpenPictureFile(const char* path, const PictureLimits& limits) {
  constexpr IMG kFailed{nullptr, 0, 0, 0, 0, 0};
  if (path == nullptr || path[0] == '\0') return kFailed;
  try {
    Picture picture;
    if (!DecodeFile(path, limits, &picture)) return kFailed;
    return picture.Release();
  } catch (const std::exception&) {
    return kFailed;
  }
}

}  // namespace vx

std::uint32_t LoadPictureFile(const char* path) { return vx::LoadPicture(path, vx::kDefaultPictureLimits); }

IMG OpenGraphFile(const char* path) { return vx::OpenPictureFile(path, vx::kDefaultPictureLimits); }
