// SaveDF: the two headers, then stride x height pixel bytes exactly as they
// are in memory (padding included), written in large pieces: a 24-bit image
// straight from its own buffer in one write, a gray one expanded to three
// bytes per pixel through a buffer of a few megabytes.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <vector>

#include "image/bmp_header.h"
#include "image/buffer.h"
#include "image/picture_bytes.h"
#include "vexolith/image.h"

namespace {

// Size of the buffer gray rows are expanded into (at least one row).
constexpr std::size_t kGrayChunkBytes = std::size_t{4} << 20;

// Writes all n bytes, resuming after partial writes and interruptions.
bool WriteAll(int fd, const unsigned char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t done = write(fd, data, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

// The record describes pixels that can be read: positive sizes, a buffer,
// and rows at least as long as their pixels. Files are limited to what the
// 32-bit size fields can state.
bool Writable(const IMG& img, bool gray, std::uint64_t row_bytes) {
  if (img.bits == nullptr || img.width < 1 || img.height < 1) return false;
  const std::int64_t pixel_bytes = static_cast<std::int64_t>(img.width) * (gray ? 1 : 3);
  if (img.stride < pixel_bytes) return false;
  return vx::kDfHeaderBytes + row_bytes * static_cast<std::uint64_t>(img.height) <= UINT32_MAX;
}

// Gray pixels as three equal bytes, rows of the 24-bit stride with zero padding.
bool WriteGrayExpanded(int fd, const IMG& img, std::size_t row_bytes) {
  const std::size_t rows_per_chunk =
      std::clamp<std::size_t>(kGrayChunkBytes / row_bytes, 1, static_cast<std::size_t>(img.height));
  std::vector<unsigned char> chunk(rows_per_chunk * row_bytes, 0);
  for (int y0 = 0; y0 < img.height; y0 += static_cast<int>(rows_per_chunk)) {
    const int rows = std::min<int>(static_cast<int>(rows_per_chunk), img.height - y0);
    for (int r = 0; r < rows; ++r) {
      const unsigned char* src = vx::RowAt(img, y0 + r);
      unsigned char* dst = chunk.data() + static_cast<std::size_t>(r) * row_bytes;
      for (int x = 0; x < img.width; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
    }
    if (!WriteAll(fd, chunk.data(), static_cast<std::size_t>(rows) * row_bytes)) return false;
  }
  return true;
}

// A 24-bit image keeps its own stride, as the header states; a gray one is
// written with the stride a 24-bit image of its width gets. A FIFO, device
// or other non-regular file is refused without waiting for a reader. Every
// refusal and every failed write or close (a full disk) gives 1.
int WriteDf(const char* path, const IMG& img) {
  const bool gray = img.gray == 1;
  const std::uint64_t row_bytes = gray ? vx::StrideFor(img.width, 3) : static_cast<std::uint64_t>(img.stride);
  if (path == nullptr || !Writable(img, gray, row_bytes)) return 1;

  vx::FileDescriptor file(vx::CreateRegularFile(path));
  if (file.get() < 0) return 1;
  unsigned char header[vx::kDfHeaderBytes];
  vx::WriteDfHeader(header, img.width, img.height, static_cast<std::uint32_t>(row_bytes));
  bool ok = WriteAll(file.get(), header, sizeof header);
  if (ok && gray) {
    ok = WriteGrayExpanded(file.get(), img, static_cast<std::size_t>(row_bytes));
  } else if (ok) {
    ok = WriteAll(file.get(), img.bits,
                  static_cast<std::size_t>(row_bytes) * static_cast<std::size_t>(img.height));
  }
  if (close(file.release()) != 0) ok = false;
  return ok ? 0 : 1;
}

}  // namespace

int SaveDF(const char* path, IMG img) {
  try {
    return WriteDf(path, img);
  } catch (const std::exception&) {
    // Only the gray rows' buffer can throw; report it as a failed write.
    return 1;
  }
}
