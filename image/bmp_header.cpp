#include "image/bmp_header.h"

#include <cstring>

namespace vx {

namespace {

constexpr std::uint32_t kCoreInfoSize = 12;
constexpr std::size_t kFileHeaderBytes = 14;
// The image-size field ends here; a file that stops earlier has no usable header.
constexpr std::size_t kThroughImageSize = 38;
constexpr std::size_t kThroughCoreBitCount = 26;
constexpr std::size_t kMasksOffset = 54;

bool IsBitFields(std::uint32_t compression) {
  return compression == static_cast<std::uint32_t>(BmpCompression::kBitFields) ||
         compression == static_cast<std::uint32_t>(BmpCompression::kAlphaBitFields);
}

}  // namespace

BmpHeaderStatus ParseBmpHeader(ByteView bytes, BmpHeader* header, BmpFieldLayout layout) {
  *header = BmpHeader{};
  const unsigned char* p = bytes.data;
  if (bytes.size < 2 || p[0] != 'B' || p[1] != 'M') return BmpHeaderStatus::kNotBitmap;
  if (bytes.size < kFileHeaderBytes + 4) return BmpHeaderStatus::kTruncated;
  header->data_offset = Le32(p + 10);
  header->info_size = Le32(p + 14);
  if (header->info_size == kCoreInfoSize && layout == BmpFieldLayout::kBySize) {
    if (bytes.size < kThroughCoreBitCount) return BmpHeaderStatus::kTruncated;
    header->core = true;
    header->width = Le16(p + 18);
    header->height = Le16(p + 20);
    header->planes = Le16(p + 22);
    header->bit_count = Le16(p + 24);
    return BmpHeaderStatus::kOk;
  }
  if (bytes.size < kThroughImageSize) return BmpHeaderStatus::kTruncated;
  header->width = static_cast<std::int32_t>(Le32(p + 18));
  header->height = static_cast<std::int32_t>(Le32(p + 22));
  header->planes = Le16(p + 26);
  header->bit_count = Le16(p + 28);
  header->compression = Le32(p + 30);
  header->image_size = Le32(p + 34);
  if (bytes.size >= 50) header->colors_used = Le32(p + 46);
  // Masks live at 54 in both layouts: inside a header of 52 bytes or more,
  // or right after a 40-byte header of a bit-field file.
  if (IsBitFields(header->compression) || header->info_size >= 52) {
    bool alpha = header->info_size >= 56 ||
                 header->compression == static_cast<std::uint32_t>(BmpCompression::kAlphaBitFields);
    int count = alpha ? 4 : 3;
    for (int i = 0; i < count; ++i) {
      std::size_t at = kMasksOffset + 4 * static_cast<std::size_t>(i);
      if (bytes.size >= at + 4) header->masks[i] = Le32(p + at);
    }
  }
  return BmpHeaderStatus::kOk;
}

std::uint64_t BmpPaletteOffset(const BmpHeader& header) {
  std::uint64_t offset = kFileHeaderBytes + static_cast<std::uint64_t>(header.info_size);
  if (header.info_size == 40 && IsBitFields(header.compression)) {
    offset += header.compression == static_cast<std::uint32_t>(BmpCompression::kAlphaBitFields) ? 16 : 12;
  }
  return offset;
}

void WriteDfHeader(unsigned char* out, std::int32_t width, std::int32_t height, std::uint32_t row_bytes) {
  std::memset(out, 0, kDfHeaderBytes);
  std::uint32_t image_bytes = row_bytes * static_cast<std::uint32_t>(height);
  out[0] = 'B';
  out[1] = 'M';
  PutLe32(out + 2, kDfHeaderBytes + image_bytes);
  PutLe32(out + 10, kDfHeaderBytes);
  PutLe32(out + 14, 40);
  PutLe32(out + 18, static_cast<std::uint32_t>(width));
  PutLe32(out + 22, static_cast<std::uint32_t>(height));
  PutLe16(out + 26, 1);
  PutLe16(out + 28, 24);
  PutLe32(out + 34, image_bytes);
}

}  // namespace vx
