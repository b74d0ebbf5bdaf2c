// OpenDF: the header is read and checked first, then the pixel rows are read
// from the file straight into the picture's buffer (file rows and picture
// rows have the same length), so the file is never held in memory a second
// time.
#include <exception>

#include "image/bmp_decode.h"
#include "image/picture_files.h"
#include "vexolith/image.h"

namespace vx {

bool ReadPlannedRows(int fd, const DfPlan& plan, const PictureLimits& limits, Picture* out) {
  if (!AllocatePicture(plan.width, plan.rows, limits, PixelStart::kUnwritten, out)) return false;
  const std::size_t bytes = static_cast<std::size_t>(out->stride) * static_cast<std::size_t>(out->height);
  if (!ReadAt(fd, plan.data_offset, out->bits.get(), bytes)) return false;
  if (plan.top_down) FlipRows(out);
  return true;
}

IMG OpenDfFile(const char* path, const PictureLimits& limits) {
  constexpr IMG kFailed{nullptr, 0, 0, 0, 0, 0};
  try {
    std::uint64_t size = 0;
    std::size_t head_bytes = 0;
    unsigned char head[kDfHeadBytes];
    FileDescriptor file(OpenWithHead(path, limits.max_file_bytes, head, kDfHeadBytes, &size, &head_bytes));
    if (file.get() < 0) return kFailed;
    DfPlan plan;
    if (!PlanDf(ByteView{head, head_bytes}, size, limits, &plan)) return kFailed;
    Picture picture;
    // A file that shrank after the size was taken ends early: refused.
    if (!ReadPlannedRows(file.get(), plan, limits, &picture)) return kFailed;
    return picture.Release();
  } catch (const std::exception&) {
    // Only allocation can throw here; the host gets a failed record instead.
    return kFailed;
  }
}

}  // namespace vx

IMG OpenDF(const char* path) { return vx::OpenDfFile(path, vx::kDefaultPictureLimits); }
