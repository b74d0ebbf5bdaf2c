#include "tools/bmp_file.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace vxgen {
namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  Put16(p, v & 0xffffu);
  Put16(p + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
  const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * 3;
  const std::size_t stride = (row_bytes + 3) / 4 * 4;
  const std::size_t image_bytes = stride * static_cast<std::size_t>(picture.height);
  std::vector<std::uint8_t> out(54 + image_bytes, 0);
  std::uint8_t* h = out.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<std::uint32_t>(out.size()));
  Put32(h + 10, 54);
  Put32(h + 14, 40);
  Put32(h + 18, static_cast<std::uint32_t>(picture.width));
  Put32(h + 22, static_cast<std::uint32_t>(picture.height));  // positive: bottom-up rows
  Put16(h + 26, 1);
  Put16(h + 28, 24);
  Put32(h + 34, static_cast<std::uint32_t>(image_bytes));
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* src =
        picture.bgr.data() + static_cast<std::size_t>(picture.height - 1 - y) * row_bytes;
    std::memcpy(out.data() + 54 + static_cast<std::size_t>(y) * stride, src, row_bytes);
  }
  return out;
}

bool WriteBmp(const std::string& path, const Picture& picture) {
  const std::vector<std::uint8_t> bytes = EncodeBmp(picture);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

}  // namespace vxgen
