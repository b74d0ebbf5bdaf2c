#include "support/picture_writers.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>

namespace vxtest {

namespace {

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v);
  Put16(out, v >> 16);
}

std::uint8_t OverWhite(std::uint8_t c, std::uint8_t a) {
  return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

// Colours in order of first appearance and every pixel's index.
struct Indexed {
  std::vector<Rgba> colors;
  std::vector<int> index;  // per pixel, line 0 at the top
};

Indexed IndexColors(const TestPicture& picture, int max_colors) {
  Indexed out;
  std::map<std::uint32_t, int> seen;
  for (const Rgba& p : picture.px) {
    std::uint32_t key = p.r | (p.g << 8) | (p.b << 16) | (static_cast<std::uint32_t>(p.a) << 24);
    auto [it, added] = seen.emplace(key, static_cast<int>(out.colors.size()));
    if (added) out.colors.push_back(p);
    out.index.push_back(it->second);
  }
  if (static_cast<int>(out.colors.size()) > max_colors) throw std::runtime_error("too many colours");
  return out;
}

// Channel value v (8 bits) scaled to the bits of mask, rounded.
std::uint32_t ToMask(std::uint8_t v, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  std::uint32_t max = mask >> shift;
  return ((v * max + 127) / 255) << shift;
}

// One line of palette indices as run-length codes, then an end-of-line.
// Runs of index 0 are skipped with delta codes (or the end-of-line) when
// deltas are asked for.
void EncodeRleLine(const int* idx, int width, bool four_bit, bool deltas, Bytes& out) {
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < 255 && idx[x + run] == idx[x]) ++run;
    if (deltas && idx[x] == 0) {
      if (x + run == width) break;
      out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(run), 0});
      x += run;
      continue;
    }
    if (run >= 2) {
      std::uint8_t v = static_cast<std::uint8_t>(four_bit ? (idx[x] << 4) | idx[x] : idx[x]);
      out.insert(out.end(), {static_cast<std::uint8_t>(run), v});
      x += run;
      continue;
    }
    int literal = 1;
    while (x + literal < width && literal < 255 && idx[x + literal] != idx[x + literal - 1] &&
           !(deltas && idx[x + literal] == 0)) {
      ++literal;
    }
    if (literal < 3) {
      std::uint8_t v = static_cast<std::uint8_t>(four_bit ? (idx[x] << 4) | idx[x] : idx[x]);
      out.insert(out.end(), {1, v});
      ++x;
      continue;
    }
    out.insert(out.end(), {0, static_cast<std::uint8_t>(literal)});
    size_t start = out.size();
    for (int i = 0; i < literal; ++i) {
      if (!four_bit) {
        out.push_back(static_cast<std::uint8_t>(idx[x + i]));
      } else if (i % 2 == 0) {
        out.push_back(static_cast<std::uint8_t>(idx[x + i] << 4));
      } else {
        out.back() |= static_cast<std::uint8_t>(idx[x + i]);
      }
    }
    if ((out.size() - start) % 2) out.push_back(0);
    x += literal;
  }
  out.insert(out.end(), {0, 0});
}

}  // namespace

TestPicture RandomPicture(int width, int height, std::uint32_t seed, int colors, bool gray) {
  std::mt19937 rng(seed);
  std::vector<Rgba> table;
  for (int i = 0; i < colors; ++i) {
    std::uint8_t v = static_cast<std::uint8_t>(rng());
    table.push_back(gray ? Rgba{v, v, v, 255}
                         : Rgba{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), v, 255});
  }
  TestPicture p{width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    if (colors > 0) {
      p.px.push_back(table[rng() % colors]);
    } else {
      std::uint8_t v = static_cast<std::uint8_t>(rng());
      p.px.push_back(gray ? Rgba{v, v, v, 255}
                          : Rgba{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), v, 255});
    }
  }
  return p;
}

std::vector<std::uint8_t> ExpectedBgr(const TestPicture& picture) {
  int stride = (3 * picture.width + 3) / 4 * 4;
  std::vector<std::uint8_t> out(static_cast<size_t>(stride) * picture.height, 0);
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = out.data() + static_cast<size_t>(picture.height - 1 - y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      row[3 * x] = OverWhite(p.b, p.a);
      row[3 * x + 1] = OverWhite(p.g, p.a);
      row[3 * x + 2] = OverWhite(p.r, p.a);
    }
  }
  return out;
}

