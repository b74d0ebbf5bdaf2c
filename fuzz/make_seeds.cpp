// Writes the fuzzers' seed corpus: small valid pictures of every format and
// variant the readers take, made by the tests' own writers.
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/picture_writers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  using namespace vxtest;  // NOLINT: the writers and their options
  using C = BmpCompression;
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const TestPicture rgb = RandomPicture(9, 7, 1), few = RandomPicture(9, 7, 2, 4),
                    many = RandomPicture(9, 7, 3, 40), gray = RandomPicture(9, 7, 4, 0, true);
  int count = 0;
  auto seed = [&](const std::string& name, const Bytes& bytes) {
    WriteFile((folder / name).string(), bytes);
    ++count;
  };
  seed("bmp-24.bmp", WriteBmp(rgb));
  seed("bmp-24-topdown.bmp", WriteBmp(rgb, {.top_down = true}));
  seed("bmp-24-core.bmp", WriteBmp(rgb, {.core_header = true}));
  seed("bmp-1.bmp", WriteBmp(RandomPicture(9, 7, 5, 2), {.bits = 1}));
  seed("bmp-4.bmp", WriteBmp(few, {.bits = 4}));
  seed("bmp-8.bmp", WriteBmp(many, {.bits = 8}));
  seed("bmp-16.bmp", WriteBmp(rgb, {.bits = 16}));
  seed("bmp-32.bmp", WriteBmp(rgb, {.bits = 32}));
  seed("bmp-16-565.bmp",
       WriteBmp(rgb, {.bits = 16, .compression = C::kBitFields, .masks = {0xF800, 0x07E0, 0x001F, 0}}));
  seed("bmp-32-alpha-v5.bmp", WriteBmp(WithAlpha(rgb), {.bits = 32,
                                                        .compression = C::kBitFields,
                                                        .info_size = 124,
                                                        .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}}));
  seed("bmp-rle8.bmp", WriteBmp(few, {.bits = 8, .compression = C::kRle8}));
  seed("bmp-rle4-deltas.bmp", WriteBmp(few, {.bits = 4, .compression = C::kRle4, .rle_deltas = true}));
  seed("png-gray-1.png", WritePng(gray, {PngColor::kGray, 1}));
  seed("png-gray-16.png", WritePng(gray, {PngColor::kGray, 16}));
  seed("png-palette-trns.png", WritePng(WithAlpha(many), {PngColor::kPalette, 8, false, true}));
  seed("png-rgb.png", WritePng(rgb));
  seed("png-rgba-16-interlaced.png", WritePng(WithAlpha(rgb), {PngColor::kRgba, 16, true}));
  seed("jpeg-baseline.jpg", WriteJpeg(rgb));
  seed("jpeg-gray.jpg", WriteJpeg(gray, {.gray = true}));
  seed("jpeg-progressive.jpg", WriteJpeg(rgb, {.progressive = true}));
  seed("tiff-rgb-lzw.tif", WriteTiff(rgb, {TiffColor::kRgb, TiffCompression::kLzw}));
  seed("tiff-bilevel.tif", WriteTiff(gray, {TiffColor::kBilevel, TiffCompression::kPackBits}));
  seed("tiff-palette-tiled.tif", WriteTiff(many, {TiffColor::kPalette, TiffCompression::kNone, true}));
  seed("tiff-rgba-deflate.tif", WriteTiff(WithAlpha(rgb), {TiffColor::kRgba, TiffCompression::kDeflate}));
  seed("gif.gif", WriteGif(many));
  seed("gif-interlaced-two-frames.gif", WriteGif(many, {true, 3, true}));
  std::printf("%d seeds in %s\n", count, folder.c_str());
  return 0;
}
