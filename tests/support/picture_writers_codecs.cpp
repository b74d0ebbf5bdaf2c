// The PNG, JPEG, TIFF and GIF writers of picture_writers.h, made with the
// libraries' own write interfaces.
#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <map>
#include <stdexcept>

#include <jpeglib.h>

#include "support/images.h"
#include "support/picture_writers.h"

namespace vxtest {

namespace {

void AppendPng(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushPng(png_structp) {}

std::uint8_t Gray(const Rgba& p) { return p.r; }

// Palette of the picture's colours in order of first appearance.
std::vector<Rgba> Colors(const TestPicture& picture, std::vector<int>* index) {
  std::vector<Rgba> colors;
  std::map<std::uint32_t, int> seen;
  for (const Rgba& p : picture.px) {
    std::uint32_t key = p.r | (p.g << 8) | (p.b << 16) | (static_cast<std::uint32_t>(p.a) << 24);
    auto [it, added] = seen.emplace(key, static_cast<int>(colors.size()));
    if (added) colors.push_back(p);
    index->push_back(it->second);
  }
  if (colors.size() > 256) throw std::runtime_error("too many colours");
  return colors;
}

}  // namespace

Bytes WritePng(const TestPicture& picture, const PngOptions& o) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendPng, FlushPng);
  static constexpr int kTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_PALETTE,
                                   PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA};
  static constexpr int kChannels[] = {1, 2, 1, 3, 4};
  const int kind = static_cast<int>(o.color);
  png_set_IHDR(png, info, picture.width, picture.height, o.depth, kTypes[kind],
               o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<int> index;
  if (o.color == PngColor::kPalette) {
    std::vector<Rgba> colors = Colors(picture, &index);
    std::vector<png_color> entries;
    std::vector<png_byte> alpha;
    for (const Rgba& c : colors) {
      entries.push_back({c.r, c.g, c.b});
      alpha.push_back(c.a);
    }
    png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
    if (o.palette_transparency)
      png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  }
  png_write_info(png, info);
  const int channels = kChannels[kind];
  const size_t row_bytes = (static_cast<size_t>(picture.width) * channels * o.depth + 7) / 8;
  std::vector<Bytes> rows(picture.height, Bytes(row_bytes, 0));
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      std::uint8_t values[4];
      int n = 0;
      if (o.color == PngColor::kPalette) {
        values[n++] = static_cast<std::uint8_t>(index[static_cast<size_t>(y) * picture.width + x]);
      } else if (o.color == PngColor::kGray || o.color == PngColor::kGrayAlpha) {
        values[n++] = Gray(p);
      } else {
        values[n++] = p.r;
        values[n++] = p.g;
        values[n++] = p.b;
      }
      if (o.color == PngColor::kGrayAlpha || o.color == PngColor::kRgba) values[n++] = p.a;
      for (int c = 0; c < n; ++c) {
        size_t sample = static_cast<size_t>(x) * channels + c;
        if (o.depth == 16) {
          rows[y][2 * sample] = rows[y][2 * sample + 1] = values[c];
        } else if (o.depth == 8) {
          rows[y][sample] = values[c];
        } else {
          std::uint8_t v = o.color == PngColor::kPalette ? values[c] : values[c] >> (8 - o.depth);
          size_t bit = sample * o.depth;
          rows[y][bit / 8] |= static_cast<std::uint8_t>(v << (8 - o.depth - bit % 8));
        }
      }
    }
  }
  std::vector<png_bytep> pointers;
  for (Bytes& row : rows) pointers.push_back(row.data());
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
  Bytes row(static_cast<size_t>(picture.width) * 4);
  while (cinfo.next_scanline < cinfo.image_height) {
    int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      if (o.gray) {
        row[x] = Gray(p);
      } else if (o.cmyk) {
        // Inverted CMYK with no black: the stored values are R, G, B, 255.
        row[4 * x] = p.r;
        row[4 * x + 1] = p.g;
        row[4 * x + 2] = p.b;
        row[4 * x + 3] = 255;
      } else {
        row[3 * x] = p.r;
        row[3 * x + 1] = p.g;
        row[3 * x + 2] = p.b;
      }
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

std::vector<std::uint8_t> JpegReference(const Bytes& jpeg, int* width, int* height) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  *width = static_cast<int>(cinfo.output_width);
  *height = static_cast<int>(cinfo.output_height);
  int stride = (3 * *width + 3) / 4 * 4;
  std::vector<std::uint8_t> out(static_cast<size_t>(stride) * *height, 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row =
        out.data() + static_cast<size_t>(*height - 1 - static_cast<int>(cinfo.output_scanline)) * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

Bytes WriteTiff(const TestPicture& picture, const TiffOptions& o) {
  std::string path = TempPath("writer.tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  const bool bilevel = o.color == TiffColor::kBilevel;
  const int samples = o.color == TiffColor::kRgba                                    ? 4
                      : (o.color == TiffColor::kRgb || o.color == TiffColor::kRgb16) ? 3
                                                                                     : 1;
  const int bits = bilevel ? 1 : o.color == TiffColor::kRgb16 ? 16 : 8;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, picture.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, picture.height);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  static constexpr int kCompression[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE,
                                         COMPRESSION_PACKBITS};
  TIFFSetField(tif, TIFFTAG_COMPRESSION, kCompression[static_cast<int>(o.compression)]);
  std::vector<int> index;
  std::vector<std::uint16_t> map[3];
  switch (o.color) {
    case TiffColor::kGray:
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
      break;
    case TiffColor::kBilevel:
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
      break;
    case TiffColor::kPalette: {
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
      std::vector<Rgba> colors = Colors(picture, &index);
      for (auto& m : map) m.assign(256, 0);
      for (size_t i = 0; i < colors.size(); ++i) {
        map[0][i] = colors[i].r * 257;
        map[1][i] = colors[i].g * 257;
        map[2][i] = colors[i].b * 257;
      }
      TIFFSetField(tif, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
      break;
    }
    case TiffColor::kRgba: {
      std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
      TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
      break;
    }
    default:
      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  }
  // One line of samples in the file's layout.
  const size_t line_bytes = (static_cast<size_t>(picture.width) * samples * bits + 7) / 8;
  auto line = [&](int y, Bytes& out) {
    out.assign(line_bytes, 0);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      if (bilevel) {
        if (p.r < 128) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else if (o.color == TiffColor::kGray) {
        out[x] = Gray(p);
      } else if (o.color == TiffColor::kPalette) {
        out[x] = static_cast<std::uint8_t>(index[static_cast<size_t>(y) * picture.width + x]);
      } else {
        std::uint8_t v[4] = {p.r, p.g, p.b, p.a};
        for (int c = 0; c < samples; ++c) {
          if (bits == 16) {
            out[2 * (x * samples + c)] = out[2 * (x * samples + c) + 1] = v[c];
          } else {
            out[x * samples + c] = v[c];
          }
        }
      }
    }
  };
  Bytes buffer;
  if (o.tiled) {
    constexpr int kTile = 16;
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, kTile);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, kTile);
    const size_t pixel_bits = static_cast<size_t>(samples) * bits;
    Bytes tile(TIFFTileSize(tif), 0);
    for (int ty = 0; ty < picture.height; ty += kTile) {
      for (int tx = 0; tx < picture.width; tx += kTile) {
        std::fill(tile.begin(), tile.end(), 0);
        for (int y = ty; y < std::min(ty + kTile, picture.height); ++y) {
          line(y, buffer);
          for (int x = tx; x < std::min(tx + kTile, picture.width); ++x) {
            for (size_t b = 0; b < pixel_bits; ++b) {
              size_t from = x * pixel_bits + b;
              size_t to = ((y - ty) * kTile + (x - tx)) * pixel_bits + b;
              if (buffer[from / 8] & (0x80 >> (from % 8)))
                tile[to / 8] |= static_cast<std::uint8_t>(0x80 >> (to % 8));
            }
          }
        }
        TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0);
      }
    }
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, o.rows_per_strip);
    for (int y = 0; y < picture.height; ++y) {
      line(y, buffer);
      TIFFWriteScanline(tif, buffer.data(), y, 0);
    }
  }
  TIFFClose(tif);
  Bytes out = ReadFile(path);
  std::remove(path.c_str());
  return out;
}

