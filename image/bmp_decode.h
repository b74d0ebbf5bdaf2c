// Readers of bitmap files: the general one for every common variant
// (1, 2, 4 and 8-bit palettes, 16 and 32-bit with and without bit fields,
// 24-bit, bottom-up and top-down, RLE4 and RLE8) and the strict one for
// uncompressed 24-bit files.
#pragma once

#include <array>

#include "image/bmp_header.h"
#include "image/picture_canvas.h"

namespace vx {

// Colours of a palette file, B, G, R per entry; count entries are valid.
struct BmpPalette {
  std::array<std::array<unsigned char, 3>, 256> bgr{};  // entry colours
  int count = 0;                                        // valid entries, 0 .. 256
};

// Any bitmap variant above. Refuses malformed, truncated and unsupported
// files with false; out is only meaningful on success.
bool DecodeBmp(ByteView bytes, const PictureLimits& limits, Picture* out);

// Where the pixels of an uncompressed 24-bit file are: the bitmap files the
// library writes and the ones other programs write in the same layout.
struct DfPlan {
  std::uint64_t data_offset = 0;  // file offset of the first stored row
  int width = 0;                  // pixels per row
  int rows = 0;                   // rows stored
  bool top_down = false;          // rows stored top line first (negative height)
};

// Bytes at the start of a file that PlanDf needs (fewer in a shorter file).
inline constexpr std::size_t kDfHeadBytes = 54;

// Checks the headers at the start of a file of file_size bytes, whose first
// bytes are head: "BM", 24 bits per pixel, no compression, non-zero data
// offset, width above 0 (a negative width is refused), height not 0, the
// size within the limits and every pixel row inside the file. The
// information header is read in its 40-byte layout whatever its size field
// says.
bool PlanDf(ByteView head, std::uint64_t file_size, const PictureLimits& limits, DfPlan* plan);

// The same for the general reader, when the file is a plain uncompressed
// 24-bit bitmap (40-byte or longer information header, pixel data after the
// headers) that DecodeBmp would decode the same way; false for every other
// file, which then goes through DecodeBmp.
bool PlanPlainBmp(ByteView head, std::uint64_t file_size, const PictureLimits& limits, DfPlan* plan);

// An uncompressed 24-bit file held in memory. Top-down files come back in
// bottom-up row order.
bool DecodeDf(ByteView bytes, const PictureLimits& limits, Picture* out);

// Reverses the row order of a picture in place (top-down files).
void FlipRows(Picture* picture);

// Largest picture, in pixels, that run-length data of data_bytes bytes may
// declare (see DecodeBmp).
std::uint64_t MaxRlePixels(std::uint64_t data_bytes);

// Run-length data (from the data offset to the end of the file) of an RLE8
// or RLE4 file into out, which is already allocated and white. Pixels the
// runs skip over with end-of-line and delta codes stay white.
bool DecodeBmpRle(ByteView data, bool four_bit, const BmpPalette& palette, Picture* out);

}  // namespace vx
