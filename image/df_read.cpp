// OpenDF: the header is read and checked first, then the pixel rows are read
// from the file straight into the picture's buffer (file rows and picture
// rows have the same length), so the file is never held in memory a second
// time.
#include <exception>

#include "image/bmp_decode.h"
#include "image/picture_files.h"
#include "vexolith/image.h"

namespace vx {

IMG OpenDfFile(const char* path, const PictureLimits& limits) {
  constexpr IMG kFailed{nullptr, 0, 0, 0, 0, 0};
  try {
    std::uint64_t size = 0;
    FileDescriptor file(OpenRegularFile(path, limits.max_file_bytes, &size));
    if (file.get() < 0) return kFailed;
    unsigned char head[kDfHeadBytes];
    const std::size_t head_bytes = size < kDfHeadBytes ? static_cast<std::size_t>(size) : kDfHeadBytes;
    if (!ReadAt(file.get(), 0, head, head_bytes)) return kFailed;
    DfPlan plan;
    if (!PlanDf(ByteView{head, head_bytes}, size, limits, &plan)) return kFailed;
    Picture picture;
    if (!AllocatePicture(plan.width, plan.rows, limits, PixelStart::kUnwritten, &picture)) return kFailed;
    const std::size_t bytes = static_cast<std::size_t>(picture.stride) * static_cast<std::size_t>(picture.height);
    // A file that shrank after the size was taken ends early: refused.
    if (!ReadAt(file.get(), plan.data_offset, picture.bits.get(), bytes)) return kFailed;
    if (plan.top_down) FlipRows(&picture);
    return picture.Release();
  } catch (const std::exception&) {
    // Only allocation can throw here; the host gets a failed record instead.
    return kFailed;
  }
}

}  // namespace vx

IMG OpenDF(const char* path) { return vx::OpenDfFile(path, vx::kDefaultPictureLimits); }
