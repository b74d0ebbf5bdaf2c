#include "image/bitmap_handle.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "vexolith/image.h"

namespace vx {

namespace {

class PictureTable {
 public:
  std::uint32_t Add(Picture picture) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Skip 0 and, after a wrap, handles still held by the host.
    do {
      ++next_;
    } while (next_ == 0 || pictures_.count(next_) != 0);
    pictures_.emplace(next_, std::move(picture));
    return next_;
  }

  bool Size(std::uint32_t handle, int* width, int* height) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = pictures_.find(handle);
    if (it == pictures_.end()) return false;
    *width = it->second.width;
    *height = it->second.height;
    return true;
  }

  bool Fetch(std::uint32_t handle, unsigned char* dst, int stride, int rows) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = pictures_.find(handle);
    if (it == pictures_.end()) return false;
    const Picture& p = it->second;
    const std::size_t row_bytes = 3 * static_cast<std::size_t>(p.width);
    if (stride < 0 || static_cast<std::size_t>(stride) < row_bytes) return false;
    // Padding is copied too where both rows have room, so a buffer of the
    // picture's own stride receives no uninitialised bytes.
    const std::size_t copy =
        std::min<std::size_t>(static_cast<std::size_t>(stride), static_cast<std::size_t>(p.stride));
    const int count = std::min(rows, p.height);
    for (int y = 0; y < count; ++y) {
      std::memcpy(dst + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride), p.Row(y), copy);
    }
    return true;
  }

  bool Remove(std::uint32_t handle) {
    // The pixels are freed outside the lock, after the entry is gone.
    Picture gone;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = pictures_.find(handle);
      if (it == pictures_.end()) return false;
      gone = std::move(it->second);
      pictures_.erase(it);
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::uint32_t next_ = 0;
  std::unordered_map<std::uint32_t, Picture> pictures_;
};

PictureTable& Table() {
  static PictureTable table;
  return table;
}

}  // namespace

std::uint32_t RegisterPicture(Picture picture) { return Table().Add(std::move(picture)); }

bool PictureSize(std::uint32_t handle, int* width, int* height) {
  return Table().Size(handle, width, height);
}

bool FetchPictureRows(std::uint32_t handle, unsigned char* dst, int stride, int rows) {
  return Table().Fetch(handle, dst, stride, rows);
}

bool ReleasePicture(std::uint32_t handle) { return Table().Remove(handle); }

}  // namespace vx

int DeleteObject(std::uint32_t bitmap) { return vx::ReleasePicture(bitmap) ? 1 : 0; }
