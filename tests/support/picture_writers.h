// Writers of test pictures in every format the picture readers take: a
// hand-made bitmap writer for all bitmap variants, and the PNG, JPEG, TIFF
// and GIF libraries' own writers. Pictures are written to memory; tests save
// them with WriteFile when a path is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vexolith.h"

namespace vxtest {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
  std::uint8_t r = 0;    // red, 0 .. 255
  std::uint8_t g = 0;    // green, 0 .. 255
  std::uint8_t b = 0;    // blue, 0 .. 255
  std::uint8_t a = 255;  // opacity, 0 transparent .. 255 opaque
  bool operator==(const Rgba&) const = default;
};

// A picture as the tests know it: pixels top line first.
struct TestPicture {
  int width = 0;         // pixels per line
  int height = 0;        // lines
  std::vector<Rgba> px;  // width x height pixels, line 0 at the top
  Rgba& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
  const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Random opaque colours (seeded), or, with colors > 0, random picks from a
// fixed table of that many colours (for palette formats); gray makes r=g=b.
TestPicture RandomPicture(int width, int height, std::uint32_t seed, int colors = 0, bool gray = false);

// The picture laid over white and turned into what the readers return:
// 24-bit B, G, R, bottom line first, rows padded to 4 bytes (padding 0).
std::vector<std::uint8_t> ExpectedBgr(const TestPicture& picture);

// Largest difference of any channel between a returned image and the
// picture laid over white; 256 when the sizes or the layout differ.
int MaxDifference(const IMG& img, const TestPicture& picture);

enum class BmpCompression { kNone, kRle8, kRle4, kBitFields, kAlphaBitFields };

struct BmpOptions {
  int bits = 24;  // 1, 2, 4, 8, 16, 24 or 32
  BmpCompression compression = BmpCompression::kNone;
  bool top_down = false;        // negative height, top line first
  bool core_header = false;     // 12-byte OS/2 header with 3-byte palette entries
  int info_size = 40;           // 40, 108 or 124 (masks inside for 108/124)
  std::uint32_t masks[4] = {};  // red, green, blue, alpha for bit-field files
  int palette_entries = 0;      // entries written; 0: as many as the picture needs
  bool rle_deltas = false;      // RLE: skip runs of the first colour with delta codes
};

// A bitmap file of the picture. Palette files take the picture's colours in
// order of first appearance (the picture must have few enough).
Bytes WriteBmp(const TestPicture& picture, const BmpOptions& options = {});

enum class PngColor { kGray, kGrayAlpha, kPalette, kRgb, kRgba };

struct PngOptions {
  PngColor color = PngColor::kRgb;
  int depth = 8;                      // bits per channel: 1, 2, 4, 8 or 16 (as the colour type allows)
  bool interlaced = false;            // Adam7
  bool palette_transparency = false;  // tRNS alpha for palette entries
};

// 16-bit channels are written as v * 257, so they read back as v.
Bytes WritePng(const TestPicture& picture, const PngOptions& options = {});

struct JpegOptions {
  bool gray = false;         // one component
  bool progressive = false;  // progressive scans
  int quality = 95;          // 1 .. 100
  bool cmyk = false;         // four inverted CMYK components with an Adobe marker, as Photoshop writes
};

Bytes WriteJpeg(const TestPicture& picture, const JpegOptions& options = {});

// libjpeg's own decode of a JPEG file as B, G, R bottom-up rows with the
// stride rule: the reference for the readers' JPEG results.
std::vector<std::uint8_t> JpegReference(const Bytes& jpeg, int* width, int* height);

enum class TiffColor { kRgb, kRgba, kGray, kBilevel, kPalette, kRgb16 };
enum class TiffCompression { kNone, kLzw, kDeflate, kPackBits };

struct TiffOptions {
  TiffColor color = TiffColor::kRgb;
  TiffCompression compression = TiffCompression::kNone;
  bool tiled = false;      // 16 x 16 tiles instead of strips
  int rows_per_strip = 3;  // strip height (strips only)
};

Bytes WriteTiff(const TestPicture& picture, const TiffOptions& options = {});

struct GifOptions {
  bool interlaced = false;     // four-pass line order
  int transparent_index = -1;  // colour index drawn transparent, -1 none
  bool second_frame = false;   // append a different frame that must be ignored
};

// The picture's colours form the palette (at most 256, in order of first
// appearance); pixels whose alpha is 0 use the transparent index.
Bytes WriteGif(const TestPicture& picture, const GifOptions& options = {});

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

}  // namespace vxtest
