// PNG through libpng. libpng reports errors by jumping back to a setjmp
// point; the jump is confined to DecodePngRows, a C-style function that
// holds no object with a destructor, and to the read callback. Everything
// with a destructor lives in DecodePng, above the jump.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "image/picture_decode.h"

namespace vx {

namespace {

// Chunks of ancillary data (text, profiles) larger than this are refused.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
// At most this many unknown or sPLT chunks are kept.
constexpr png_uint_32 kMaxCachedChunks = 128;
// Deflate turns one compressed byte into at most 1032 bytes (a 258-byte
// match coded in 2 bits), so a picture whose rows need more than 1032 times
// the bytes of all IDAT chunks cannot be complete; 64 KiB of slack covers
// stream headers.
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::uint64_t kInflateSlack = 64u << 10;

struct PngJob {
  ByteView bytes;      // the whole file
  std::size_t at = 0;  // read position
  const PictureLimits* limits = nullptr;
  Picture* out = nullptr;
  std::vector<unsigned char>* scratch = nullptr;  // BGRA rows of pictures with alpha
  std::vector<png_bytep>* rows = nullptr;         // row pointers, top line first
};

std::uint32_t Be32(const unsigned char* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

// Walks the chunks without decoding anything: false when the IHDR sizes
// break the limits or need more image data than the IDAT chunks can hold.
bool ChunksCanHoldPicture(ByteView bytes, const PictureLimits& limits) {
  std::size_t at = 8;
  std::uint64_t idat = 0;
  std::uint64_t raw = 0;
  bool have_header = false;
  while (at + 8 <= bytes.size) {
    const std::uint64_t length = Be32(bytes.data + at);
    const unsigned char* type = bytes.data + at + 4;
    if (length > bytes.size - at - 8) break;
    if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13 && !have_header) {
      const unsigned char* d = type + 4;
      const std::int64_t width = Be32(d);
      const std::int64_t height = Be32(d + 4);
      if (!PictureSizeAllowed(width, height, limits)) return false;
      static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
      const int channels = d[9] < 7 ? kChannels[d[9]] : 0;
      raw = static_cast<std::uint64_t>(height) *
            (1 + (static_cast<std::uint64_t>(width) * channels * d[8] + 7) / 8);
      have_header = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      idat += length;
    }
    at += 8 + length + 4;
  }
  return !have_header || raw <= idat * kMaxInflateRatio + kInflateSlack;
}

void ReadFromBuffer(png_structp png, png_bytep data, size_t length) {
  PngJob* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (length > job->bytes.size - job->at) png_error(png, "file ends early");
  std::memcpy(data, job->bytes.data + job->at, length);
  job->at += length;
}

void ErrorExit(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

// Sizes the buffers through the job (their owners live in DecodePng).
bool PrepareOutput(PngJob* job, png_uint_32 width, png_uint_32 height, bool alpha) {
  if (!AllocatePicture(width, height, *job->limits, PixelStart::kUnwritten, job->out)) return false;
  job->rows->resize(height);
  if (alpha) job->scratch->resize(static_cast<std::size_t>(width) * 4 * height);
  for (png_uint_32 y = 0; y < height; ++y) {
    (*job->rows)[y] = alpha ? job->scratch->data() + static_cast<std::size_t>(y) * width * 4
                            : job->out->LineFromTop(static_cast<int>(y));
  }
  return true;
}

void CompositeOverWhite(const std::vector<unsigned char>& bgra, Picture* out) {
  for (int y = 0; y < out->height; ++y) {
    const unsigned char* src = bgra.data() + static_cast<std::size_t>(y) * out->width * 4;
    unsigned char* dst = out->LineFromTop(y);
    for (int x = 0; x < out->width; ++x, src += 4) {
      PutBgr(dst, x, OverWhite(src[0], src[3]), OverWhite(src[1], src[3]), OverWhite(src[2], src[3]));
    }
  }
}

// Returns 1 with the picture decoded (alpha still in scratch when
// *has_alpha), 0 on any error.
int DecodePngRows(png_structp png, png_infop info, PngJob* job, int* has_alpha) {
  if (setjmp(png_jmpbuf(png))) return 0;
  png_set_read_fn(png, job, ReadFromBuffer);
  png_set_user_limits(png, static_cast<png_uint_32>(job->limits->max_side),
                      static_cast<png_uint_32>(job->limits->max_side));
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_set_chunk_cache_max(png, kMaxCachedChunks);
  png_read_info(png, info);
  // Palettes, low bit depths and tRNS become 8-bit channels, 16 bits are
  // scaled to 8 with rounding, gray becomes three equal channels, B first.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int channels = png_get_channels(png, info);
  if (channels != 3 && channels != 4) return 0;
  *has_alpha = channels == 4;
  if (!PrepareOutput(job, png_get_image_width(png, info), png_get_image_height(png, info), *has_alpha))
    return 0;
  png_read_image(png, job->rows->data());
  return 1;
}

// Frees libpng's structures on every path out of DecodePng.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

bool DecodePng(ByteView bytes, const PictureLimits& limits, Picture* out) {
  if (!ChunksCanHoldPicture(bytes, limits)) return false;
  std::vector<unsigned char> scratch;
  std::vector<png_bytep> rows;
  PngJob job;
  job.bytes = bytes;
  job.limits = &limits;
  job.out = out;
  job.scratch = &scratch;
  job.rows = &rows;
  PngReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorExit, IgnoreWarning);
  if (reader.png == nullptr) return false;
  reader.info = png_create_info_struct(reader.png);
  if (reader.info == nullptr) return false;
  int has_alpha = 0;
  if (!DecodePngRows(reader.png, reader.info, &job, &has_alpha)) return false;
  if (has_alpha) CompositeOverWhite(scratch, out);
  return true;
}

}  // namespace vx
