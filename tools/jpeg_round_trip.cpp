#include "tools/jpeg_round_trip.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace vxgen {
namespace {

// libjpeg reports errors through a callback that must not return: jump back.
// The functions that set the jump point hold no C++ objects, so a jump skips
// no destructor; their callers own the buffers.
struct ErrorJump {
  jpeg_error_mgr mgr;
  std::jmp_buf back;
};

void OnError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->back, 1); }
void Quiet(j_common_ptr, int) {}

// Encodes top-down B, G, R rows into *mem (malloc'd by libjpeg); `rgb` holds one row.
bool Compress(const std::uint8_t* bgr, int width, int height, int quality, JSAMPLE* rgb, unsigned char** mem,
              unsigned long* size) {
  jpeg_compress_struct c{};
  ErrorJump err;
  c.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnError;
  if (setjmp(err.back)) {
    jpeg_destroy_compress(&c);
    return false;
  }
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, mem, size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  while (c.next_scanline < c.image_height) {
    const std::uint8_t* src = bgr + c.next_scanline * row_bytes;
    for (std::size_t i = 0; i < row_bytes; i += 3)
      rgb[i] = src[i + 2], rgb[i + 1] = src[i + 1], rgb[i + 2] = src[i];
    JSAMPROW row = rgb;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return true;
}

// Reads the header; true when the picture is `width` x `height` (set here).
bool ReadHeader(jpeg_decompress_struct* d, ErrorJump* err, const std::uint8_t* bytes, std::size_t n,
                int* width, int* height) {
  d->err = jpeg_std_error(&err->mgr);
  err->mgr.error_exit = OnError;
  err->mgr.emit_message = Quiet;
  if (setjmp(err->back)) {
    jpeg_destroy_decompress(d);
    return false;
  }
  jpeg_create_decompress(d);
  jpeg_mem_src(d, bytes, static_cast<unsigned long>(n));
  jpeg_read_header(d, TRUE);
  d->out_color_space = JCS_RGB;
  jpeg_start_decompress(d);
  *width = static_cast<int>(d->output_width);
  *height = static_cast<int>(d->output_height);
  return true;
}

// Reads the rows into `out` (height rows of width * 3 bytes), as B, G, R.
bool ReadRows(jpeg_decompress_struct* d, ErrorJump* err, std::uint8_t* out, int width) {
  if (setjmp(err->back)) {
    jpeg_destroy_decompress(d);
    return false;
  }
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  while (d->output_scanline < d->output_height) {
    std::uint8_t* row = out + d->output_scanline * row_bytes;
    JSAMPROW p = row;
    jpeg_read_scanlines(d, &p, 1);
    for (std::size_t i = 0; i < row_bytes; i += 3) {
      const std::uint8_t r = row[i];
      row[i] = row[i + 2], row[i + 2] = r;
    }
  }
  jpeg_finish_decompress(d);
  jpeg_destroy_decompress(d);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality) {
  std::vector<JSAMPLE> rgb(static_cast<std::size_t>(picture.width) * 3);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  std::vector<std::uint8_t> out;
  if (Compress(picture.bgr.data(), picture.width, picture.height, quality, rgb.data(), &mem, &size))
    out.assign(mem, mem + size);
  std::free(mem);
  return out;
}

Picture DecodeJpeg(const std::vector<std::uint8_t>& bytes) {
  jpeg_decompress_struct d{};
  ErrorJump err;
  Picture pic;
  if (bytes.empty() || !ReadHeader(&d, &err, bytes.data(), bytes.size(), &pic.width, &pic.height)) return {};
  pic.bgr.resize(static_cast<std::size_t>(pic.width) * pic.height * 3);
  if (!ReadRows(&d, &err, pic.bgr.data(), pic.width)) return {};
  return pic;
}

}  // namespace vxgen