int MaxDifference(const IMG& img, const TestPicture& picture) {
  int stride = (3 * picture.width + 3) / 4 * 4;
  if (!img.valid || img.gray != 0 || img.width != picture.width || img.height != picture.height ||
      img.stride != stride) {
    return 256;
  }
  std::vector<std::uint8_t> want = ExpectedBgr(picture);
  int worst = 0;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < 3 * img.width; ++x) {
      size_t at = static_cast<size_t>(y) * stride + x;
      worst = std::max(worst, std::abs(img.bits[at] - want[at]));
    }
  }
  return worst;
}

Bytes WriteBmp(const TestPicture& picture, const BmpOptions& o) {
  const bool rle = o.compression == BmpCompression::kRle8 || o.compression == BmpCompression::kRle4;
  const bool palette = o.bits <= 8;
  const bool bit_fields =
      o.compression == BmpCompression::kBitFields || o.compression == BmpCompression::kAlphaBitFields;
  Indexed indexed;
  if (palette) indexed = IndexColors(picture, 1 << o.bits);
  const int entries = palette ? std::max<int>(o.palette_entries, static_cast<int>(indexed.colors.size())) : 0;
  const int entry_bytes = o.core_header ? 3 : 4;
  const int info = o.core_header ? 12 : o.info_size;
  const int extra_masks =
      (bit_fields && info == 40) ? (o.compression == BmpCompression::kAlphaBitFields ? 16 : 12) : 0;

  Bytes pixels;
  const size_t row_bytes = (static_cast<size_t>(picture.width) * o.bits + 31) / 32 * 4;
  std::uint32_t masks[4];
  std::copy(std::begin(o.masks), std::end(o.masks), masks);
  if (!bit_fields && o.bits == 16) std::copy_n(std::begin({0x7C00u, 0x03E0u, 0x001Fu, 0u}), 4, masks);
  if (!bit_fields && o.bits == 32) std::copy_n(std::begin({0xFF0000u, 0xFF00u, 0xFFu, 0u}), 4, masks);
  for (int r = 0; r < picture.height; ++r) {
    int y = o.top_down ? r : picture.height - 1 - r;
    if (rle) {
      EncodeRleLine(indexed.index.data() + static_cast<size_t>(y) * picture.width, picture.width,
                    o.compression == BmpCompression::kRle4, o.rle_deltas, pixels);
      continue;
    }
    Bytes row(row_bytes, 0);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      if (palette) {
        int bit = x * o.bits;
        row[bit / 8] |= static_cast<std::uint8_t>(indexed.index[static_cast<size_t>(y) * picture.width + x]
                                                  << (8 - o.bits - bit % 8));
      } else if (o.bits == 24) {
        row[3 * x] = p.b;
        row[3 * x + 1] = p.g;
        row[3 * x + 2] = p.r;
      } else {
        std::uint32_t v =
            ToMask(p.r, masks[0]) | ToMask(p.g, masks[1]) | ToMask(p.b, masks[2]) | ToMask(p.a, masks[3]);
        for (int i = 0; i < o.bits / 8; ++i)
          row[o.bits / 8 * x + i] = static_cast<std::uint8_t>(v >> (8 * i));
      }
    }
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  if (rle) pixels.insert(pixels.end(), {0, 1});

  const std::uint32_t offset = 14 + info + extra_masks + entries * entry_bytes;
  Bytes out{'B', 'M'};
  Put32(out, static_cast<std::uint32_t>(offset + pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, info);
  std::int32_t height = o.top_down ? -picture.height : picture.height;
  if (o.core_header) {
    Put16(out, picture.width);
    Put16(out, picture.height);
    Put16(out, 1);
    Put16(out, o.bits);
  } else {
    Put32(out, picture.width);
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, o.bits);
    constexpr std::uint32_t kCodes[] = {0, 1, 2, 3, 6};
    Put32(out, kCodes[static_cast<int>(o.compression)]);
    Put32(out, static_cast<std::uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, palette ? entries : 0);
    Put32(out, 0);
    if (info > 40 || extra_masks) {
      for (int i = 0; i < (info > 40 ? 4 : extra_masks / 4); ++i) Put32(out, masks[i]);
    }
    out.resize(14 + info + extra_masks, 0);
  }
  for (int i = 0; i < entries; ++i) {
    Rgba c = i < static_cast<int>(indexed.colors.size()) ? indexed.colors[i] : Rgba{};
    out.insert(out.end(), {c.b, c.g, c.r});
    if (!o.core_header) out.push_back(0);
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace vxtest
