// Writes the fuzzers' seed corpus: small valid pictures of every format and
// variant the readers take, made by the tests' own writers.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/picture_writers.h"

namespace {

using vxtest::Bytes;
using vxtest::TestPicture;
using vxtest::WithAlpha;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const TestPicture rgb = vxtest::RandomPicture(9, 7, 1);
  const TestPicture few = vxtest::RandomPicture(9, 7, 2, 4);
  const TestPicture many = vxtest::RandomPicture(9, 7, 3, 40);
  const TestPicture gray = vxtest::RandomPicture(9, 7, 4, 0, true);

  std::vector<std::pair<std::string, std::function<Bytes()>>> seeds;
  auto bmp = [&](const std::string& name, const TestPicture& p, vxtest::BmpOptions o) {
    seeds.emplace_back(name + ".bmp", [=] { return vxtest::WriteBmp(p, o); });
  };
  using vxtest::BmpCompression;
  bmp("bmp-24", rgb, {});
  bmp("bmp-24-topdown", rgb, {24, BmpCompression::kNone, true});
  bmp("bmp-24-core", rgb, {24, BmpCompression::kNone, false, true});
  bmp("bmp-1", vxtest::RandomPicture(9, 7, 5, 2), {1});
  bmp("bmp-4", few, {4});
  bmp("bmp-8", many, {8});
  bmp("bmp-16", rgb, {16});
  bmp("bmp-32", rgb, {32});
  bmp("bmp-16-565", rgb, {16, BmpCompression::kBitFields, false, false, 40, {0xF800, 0x07E0, 0x001F, 0}});
  bmp("bmp-32-alpha-v5", WithAlpha(rgb),
      {32, BmpCompression::kBitFields, false, false, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}});
  bmp("bmp-rle8", few, {8, BmpCompression::kRle8});
  bmp("bmp-rle4-deltas", few, {4, BmpCompression::kRle4, false, false, 40, {}, 0, true});
  using vxtest::PngColor;
  for (const auto& entry : std::vector<std::pair<std::string, vxtest::PngOptions>>{
           {"png-gray-1", {PngColor::kGray, 1}},
           {"png-gray-16", {PngColor::kGray, 16}},
           {"png-palette-trns", {PngColor::kPalette, 8, false, true}},
           {"png-rgb", {PngColor::kRgb, 8}},
           {"png-rgba-16-interlaced", {PngColor::kRgba, 16, true}},
       }) {
    const vxtest::PngOptions options = entry.second;
    const TestPicture& p = options.color == PngColor::kGray      ? gray
                           : options.color == PngColor::kPalette ? many
                                                                 : rgb;
    seeds.emplace_back(entry.first + ".png",
                       [p, options] { return vxtest::WritePng(WithAlpha(p), options); });
  }
  seeds.emplace_back("jpeg-baseline.jpg", [&] { return vxtest::WriteJpeg(rgb); });
  seeds.emplace_back("jpeg-gray.jpg", [&] { return vxtest::WriteJpeg(gray, {true}); });
  seeds.emplace_back("jpeg-progressive.jpg", [&] { return vxtest::WriteJpeg(rgb, {false, true}); });
  using vxtest::TiffColor;
  using vxtest::TiffCompression;
  seeds.emplace_back("tiff-rgb-lzw.tif", [&] {
    return vxtest::WriteTiff(rgb, {TiffColor::kRgb, TiffCompression::kLzw});
  });
  seeds.emplace_back("tiff-bilevel.tif", [&] {
    return vxtest::WriteTiff(gray, {TiffColor::kBilevel, TiffCompression::kPackBits});
  });
  seeds.emplace_back("tiff-palette-tiled.tif", [&] {
    return vxtest::WriteTiff(many, {TiffColor::kPalette, TiffCompression::kNone, true});
  });
  seeds.emplace_back("tiff-rgba-deflate.tif", [&] {
    return vxtest::WriteTiff(WithAlpha(rgb), {TiffColor::kRgba, TiffCompression::kDeflate});
  });
  seeds.emplace_back("gif.gif", [&] { return vxtest::WriteGif(many); });
  seeds.emplace_back("gif-interlaced-two-frames.gif", [&] {
    return vxtest::WriteGif(many, {true, 3, true});
  });

  for (const auto& [name, make] : seeds) vxtest::WriteFile((folder / name).string(), make());
  std::printf("%zu seeds in %s\n", seeds.size(), folder.c_str());
  return 0;
}
