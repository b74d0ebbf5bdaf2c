#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include "image/bmp_header.h"
#include "image/buffer.h"
#include "vexolith/image.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The record describes pixels that can be read: positive sizes, a buffer,
// and rows at least as long as their pixels. Files are limited to what the
// 32-bit size fields can state.
bool Writable(const IMG& img, bool gray, std::uint64_t row_bytes) {
  if (img.bits == nullptr || img.width < 1 || img.height < 1) return false;
  std::uint64_t pixel_bytes = static_cast<std::uint64_t>(img.width) * (gray ? 1 : 3);
  if (img.stride < 0 || static_cast<std::uint64_t>(img.stride) < pixel_bytes) return false;
  return vx::kDfHeaderBytes + row_bytes * static_cast<std::uint64_t>(img.height) <= UINT32_MAX;
}

// Rows are always written with the standard row length, 3 x width rounded up
// to whole 4-byte units, and zero padding, whatever the record's stride: a
// file with any other row length would not be a valid bitmap, and zero
// padding makes the same pixels give the same file. Gray pixels are written
// as three equal bytes, row by row, without a second full-size image.
// Every refusal and every failed write or close (a full disk) gives 1.
int WriteDf(const char* path, const IMG& img) {
  const bool gray = img.gray == 1;
  const std::uint64_t row_bytes = vx::StrideFor(img.width, 3);
  if (path == nullptr || !Writable(img, gray, row_bytes)) return 1;

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
  if (!file) return 1;
  unsigned char header[vx::kDfHeaderBytes];
  vx::WriteDfHeader(header, img.width, img.height, static_cast<std::uint32_t>(row_bytes));
  bool ok = std::fwrite(header, 1, sizeof header, file.get()) == sizeof header;

  std::vector<unsigned char> row(row_bytes, 0);
  for (int y = 0; ok && y < img.height; ++y) {
    const unsigned char* src = vx::PixelAt(img, 0, y);
    if (gray) {
      for (int x = 0; x < img.width; ++x) {
        row[3 * static_cast<std::size_t>(x)] = row[3 * static_cast<std::size_t>(x) + 1] =
            row[3 * static_cast<std::size_t>(x) + 2] = src[x];
      }
    } else {
      std::copy(src, src + 3 * static_cast<std::size_t>(img.width), row.begin());
    }
    ok = std::fwrite(row.data(), 1, row.size(), file.get()) == row.size();
  }
  if (std::fclose(file.release()) != 0) ok = false;
  return ok ? 0 : 1;
}
}  // namespace

int SaveDF(const char* path, IMG img) {
  try {
    return WriteDf(path, img);
  } catch (const std::exception&) {
    // Only the row buffer's allocation can throw; report it as a failed write.
    return 1;
  }
}
