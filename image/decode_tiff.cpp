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

int MapProc(thandle_t, void**, toff_t*) { return 0; }

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

// Every strip or tile the directory lists must lie inside the file. This
// refuses pictures whose data is missing before the raster is allocated,
// and keeps libtiff away from its reads past the end of a file, where
// libtiff 4.5.0 writes before the start of its read buffer.
bool StripsInsideFile(TIFF* tif, std::uint64_t file_size) {
  const std::uint32_t count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  if (count == 0) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    int error = 0;
    const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tif, i, &error);
    const std::uint64_t length = TIFFGetStrileByteCountWithErr(tif, i, &error);
    if (error != 0 || offset > file_size || length > file_size - offset) return false;
  }
  return true;
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
  // "rm": read only, never memory-mapped (reads go through ReadProc).
  std::unique_ptr<TIFF, TiffDeleter> tif(TIFFClientOpenExt("picture", "rm", &file, ReadProc, WriteProc,
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
  if (!StripsInsideFile(tif.get(), bytes.size)) return false;

  const std::size_t count = static_cast<std::size_t>(width) * height;
  std::unique_ptr<std::uint32_t[]> raster(new std::uint32_t[count]);
  // Bottom line first, like the decoded picture; stop at the first damaged strip or tile.
  if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.get(), ORIENTATION_BOTLEFT, 1))
    return false;
  if (!AllocatePicture(width, height, limits, out)) return false;
  for (int y = 0; y < out->height; ++y) {
    const std::uint32_t* src = raster.get() + static_cast<std::size_t>(y) * width;
    unsigned char* dst = out->Row(y);
    for (int x = 0; x < out->width; ++x) {
      const std::uint32_t p = src[x];
      const std::uint32_t a = TIFFGetA(p);
      PutBgr(dst, x, PremultipliedOverWhite(TIFFGetB(p), a), PremultipliedOverWhite(TIFFGetG(p), a),
             PremultipliedOverWhite(TIFFGetR(p), a));
    }
  }
  return true;
}

}  // namespace vx