namespace {

int AppendGif(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

void PutGifFrame(GifFileType* gif, const TestPicture& picture, const std::vector<int>& index,
                 bool interlaced) {
  EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, interlaced, nullptr);
  std::vector<int> order;
  if (interlaced) {
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < picture.height; y += step[pass]) order.push_back(y);
  } else {
    for (int y = 0; y < picture.height; ++y) order.push_back(y);
  }
  std::vector<GifPixelType> line(picture.width);
  for (int y : order) {
    for (int x = 0; x < picture.width; ++x)
      line[x] = static_cast<GifPixelType>(index[static_cast<size_t>(y) * picture.width + x]);
    EGifPutLine(gif, line.data(), picture.width);
  }
}

}  // namespace

Bytes WriteGif(const TestPicture& picture, const GifOptions& o) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGif, &error);
  std::vector<int> index;
  std::vector<Rgba> colors = Colors(picture, &index);
  if (o.transparent_index >= 0) {
    for (size_t i = 0; i < index.size(); ++i)
      if (picture.px[i].a == 0) index[i] = o.transparent_index;
  }
  int size = 2;
  while (size < static_cast<int>(colors.size()) || size <= o.transparent_index) size *= 2;
  std::vector<GifColorType> entries(size, GifColorType{0, 0, 0});
  for (size_t i = 0; i < colors.size(); ++i) entries[i] = {colors[i].r, colors[i].g, colors[i].b};
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
  PutGifFrame(gif, picture, index, o.interlaced);
  if (o.second_frame) {
    std::vector<int> other(index.size(), size - 1);
    PutGifFrame(gif, picture, other, false);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

}  // namespace vxtest
