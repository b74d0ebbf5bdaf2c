// TIFF through libtiff: the first page, in any photometric interpretation,
// bit depth and compression libtiff's RGBA reader handles (bilevel scanner
// pages, gray, palette, RGB, 16-bit, CMYK, YCbCr, with or without alpha).
// libtiff reports errors by return codes; its messages go to handlers that
// say nothing, set per file so the host's own libtiff handlers are untouched.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

#include "image/picture_decode.h"

namespace vx {

namespace {

// libtiff allocates whole strips or tiles; none may be larger than this
// (8 bytes per pixel covers 16-bit RGBA), and never over 2 GiB.
constexpr std::uint64_t kMaxAllocPerPixel = 8;
constexpr std::uint64_t kMaxSingleAlloc = std::uint64_t{1} << 31;

struct MemoryFile {
  ByteView bytes;        // the whole file
  std::uint64_t at = 0;  // read position
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (size < 0 || file->at > file->bytes.size) return -1;
  const std::uint64_t count =
      std::min<std::uint64_t>(static_cast<std::uint64_t>(size), file->bytes.size - file->at);
  std::memcpy(buffer, file->bytes.data + file->at, count);
  file->at += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  std::uint64_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? file->bytes.size : 0;
  if (offset > UINT64_MAX - base) return static_cast<toff_t>(-1);
  file->at = base + offset;
  return file->at;
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size; }

// The file is already in memory: libtiff reads strips and tiles in place
// from it instead of copying each into a buffer of its own. libtiff only
// reads a mapped file, so the bytes stay as the caller gave them.
int MapProc(thandle_t handle, void** base, toff_t* size) {
  auto* file = static_cast<MemoryFile*>(handle);
  *base = const_cast<unsigned char*>(file->bytes.data);
  *size = file->bytes.size;
  return file->bytes.size > 0 ? 1 : 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

int Silent(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

struct TiffDeleter {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};

// libtiff packs R in the low byte and A in the high byte. Its RGBA reader
// gives colour premultiplied by alpha for both associated and unassociated
// alpha, so laying it over white adds the missing share of white.
inline unsigned char PremultipliedOverWhite(std::uint32_t c, std::uint32_t a) {
  return static_cast<unsigned char>(std::min<std::uint32_t>(255, c + 255 - a));
}

// Most bytes one stored byte can decode to, by compression. Raw data: 1.
// PackBits: a 2-byte run gives 128 bytes. LZW: a code of at least 9 bits
// gives at most 4096 bytes. Deflate: 1032 at most. JPEG: a flat block costs
// a few bits for 64 samples; 1024 is far above any real file. CCITT fax
// codes can spend a single bit on a blank row, so a row of any width may
// cost one bit. Other codecs (zstd, LZMA and the like) compress flat data
// further still and get a generous 2^16.
std::uint64_t MaxExpansion(std::uint16_t compression, std::uint64_t scanline_bytes) {
  switch (compression) {
    case COMPRESSION_NONE:
      return 1;
    case COMPRESSION_PACKBITS:
      return 64;
    case COMPRESSION_LZW:
      return 4096 * 8 / 9 + 1;
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
      return 1032;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG:
      return 1024;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
      return 8 * std::max<std::uint64_t>(scanline_bytes, 1);
    default:
      return std::uint64_t{1} << 16;
  }
}

// Every strip or tile the directory lists must lie inside the file and be
// long enough to decode to the rows it stands for, at the compression's
// largest expansion. This refuses pictures whose data is missing or far too
// short (a 134-byte file claiming 30000 x 30000) before any raster is
// allocated, and keeps libtiff away from its reads past the end of a file,
// where libtiff 4.5.0 writes before the start of its read buffer.
bool StripsHoldPicture(TIFF* tif, std::uint32_t height, std::uint64_t file_size) {
  const bool tiled = TIFFIsTiled(tif);
  const std::uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  if (count == 0) return false;
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  const std::uint64_t expansion = MaxExpansion(compression, TIFFScanlineSize64(tif));
  std::uint32_t rows_per_strip = height;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows_per_strip);
  rows_per_strip = std::clamp<std::uint32_t>(rows_per_strip, 1, height);
  const std::uint32_t strips_per_plane = (height - 1) / rows_per_strip + 1;
  for (std::uint32_t i = 0; i < count; ++i) {
    int error = 0;
    const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tif, i, &error);
    const std::uint64_t length = TIFFGetStrileByteCountWithErr(tif, i, &error);
    if (error != 0 || offset > file_size || length > file_size - offset) return false;
    std::uint64_t decoded = 0;
    if (tiled) {
      decoded = TIFFTileSize64(tif);
    } else {
      // The last strip of each plane holds only the rows that are left.
      const std::uint32_t first_row = (i % strips_per_plane) * rows_per_strip;
      decoded = TIFFVStripSize64(tif, std::min(rows_per_strip, height - first_row));
    }
    if (decoded == 0 || decoded / expansion > length) return false;
  }
  return true;
}

// Turns the RGBA raster (R in the low byte, bottom line first, width
// entries a row) into B, G, R rows with the picture's stride, in the same
// block: each output row is no longer than its input row and starts no
// later, so nothing is overwritten before it is read.
void RasterToBgrInPlace(unsigned char* block, std::uint32_t width, std::uint32_t height, std::size_t stride) {
  const std::size_t in_row = static_cast<std::size_t>(width) * 4;
  for (std::uint32_t y = 0; y < height; ++y) {
    const unsigned char* src = block + y * in_row;
    unsigned char* dst = block + y * stride;
    for (std::uint32_t x = 0; x < width; ++x, src += 4, dst += 3) {
      std::uint32_t p;
      std::memcpy(&p, src, sizeof p);
      const std::uint32_t a = TIFFGetA(p);
      const unsigned char b = PremultipliedOverWhite(TIFFGetB(p), a);
      const unsigned char g = PremultipliedOverWhite(TIFFGetG(p), a);
      const unsigned char r = PremultipliedOverWhite(TIFFGetR(p), a);
      dst[0] = b;
      dst[1] = g;
      dst[2] = r;
    }
    std::memset(block + y * stride + 3 * static_cast<std::size_t>(width), 0,
                stride - 3 * static_cast<std::size_t>(width));
  }
}

}  // namespace

bool DecodeTiff(ByteView bytes, const PictureLimits& limits, Picture* out) {
  std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (!options) return false;
  const std::uint64_t max_alloc =
      std::min(kMaxSingleAlloc, kMaxAllocPerPixel * static_cast<std::uint64_t>(limits.max_pixels));
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(max_alloc));
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Silent, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Silent, nullptr);

  MemoryFile file{bytes, 0};
  // "r": read only, mapped (MapProc). Unmapped reading of uncompressed
  // tiles fails in libtiff 4.5 for pictures whose edge tiles run past the
  // picture; mapped reading takes them as they are.
  std::unique_ptr<TIFF, TiffDeleter> tif(TIFFClientOpenExt("picture", "r", &file, ReadProc, WriteProc,
                                                           SeekProc, CloseProc, SizeProc, MapProc, UnmapProc,
                                                           options.get()));
  if (!tif) return false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height)) {
    return false;
  }
  if (!PictureSizeAllowed(width, height, limits)) return false;
  char message[1024];
  if (!TIFFRGBAImageOK(tif.get(), message)) return false;
  if (!StripsHoldPicture(tif.get(), height, bytes.size)) return false;

  // The raster (4 bytes a pixel) is allocated only now that the directory
  // has been checked, and becomes the picture's own buffer: the 3-byte
  // rows are packed into it in place (stride x height is never more than
  // 4 x width x height), so no second picture-sized buffer is needed. The
  // block stays as long as it was allocated; DeleteImg releases it whole.
  const std::size_t raster_bytes = static_cast<std::size_t>(width) * height * 4;
  OwnedBytes block(AllocBytes(raster_bytes));
  // Bottom line first, like the decoded picture; stop at the first damaged strip or tile.
  if (!TIFFReadRGBAImageOriented(tif.get(), width, height, reinterpret_cast<std::uint32_t*>(block.get()),
                                 ORIENTATION_BOTLEFT, 1))
    return false;
  const std::size_t stride = static_cast<std::size_t>(StrideFor(width, 3));
  RasterToBgrInPlace(block.get(), width, height, stride);
  out->bits = std::move(block);
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->stride = static_cast<int>(stride);
  return true;
}

}  // namespace vx
