// Test pictures written to memory in every format the readers take: bitmaps by
// hand (all variants), PNG, JPEG, TIFF and GIF by their own libraries.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "vexolith.h"

namespace vxtest {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;  // a: 0 transparent .. 255 opaque
  bool operator==(const Rgba&) const = default;
};

struct TestPicture {  // pixels top line first
  int width = 0, height = 0;
  std::vector<Rgba> px;
  Rgba& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
  const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Random opaque colours (colors > 0: picked from a table that long); gray: r = g = b.
TestPicture RandomPicture(int width, int height, std::uint32_t seed, int colors = 0, bool gray = false);
// The picture with random (seeded) opacity.
TestPicture WithAlpha(TestPicture p, std::uint32_t seed = 7);

// Largest channel difference from the picture over white as readers return it
// (BGR, bottom line first, rows padded to 4 bytes); 256 if the layout differs.
int MaxDifference(const IMG& img, const TestPicture& picture);

// The picture's colours in order of first appearance and each pixel's index.
struct Indexed {
  std::vector<Rgba> colors;
  std::vector<int> index;
};
Indexed IndexColors(const TestPicture& picture, int max_colors = 256);

enum class BmpCompression { kNone, kRle8, kRle4, kBitFields, kAlphaBitFields };

struct BmpOptions {
  int bits = 24;  // 1, 2, 4, 8, 16, 24 or 32
  BmpCompression compression = BmpCompression::kNone;
  bool top_down = false, core_header = false;  // core: 12-byte OS/2 header, 3-byte palette entries
  int info_size = 40;                          // 40, 108 or 124
  std::uint32_t masks[4] = {};                 // red, green, blue, alpha (bit fields)
  int palette_entries = 0;                     // 0: as many as the picture needs
  bool rle_deltas = false;                     // skip runs of the first colour with delta codes
};

Bytes WriteBmp(const TestPicture& picture, const BmpOptions& options = {});

enum class PngColor { kGray, kGrayAlpha, kPalette, kRgb, kRgba };

struct PngOptions {
  PngColor color = PngColor::kRgb;
  int depth = 8;                                          // 16-bit channels are v * 257
  bool interlaced = false, palette_transparency = false;  // tRNS
};

Bytes WritePng(const TestPicture& picture, const PngOptions& options = {});

struct JpegOptions {
  bool gray = false, progressive = false;
  int quality = 95;
  bool cmyk = false;  // inverted CMYK with an Adobe marker, as Photoshop writes
};

Bytes WriteJpeg(const TestPicture& picture, const JpegOptions& options = {});
// libjpeg's own decode as B, G, R bottom-up rows with the stride rule.
std::vector<std::uint8_t> JpegReference(const Bytes& jpeg);

enum class TiffColor { kRgb, kRgba, kGray, kBilevel, kPalette, kRgb16 };
enum class TiffCompression { kNone, kLzw, kDeflate, kPackBits };

struct TiffOptions {
  TiffColor color = TiffColor::kRgb;
  TiffCompression compression = TiffCompression::kNone;
  bool tiled = false;  // 16 x 16 tiles (not for bilevel) instead of 3-line strips
};

Bytes WriteTiff(const TestPicture& picture, const TiffOptions& options = {});

struct GifOptions {
  bool interlaced = false;
  int transparent_index = -1;  // used for pixels of alpha 0
  bool second_frame = false;   // a different frame the readers must ignore
};

Bytes WriteGif(const TestPicture& picture, const GifOptions& options = {});

// The bytes with fields {offset, value} of `size` bytes replaced.
Bytes Patched(Bytes b, std::initializer_list<std::pair<size_t, std::uint32_t>> fields, int size = 4,
              bool big_endian = false);
// The first `length` bytes (all when there are fewer).
Bytes Cut(const Bytes& b, size_t length);

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

}  // namespace vxtest
