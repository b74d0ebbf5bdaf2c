// The PNG, JPEG, TIFF and GIF writers, made with the libraries' own writers.
#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "support/images.h"
#include "support/picture_writers.h"

namespace vxtest {

namespace {

// Sets `depth` bits at sample position i of a packed row (depth 1 .. 8, 16).
void PutSample(Bytes& row, size_t i, int depth, std::uint8_t v) {
  if (depth == 16) {
    row[2 * i] = row[2 * i + 1] = v;
  } else {
    const size_t bit = i * depth;
    row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - depth - bit % 8));
  }
}

}  // namespace

Bytes WritePng(const TestPicture& picture, const PngOptions& o) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + n);
      },
      [](png_structp) {});
  static constexpr int kTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_PALETTE,
                                   PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA};
  png_set_IHDR(png, info, picture.width, picture.height, o.depth, kTypes[static_cast<int>(o.color)],
               o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  const bool palette = o.color == PngColor::kPalette;
  const Indexed indexed = palette ? IndexColors(picture) : Indexed{};
  std::vector<png_color> entries;
  std::vector<png_byte> alpha;
  for (const Rgba& c : indexed.colors) entries.push_back({c.r, c.g, c.b}), alpha.push_back(c.a);
  if (palette) png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
  if (palette && o.palette_transparency)
    png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  png_write_info(png, info);
  const bool gray = o.color == PngColor::kGray || o.color == PngColor::kGrayAlpha,
             with_alpha = o.color == PngColor::kGrayAlpha || o.color == PngColor::kRgba;
  const int channels = (gray || palette ? 1 : 3) + with_alpha;
  std::vector<Bytes> rows(picture.height, Bytes((picture.width * channels * o.depth + 7) / 8, 0));
  std::vector<png_bytep> pointers;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      const size_t i = static_cast<size_t>(y) * picture.width + x;
      Bytes v = palette ? Bytes{static_cast<std::uint8_t>(indexed.index[i])}
                : gray  ? Bytes{p.r}
                        : Bytes{p.r, p.g, p.b};
      if (with_alpha) v.push_back(p.a);
      for (int c = 0; c < channels; ++c)  // gray below 8 bits keeps the top bits
        PutSample(rows[y], static_cast<size_t>(x) * channels + c, o.depth,
                  !palette && o.depth < 8 ? v[c] >> (8 - o.depth) : v[c]);
    }
    pointers.push_back(rows[y].data());
  }
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes WriteJpeg(const TestPicture& picture, const JpegOptions& o) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = picture.width;
  cinfo.image_height = picture.height;
  cinfo.input_components = o.gray ? 1 : o.cmyk ? 4 : 3;
  cinfo.in_color_space = o.gray ? JCS_GRAYSCALE : o.cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, o.quality, TRUE);
  if (o.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    Bytes row;
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, static_cast<int>(cinfo.next_scanline));
      const std::uint8_t v[4] = {p.r, p.g, p.b, 255};  // CMYK: inverted, without black
      row.insert(row.end(), v, v + cinfo.input_components);
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&cinfo, &pointer, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  free(buffer);
  return out;
}

