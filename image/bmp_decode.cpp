#include "image/bmp_decode.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace vx {

namespace {

constexpr std::uint32_t kCompressionNone = static_cast<std::uint32_t>(BmpCompression::kNone);
constexpr std::uint32_t kCompressionRle8 = static_cast<std::uint32_t>(BmpCompression::kRle8);
constexpr std::uint32_t kCompressionRle4 = static_cast<std::uint32_t>(BmpCompression::kRle4);
constexpr std::uint32_t kCompressionBitFields = static_cast<std::uint32_t>(BmpCompression::kBitFields);
constexpr std::uint32_t kCompressionAlphaBitFields =
    static_cast<std::uint32_t>(BmpCompression::kAlphaBitFields);

// Longest information header accepted (the V5 header has 124 bytes; later
// extensions are tolerated up to this size).
constexpr std::uint32_t kMaxInfoSize = 4096;

constexpr std::uint32_t kMaxPaletteEntries = 256;

// One colour channel of a 16 or 32-bit pixel: where its bits are and how
// to widen them to 8 bits.
struct MaskChannel {
  int shift = 0;          // position of the lowest bit
  int bits = 0;           // number of bits, 0 for an absent channel (read as 0)
  std::uint32_t max = 0;  // largest value of the bits

  unsigned To8(std::uint32_t pixel, std::uint32_t mask) const {
    if (bits == 0) return 0;
    std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    return (v * 255u + max / 2) / max;
  }
};

// A mask is usable when its bits are contiguous and lie inside the pixel.
bool MakeChannel(std::uint32_t mask, int bit_count, MaskChannel* channel) {
  *channel = MaskChannel{};
  if (mask == 0) return true;
  if (bit_count < 32 && (mask >> bit_count) != 0) return false;
  int shift = std::countr_zero(mask);
  std::uint32_t run = mask >> shift;
  if ((run & (run + 1)) != 0) return false;
  channel->shift = shift;
  channel->bits = std::popcount(run);
  channel->max = run;
  return true;
}

// Which layout a valid header describes; decoded once, used for every row.
enum class BmpLayout { kPalette, kRle8, kRle4, kTrueColor24, kMasked };

bool ChooseLayout(const BmpHeader& h, BmpLayout* layout) {
  const unsigned bits = h.bit_count;
  switch (h.compression) {
    case kCompressionNone:
      if (bits == 1 || bits == 2 || bits == 4 || bits == 8) {
        *layout = BmpLayout::kPalette;
      } else if (bits == 24) {
        *layout = BmpLayout::kTrueColor24;
      } else if (bits == 16 || bits == 32) {
        // The OS/2 core header knows no 16 or 32-bit pixels.
        *layout = BmpLayout::kMasked;
        return !h.core;
      } else {
        return false;
      }
      return true;
    case kCompressionRle8:
      *layout = BmpLayout::kRle8;
      return bits == 8;
    case kCompressionRle4:
      *layout = BmpLayout::kRle4;
      return bits == 4;
    case kCompressionBitFields:
    case kCompressionAlphaBitFields:
      *layout = BmpLayout::kMasked;
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

// Reads the palette, limited to the entries declared, to those that fit
// between the headers and the pixel data, and to those in the file.
bool ReadPalette(ByteView bytes, const BmpHeader& h, BmpPalette* palette) {
  std::uint64_t declared = std::uint64_t{1} << h.bit_count;
  if (h.colors_used != 0) declared = std::min<std::uint64_t>(declared, h.colors_used);
  const std::uint64_t entry = h.core ? 3 : 4;
  const std::uint64_t start = BmpPaletteOffset(h);
  std::uint64_t end = std::min<std::uint64_t>(bytes.size, h.data_offset);
  std::uint64_t room = end > start ? (end - start) / entry : 0;
  palette->count = static_cast<int>(std::min(declared, room));
  for (int i = 0; i < palette->count; ++i) {
    const unsigned char* p = bytes.data + start + static_cast<std::uint64_t>(i) * entry;
    palette->bgr[i] = {p[0], p[1], p[2]};
  }
  return palette->count > 0;
}

bool DecodePaletteRow(const unsigned char* src, int width, unsigned bits, const BmpPalette& palette,
                      unsigned char* dst) {
  const unsigned mask = (1u << bits) - 1;
  for (int x = 0; x < width; ++x) {
    std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
    unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
    unsigned index = (src[bit / 8] >> shift) & mask;
    if (static_cast<int>(index) >= palette.count) return false;
    const auto& c = palette.bgr[index];
    PutBgr(dst, x, c[0], c[1], c[2]);
  }
  return true;
}

struct MaskSet {
  std::uint32_t masks[4] = {};
  MaskChannel channels[4];  // red, green, blue, alpha
};

bool MakeMaskSet(const BmpHeader& h, MaskSet* set) {
  const bool bit_fields = h.compression != kCompressionNone;
  if (bit_fields) {
    std::copy(std::begin(h.masks), std::end(h.masks), set->masks);
  } else if (h.bit_count == 16) {
    // 5 bits per channel, the top bit unused.
    set->masks[0] = 0x7C00;
    set->masks[1] = 0x03E0;
    set->masks[2] = 0x001F;
  } else {
    // B, G, R bytes; the fourth byte is unused, not alpha.
    set->masks[0] = 0x00FF0000;
    set->masks[1] = 0x0000FF00;
    set->masks[2] = 0x000000FF;
  }
  // Red, green and blue masks all 0 leave no colour to read: the file is
  // damaged, not black.
  if ((set->masks[0] | set->masks[1] | set->masks[2]) == 0) return false;
  for (int i = 0; i < 4; ++i) {
    if (!MakeChannel(set->masks[i], h.bit_count, &set->channels[i])) return false;
  }
  return true;
}

void DecodeMaskedRow(const unsigned char* src, int width, unsigned bits, const MaskSet& set,
                     unsigned char* dst) {
  const bool alpha = set.masks[3] != 0;
  for (int x = 0; x < width; ++x) {
    std::uint32_t pixel = bits == 16 ? Le16(src + 2 * static_cast<std::ptrdiff_t>(x))
                                     : Le32(src + 4 * static_cast<std::ptrdiff_t>(x));
    unsigned r = set.channels[0].To8(pixel, set.masks[0]);
    unsigned g = set.channels[1].To8(pixel, set.masks[1]);
    unsigned b = set.channels[2].To8(pixel, set.masks[2]);
    if (alpha) {
      unsigned a = set.channels[3].To8(pixel, set.masks[3]);
      PutBgr(dst, x, OverWhite(b, a), OverWhite(g, a), OverWhite(r, a));
    } else {
      PutBgr(dst, x, static_cast<unsigned char>(b), static_cast<unsigned char>(g),
             static_cast<unsigned char>(r));
    }
  }
}

// Rows stored one after the other, each padded to 4 bytes. The whole pixel
// area is checked against the file before the picture is allocated.
bool DecodeUncompressed(ByteView bytes, const BmpHeader& h, BmpLayout layout, const BmpPalette& palette,
                        const PictureLimits& limits, Picture* out) {
  const std::int64_t width = h.width;
  const std::int64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
  if (!PictureSizeAllowed(width, rows, limits)) return false;
  const std::uint64_t row_bytes = (static_cast<std::uint64_t>(width) * h.bit_count + 31) / 32 * 4;
  const std::uint64_t needed = row_bytes * static_cast<std::uint64_t>(rows);
  if (h.data_offset > bytes.size || needed > bytes.size - h.data_offset) return false;
  MaskSet masks;
  if (layout == BmpLayout::kMasked && !MakeMaskSet(h, &masks)) return false;
  if (!AllocatePicture(width, rows, limits, PixelStart::kUnwritten, out)) return false;

  const bool top_down = h.height < 0;
  for (int r = 0; r < out->height; ++r) {
    const unsigned char* src = bytes.data + h.data_offset + row_bytes * static_cast<std::uint64_t>(r);
    unsigned char* dst = out->Row(top_down ? out->height - 1 - r : r);
    switch (layout) {
      case BmpLayout::kPalette:
        if (!DecodePaletteRow(src, out->width, h.bit_count, palette, dst)) return false;
        break;
      case BmpLayout::kTrueColor24:
        // File rows have exactly the picture's row length: copied whole, padding included.
        std::memcpy(dst, src, static_cast<std::size_t>(out->stride));
        break;
      case BmpLayout::kMasked:
        DecodeMaskedRow(src, out->width, h.bit_count, masks, dst);
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

bool DecodeBmp(ByteView bytes, const PictureLimits& limits, Picture* out) {
  BmpHeader h;
  if (ParseBmpHeader(bytes, &h) != BmpHeaderStatus::kOk) return false;
  if (!h.core && (h.info_size < 40 || h.info_size > kMaxInfoSize)) return false;
  if (BmpPaletteOffset(h) > bytes.size) return false;
  // Pixel data cannot start inside the headers: a zero or small offset would
  // read the headers themselves as pixels.
  if (h.data_offset < 14 + static_cast<std::uint64_t>(h.info_size)) return false;
  if (h.width <= 0 || h.height == 0) return false;
  BmpLayout layout;
  if (!ChooseLayout(h, &layout)) return false;

  BmpPalette palette;
  const bool needs_palette =
      layout == BmpLayout::kPalette || layout == BmpLayout::kRle8 || layout == BmpLayout::kRle4;
  // No palette has more than 256 entries; a larger count is a damaged or
  // hostile header (0x40000001 entries would overflow a 32-bit byte count).
  if (needs_palette && h.colors_used > kMaxPaletteEntries) return false;
  if (needs_palette && !ReadPalette(bytes, h, &palette)) return false;

  if (layout != BmpLayout::kRle8 && layout != BmpLayout::kRle4) {
    return DecodeUncompressed(bytes, h, layout, palette, limits, out);
  }
  // Run-length files are bottom-up only; their data must at least hold one code.
  if (h.height < 0 || h.data_offset >= bytes.size) return false;
  const std::uint64_t data_bytes = bytes.size - h.data_offset;
  if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > MaxRlePixels(data_bytes))
    return false;
  if (!AllocatePicture(h.width, h.height, limits, PixelStart::kWhite, out)) return false;
  ByteView data{bytes.data + h.data_offset, data_bytes};
  return DecodeBmpRle(data, layout == BmpLayout::kRle4, palette, out);
}

bool PlanDf(ByteView head, std::uint64_t file_size, const PictureLimits& limits, DfPlan* plan) {
  BmpHeader h;
  if (ParseBmpHeader(head, &h, BmpFieldLayout::kFixed40) != BmpHeaderStatus::kOk) return false;
  if (h.bit_count != 24 || h.compression != kCompressionNone) return false;
  if (h.data_offset == 0 || h.width <= 0 || h.height == 0) return false;
  const std::int64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
  if (!PictureSizeAllowed(h.width, rows, limits)) return false;
  const std::uint64_t needed =
      static_cast<std::uint64_t>(StrideFor(h.width, 3)) * static_cast<std::uint64_t>(rows);
  if (h.data_offset > file_size || needed > file_size - h.data_offset) return false;
  *plan = DfPlan{h.data_offset, h.width, static_cast<int>(rows), h.height < 0};
  return true;
}

bool PlanPlainBmp(ByteView head, std::uint64_t file_size, const PictureLimits& limits, DfPlan* plan) {
  BmpHeader h;
  if (ParseBmpHeader(head, &h) != BmpHeaderStatus::kOk || h.core) return false;
  if (h.info_size < 40 || h.info_size > kMaxInfoSize) return false;
  if (h.data_offset < 14 + static_cast<std::uint64_t>(h.info_size)) return false;
  if (h.bit_count != 24 || h.compression != kCompressionNone) return false;
  return PlanDf(head, file_size, limits, plan);
}

bool DecodeDf(ByteView bytes, const PictureLimits& limits, Picture* out) {
  DfPlan plan;
  if (!PlanDf(bytes, bytes.size, limits, &plan)) return false;
  if (!AllocatePicture(plan.width, plan.rows, limits, PixelStart::kUnwritten, out)) return false;
  // File rows have exactly the picture's row length: copied whole, padding included.
  std::memcpy(out->bits.get(), bytes.data + plan.data_offset,
              static_cast<std::size_t>(out->stride) * static_cast<std::size_t>(out->height));
  if (plan.top_down) FlipRows(out);
  return true;
}

void FlipRows(Picture* picture) {
  const std::size_t stride = static_cast<std::size_t>(picture->stride);
  std::unique_ptr<unsigned char[]> spare(new unsigned char[stride]);
  for (int top = 0, bottom = picture->height - 1; top < bottom; ++top, --bottom) {
    std::memcpy(spare.get(), picture->Row(top), stride);
    std::memcpy(picture->Row(top), picture->Row(bottom), stride);
    std::memcpy(picture->Row(bottom), spare.get(), stride);
  }
}

}  // namespace vx
