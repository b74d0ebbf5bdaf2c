#include "support/picture_writers.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>

namespace vxtest {

namespace {

void Put(Bytes& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint8_t OverWhite(std::uint8_t c, std::uint8_t a) {
  return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

// Channel value v scaled to the bits of mask, rounded.
std::uint32_t ToMask(std::uint8_t v, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  return ((v * (mask >> shift) + 127) / 255) << shift;
}

// One line of palette indices as run-length codes and an end-of-line; with
// deltas, runs of index 0 are skipped.
void EncodeRleLine(const int* idx, int width, bool four_bit, bool deltas, Bytes& out) {
  auto u8 = [](int v) { return static_cast<std::uint8_t>(v); };
  for (int x = 0; x < width;) {
    int run = 1;
    while (x + run < width && run < 255 && idx[x + run] == idx[x]) ++run;
    int literal = 1;
    while (x + literal < width && literal < 255 && idx[x + literal] != idx[x + literal - 1] &&
           !(deltas && idx[x + literal] == 0))
      ++literal;
    if (deltas && idx[x] == 0) {
      if (x + run == width) break;
      out.insert(out.end(), {0, 2, u8(run), 0});
    } else if (run >= 2 || literal < 3) {
      out.insert(out.end(), {u8(run), u8(four_bit ? (idx[x] << 4) | idx[x] : idx[x])});
    } else {
      out.insert(out.end(), {0, u8(literal)});
      const size_t start = out.size();
      for (int i = 0; i < literal; ++i)
        if (!four_bit || i % 2 == 0)
          out.push_back(u8(four_bit ? idx[x + i] << 4 : idx[x + i]));
        else
          out.back() |= u8(idx[x + i]);
      if ((out.size() - start) % 2) out.push_back(0);
      run = literal;
    }
    x += run;
  }
  out.insert(out.end(), {0, 0});
}

}  // namespace

TestPicture RandomPicture(int width, int height, std::uint32_t seed, int colors, bool gray) {
  std::mt19937 rng(seed);
  auto color = [&] {
    const auto v = static_cast<std::uint8_t>(rng());
    return gray ? Rgba{v, v, v, 255}
                : Rgba{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), v, 255};
  };
  std::vector<Rgba> table;
  for (int i = 0; i < colors; ++i) table.push_back(color());
  TestPicture p{width, height, {}};
  for (int i = 0; i < width * height; ++i) p.px.push_back(colors > 0 ? table[rng() % colors] : color());
  return p;
}

TestPicture WithAlpha(TestPicture p, std::uint32_t seed) {
  for (auto& px : p.px) px.a = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
  return p;
}

int MaxDifference(const IMG& img, const TestPicture& picture) {
  const int stride = (3 * picture.width + 3) / 4 * 4;
  if (!img.valid || img.gray != 0 || img.width != picture.width || img.height != picture.height ||
      img.stride != stride)
    return 256;
  int worst = 0;
  for (int y = 0; y < img.height; ++y) {
    const std::uint8_t* row = img.bits + static_cast<size_t>(img.height - 1 - y) * stride;
    for (int x = 0; x < img.width; ++x) {
      const Rgba& p = picture.at(x, y);
      for (int c = 0; c < 3; ++c)
        worst = std::max(worst, std::abs(row[3 * x + c] - OverWhite(c == 0 ? p.b : c == 1 ? p.g : p.r, p.a)));
    }
  }
  return worst;
}

Indexed IndexColors(const TestPicture& picture, int max_colors) {
  Indexed out;
  std::map<std::uint32_t, int> seen;
  for (const Rgba& p : picture.px) {
    const std::uint32_t key = p.r | (p.g << 8) | (p.b << 16) | (static_cast<std::uint32_t>(p.a) << 24);
    auto [it, added] = seen.emplace(key, static_cast<int>(out.colors.size()));
    if (added) out.colors.push_back(p);
    out.index.push_back(it->second);
  }
  if (static_cast<int>(out.colors.size()) > max_colors) throw std::runtime_error("too many colours");
  return out;
}

Bytes WriteBmp(const TestPicture& picture, const BmpOptions& o) {
  using C = BmpCompression;
  const bool rle = o.compression == C::kRle8 || o.compression == C::kRle4, palette = o.bits <= 8,
             bit_fields = o.compression == C::kBitFields || o.compression == C::kAlphaBitFields;
  const Indexed indexed = palette ? IndexColors(picture, 1 << o.bits) : Indexed{};
  const int entries = std::max<int>(o.palette_entries, static_cast<int>(indexed.colors.size()));
  const int info = o.core_header ? 12 : o.info_size;
  const int masks_after = bit_fields && info == 40 ? (o.compression == C::kAlphaBitFields ? 4 : 3) : 0;
  std::uint32_t masks[4];
  std::copy(std::begin(o.masks), std::end(o.masks), masks);
  if (!bit_fields && o.bits == 16) std::copy_n(std::begin({0x7C00u, 0x03E0u, 0x001Fu, 0u}), 4, masks);
  if (!bit_fields && o.bits == 32) std::copy_n(std::begin({0xFF0000u, 0xFF00u, 0xFFu, 0u}), 4, masks);

  Bytes pixels;
  const size_t row_bytes = (static_cast<size_t>(picture.width) * o.bits + 31) / 32 * 4;
  for (int r = 0; r < picture.height; ++r) {
    const int y = o.top_down ? r : picture.height - 1 - r;
    const int* idx = palette ? indexed.index.data() + static_cast<size_t>(y) * picture.width : nullptr;
    if (rle) {
      EncodeRleLine(idx, picture.width, o.compression == C::kRle4, o.rle_deltas, pixels);
      continue;
    }
    Bytes row(palette ? row_bytes : 0);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      if (palette) {
        const int bit = x * o.bits;
        row[bit / 8] |= static_cast<std::uint8_t>(idx[x] << (8 - o.bits - bit % 8));
      } else if (o.bits == 24) {
        row.insert(row.end(), {p.b, p.g, p.r});
      } else {
        Put(row,
            ToMask(p.r, masks[0]) | ToMask(p.g, masks[1]) | ToMask(p.b, masks[2]) | ToMask(p.a, masks[3]),
            o.bits / 8);
      }
    }
    row.resize(row_bytes);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  if (rle) pixels.insert(pixels.end(), {0, 1});

  const int header_end = 14 + info + 4 * masks_after;
  const std::uint32_t offset = header_end + entries * (o.core_header ? 3 : 4);
  Bytes out{'B', 'M'};
  for (std::uint32_t v : {static_cast<std::uint32_t>(offset + pixels.size()), 0u, offset}) Put(out, v, 4);
  Put(out, info, 4);
  Put(out, picture.width, o.core_header ? 2 : 4);
  Put(out, static_cast<std::uint32_t>(o.top_down ? -picture.height : picture.height), o.core_header ? 2 : 4);
  Put(out, 1 | o.bits << 16, 4);  // planes, bits
  if (!o.core_header) {
    constexpr std::uint32_t kCodes[] = {0, 1, 2, 3, 6};
    for (std::uint32_t v :
         {kCodes[static_cast<int>(o.compression)], static_cast<std::uint32_t>(pixels.size()), 2835u, 2835u,
          static_cast<std::uint32_t>(entries), 0u})
      Put(out, v, 4);
    for (int i = 0; i < (info > 40 ? 4 : masks_after); ++i) Put(out, masks[i], 4);
    out.resize(header_end, 0);
  }
  for (int i = 0; i < entries; ++i) {
    const Rgba c = i < static_cast<int>(indexed.colors.size()) ? indexed.colors[i] : Rgba{};
    out.insert(out.end(), {c.b, c.g, c.r});
    if (!o.core_header) out.push_back(0);
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

Bytes Patched(Bytes b, std::initializer_list<std::pair<size_t, std::uint32_t>> fields, int size,
              bool big_endian) {
  for (auto [at, v] : fields)
    for (int i = 0; i < size; ++i)
      b[at + (big_endian ? size - 1 - i : i)] = static_cast<std::uint8_t>(v >> (8 * i));
  return b;
}

Bytes Cut(const Bytes& b, size_t length) { return Bytes(b.begin(), b.begin() + std::min(length, b.size())); }

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace vxtest