std::vector<std::uint8_t> JpegReference(const Bytes& jpeg) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const size_t stride = (3 * cinfo.output_width + 3) / 4 * 4, height = cinfo.output_height;
  std::vector<std::uint8_t> out(stride * height, 0);
  while (cinfo.output_scanline < height) {
    JSAMPROW row = out.data() + (height - 1 - cinfo.output_scanline) * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

Bytes WriteTiff(const TestPicture& picture, const TiffOptions& o) {
  using C = TiffColor;
  const std::string path = TempPath("writer.tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  const int samples = o.color == C::kRgba ? 4 : (o.color == C::kRgb || o.color == C::kRgb16) ? 3 : 1;
  const int bits = o.color == C::kBilevel ? 1 : o.color == C::kRgb16 ? 16 : 8;
  static constexpr int kCompression[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE,
                                         COMPRESSION_PACKBITS};
  static constexpr int kPhotometric[] = {PHOTOMETRIC_RGB,        PHOTOMETRIC_RGB,     PHOTOMETRIC_MINISBLACK,
                                         PHOTOMETRIC_MINISWHITE, PHOTOMETRIC_PALETTE, PHOTOMETRIC_RGB};
  for (auto [tag, value] : {std::pair{TIFFTAG_IMAGEWIDTH, picture.width},
                            {TIFFTAG_IMAGELENGTH, picture.height},
                            {TIFFTAG_SAMPLESPERPIXEL, samples},
                            {TIFFTAG_BITSPERSAMPLE, bits},
                            {TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG},
                            {TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT},
                            {TIFFTAG_COMPRESSION, kCompression[static_cast<int>(o.compression)]},
                            {TIFFTAG_PHOTOMETRIC, kPhotometric[static_cast<int>(o.color)]}})
    TIFFSetField(tif, tag, value);
  const Indexed indexed = o.color == C::kPalette ? IndexColors(picture) : Indexed{};
  std::vector<std::uint16_t> map[3] = {std::vector<std::uint16_t>(256), std::vector<std::uint16_t>(256),
                                       std::vector<std::uint16_t>(256)};
  for (size_t i = 0; i < indexed.colors.size(); ++i) {
    const Rgba& c = indexed.colors[i];
    map[0][i] = c.r * 257, map[1][i] = c.g * 257, map[2][i] = c.b * 257;
  }
  if (o.color == C::kPalette)
    TIFFSetField(tif, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
  const std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
  if (o.color == C::kRgba) TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
  // One line of samples in the file's layout.
  auto line = [&](int y) {
    Bytes out((static_cast<size_t>(picture.width) * samples * bits + 7) / 8, 0);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      const std::uint8_t v[4] = {p.r, p.g, p.b, p.a};
      if (o.color == C::kBilevel)
        PutSample(out, x, 1, p.r < 128);
      else if (o.color == C::kPalette)
        out[x] = static_cast<std::uint8_t>(indexed.index[y * picture.width + x]);
      else
        for (int c = 0; c < samples; ++c) PutSample(out, static_cast<size_t>(x) * samples + c, bits, v[c]);
    }
    return out;
  };
  if (o.tiled) {
    constexpr int kTile = 16;
    const size_t pixel = static_cast<size_t>(samples) * bits / 8;
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, kTile);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, kTile);
    for (int ty = 0; ty < picture.height; ty += kTile) {
      for (int tx = 0; tx < picture.width; tx += kTile) {
        Bytes tile(TIFFTileSize(tif), 0);
        for (int y = ty; y < std::min(ty + kTile, picture.height); ++y) {
          const Bytes row = line(y);
          std::copy(row.begin() + tx * pixel, row.begin() + std::min(tx + kTile, picture.width) * pixel,
                    tile.begin() + (y - ty) * kTile * pixel);
        }
        TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0);
      }
    }
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 3);
    for (int y = 0; y < picture.height; ++y) TIFFWriteScanline(tif, line(y).data(), y, 0);
  }
  TIFFClose(tif);
  Bytes out = ReadFile(path);
  std::remove(path.c_str());
  return out;
}

Bytes WriteGif(const TestPicture& picture, const GifOptions& o) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(
      &out,
      [](GifFileType* g, const GifByteType* data, int n) {
        auto* bytes = static_cast<Bytes*>(g->UserData);
        bytes->insert(bytes->end(), data, data + n);
        return n;
      },
      &error);
  Indexed indexed = IndexColors(picture);
  for (size_t i = 0; i < indexed.index.size() && o.transparent_index >= 0; ++i)
    if (picture.px[i].a == 0) indexed.index[i] = o.transparent_index;
  int size = 2;
  while (size < static_cast<int>(indexed.colors.size()) || size <= o.transparent_index) size *= 2;
  std::vector<GifColorType> entries(size, GifColorType{0, 0, 0});
  for (size_t i = 0; i < indexed.colors.size(); ++i)
    entries[i] = {indexed.colors[i].r, indexed.colors[i].g, indexed.colors[i].b};
  ColorMapObject* map = GifMakeMapObject(size, entries.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map);
  if (o.transparent_index >= 0) {
    GraphicsControlBlock control{};
    control.TransparentColor = o.transparent_index;
    GifByteType block[4];
    EGifGCBToExtension(&control, block);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
  }
  std::vector<int> order;  // lines in the four interlace passes
  for (int pass = 0; pass < 4; ++pass)
    for (int y = (8 >> pass) % 8; y < picture.height; y += pass == 0 ? 8 : 16 >> pass) order.push_back(y);
  std::vector<GifPixelType> line(picture.width);
  for (int frame = 0; frame < (o.second_frame ? 2 : 1); ++frame) {
    EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, frame == 0 && o.interlaced, nullptr);
    for (int y = 0; y < picture.height; ++y) {
      const int row = frame == 0 && o.interlaced ? order[y] : y;
      for (int x = 0; x < picture.width; ++x)
        line[x] = static_cast<GifPixelType>(frame == 0 ? indexed.index[row * picture.width + x] : size - 1);
      EGifPutLine(gif, line.data(), picture.width);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

}  // namespace vxtest
