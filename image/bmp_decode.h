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

// Only uncompressed 24-bit files: the bitmap files the library writes and
// the ones other programs write in the same layout. Top-down files (negative
// height) come back in bottom-up row order; a negative width is refused.
bool DecodeDf(ByteView bytes, const PictureLimits& limits, Picture* out);

// Run-length data (from the data offset to the end of the file) of an RLE8
// or RLE4 file into out, which is already allocated and white. Pixels the
// runs skip over with end-of-line and delta codes stay white.
bool DecodeBmpRle(ByteView data, bool four_bit, const BmpPalette& palette, Picture* out);

}  // namespace vx
