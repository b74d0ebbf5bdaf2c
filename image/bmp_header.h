// The two headers at the start of a bitmap file: the 14-byte file header
// ("BM", file size, data offset) and the information header that follows
// it. Both the 24-bit file reader and the general bitmap reader parse them
// here.
#pragma once

#include <cstdint>

#include "image/picture_bytes.h"

namespace vx {

enum class BmpCompression : std::uint32_t {
  kNone = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kAlphaBitFields = 6,
};

struct BmpHeader {
  std::uint32_t data_offset = 0;  // file offset of the first pixel row
  std::uint32_t info_size = 0;    // length of the information header: 12 (OS/2 core) or 40 and more
  std::int32_t width = 0;         // pixels per row as stored (a negative value is malformed)
  std::int32_t height = 0;        // rows; negative means rows are stored top line first
  std::uint16_t planes = 0;       // colour planes, 1 in every valid file
  std::uint16_t bit_count = 0;    // bits per pixel: 1, 2, 4, 8, 16, 24 or 32
  std::uint32_t compression = 0;  // a BmpCompression value
  std::uint32_t image_size = 0;   // bytes of pixel data, 0 allowed for uncompressed files
  std::uint32_t colors_used = 0;  // palette entries, 0 meaning 2^bit_count
  std::uint32_t masks[4] = {};    // red, green, blue, alpha bit masks (bit-field files only)
  bool core = false;              // OS/2 core header: 16-bit sizes, 3-byte palette entries
};

enum class BmpHeaderStatus {
  kOk,
  kNotBitmap,  // the file does not start with "BM"
  kTruncated,  // the file ends before the image-size field (offset 38)
};

// Where the information header's fields are read from.
enum class BmpFieldLayout {
  kBySize,   // size field 12: the OS/2 core header (16-bit sizes); any other size: the 40-byte layout
  kFixed40,  // always the 40-byte layout; the size field is read, not used (the 24-bit file reader)
};

// Parses both headers from the start of bytes. Fields past the end of a
// short file are left 0; the general reader refuses files that end before
// the palette offset, the 24-bit reader needs only the fields up to 38.
BmpHeaderStatus ParseBmpHeader(ByteView bytes, BmpHeader* header,
                               BmpFieldLayout layout = BmpFieldLayout::kBySize);

// Offset of the first palette entry (right after the information header and,
// for bit-field files with a 40-byte header, the masks that follow it).
std::uint64_t BmpPaletteOffset(const BmpHeader& header);

// Fills the 54 bytes of the file header and a 40-byte information header of
// an uncompressed, bottom-up 24-bit file with the given row length.
void WriteDfHeader(unsigned char* out, std::int32_t width, std::int32_t height, std::uint32_t row_bytes);

inline constexpr std::uint32_t kDfHeaderBytes = 14 + 40;

}  // namespace vx
