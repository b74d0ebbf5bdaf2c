// JPEG through libjpeg. libjpeg's default error handler ends the process;
// here errors (and the warnings that mean missing or damaged data) jump back
// to CreateDecompressor and DecodeJpegRows, C-style functions that hold no object with a
// destructor. Everything with a destructor lives in DecodeJpeg, above them.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

// jpeglib.h needs <cstdio> first; jerror.h names the warnings.
#include <jerror.h>
#include <jpeglib.h>

#include "image/picture_decode.h"

namespace vx {

namespace {

// A progressive file may split its data into any number of scans, each of
// which costs a pass over the whole coefficient buffer; real files use
// about ten.
constexpr int kMaxScans = 1000;
// Working memory per picture pixel that libjpeg may take (whole-picture
// coefficient buffers of progressive files need 2 bytes per sample).
constexpr long kMemoryPerPixel = 8;
// Huffman-coded data spends at least one bit on every 8 x 8 block of a
// component it codes, and a block of a subsampled component covers at most
// 16 times 64 picture pixels: so a file cannot describe more than
// 8 x 1024 pixels per byte. Arithmetic-coded files have no such floor.
constexpr std::uint64_t kMaxHuffmanPixelsPerByte = 8 * 1024;

struct JpegJob {
  jpeg_error_mgr error{};        // libjpeg's error fields; must stay first
  std::jmp_buf jump;             // where errors return to
  jpeg_progress_mgr progress{};  // counts scans
  const PictureLimits* limits = nullptr;
  Picture* out = nullptr;
  std::vector<unsigned char>* scratch = nullptr;  // one line of gray or CMYK samples
};

JpegJob* JobOf(j_common_ptr cinfo) { return reinterpret_cast<JpegJob*>(cinfo->err); }

void ErrorExit(j_common_ptr cinfo) { std::longjmp(JobOf(cinfo)->jump, 1); }

// Warnings that mean the picture data is truncated or damaged end the
// decode like errors; harmless ones (a newer JFIF version, stray bytes
// before a marker, a bad colour profile) are ignored silently.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
      std::longjmp(JobOf(cinfo)->jump, 1);
    default:
      break;
  }
}

void CountScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    std::longjmp(JobOf(cinfo)->jump, 1);
  }
}

void ExpandGray(const unsigned char* gray, int width, unsigned char* dst) {
  for (int x = 0; x < width; ++x) PutBgr(dst, x, gray[x], gray[x], gray[x]);
}

// Adobe files store CMYK inverted (0 = full ink), which libjpeg passes on.
void CmykToBgr(const unsigned char* cmyk, int width, bool inverted, unsigned char* dst) {
  for (int x = 0; x < width; ++x, cmyk += 4) {
    unsigned c = inverted ? cmyk[0] : 255u - cmyk[0];
    unsigned m = inverted ? cmyk[1] : 255u - cmyk[1];
    unsigned y = inverted ? cmyk[2] : 255u - cmyk[2];
    unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    PutBgr(dst, x, static_cast<unsigned char>((y * k + 127) / 255),
           static_cast<unsigned char>((m * k + 127) / 255), static_cast<unsigned char>((c * k + 127) / 255));
  }
}

int CreateDecompressor(jpeg_decompress_struct* cinfo, JpegJob* job) {
  if (setjmp(job->jump)) return 0;
  jpeg_create_decompress(cinfo);
  return 1;
}

int DecodeJpegRows(jpeg_decompress_struct* cinfo, JpegJob* job, ByteView bytes) {
  if (setjmp(job->jump)) return 0;
  cinfo->mem->max_memory_to_use = static_cast<long>(job->limits->max_pixels) * kMemoryPerPixel;
  cinfo->progress = &job->progress;
  jpeg_mem_src(cinfo, bytes.data, static_cast<unsigned long>(bytes.size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return 0;
  if (!PictureSizeAllowed(cinfo->image_width, cinfo->image_height, *job->limits)) return 0;
  const std::uint64_t pixels = static_cast<std::uint64_t>(cinfo->image_width) * cinfo->image_height;
  if (!cinfo->arith_code && pixels > kMaxHuffmanPixelsPerByte * bytes.size) return 0;
  const int components = cinfo->num_components;
  const bool cmyk = components == 4;
  if (components == 1) {
    cinfo->out_color_space = JCS_GRAYSCALE;
  } else if (components == 3) {
    cinfo->out_color_space = JCS_EXT_BGR;
  } else if (cmyk) {
    cinfo->out_color_space = JCS_CMYK;
  } else {
    return 0;
  }
  jpeg_start_decompress(cinfo);
  const int width = static_cast<int>(cinfo->output_width);
  if (!AllocatePicture(width, cinfo->output_height, *job->limits, PixelStart::kUnwritten, job->out)) return 0;
  if (components != 3) job->scratch->resize(static_cast<std::size_t>(width) * cinfo->output_components);
  while (cinfo->output_scanline < cinfo->output_height) {
    unsigned char* line = job->out->LineFromTop(static_cast<int>(cinfo->output_scanline));
    JSAMPROW target = components == 3 ? line : job->scratch->data();
    if (jpeg_read_scanlines(cinfo, &target, 1) != 1) return 0;
    if (components == 1) ExpandGray(target, width, line);
    if (cmyk) CmykToBgr(target, width, cinfo->saw_Adobe_marker, line);
  }
  return 1;
}

// Frees libjpeg's structures on every path out of DecodeJpeg.
struct JpegReader {
  jpeg_decompress_struct cinfo{};
  bool created = false;
  ~JpegReader() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

}  // namespace

bool DecodeJpeg(ByteView bytes, const PictureLimits& limits, Picture* out) {
  std::vector<unsigned char> scratch;
  JpegJob job;
  job.limits = &limits;
  job.out = out;
  job.scratch = &scratch;
  JpegReader reader;
  reader.cinfo.err = jpeg_std_error(&job.error);
  job.error.error_exit = ErrorExit;
  job.error.emit_message = EmitMessage;
  job.progress.progress_monitor = CountScans;
  if (!CreateDecompressor(&reader.cinfo, &job)) return false;
  reader.created = true;
  return DecodeJpegRows(&reader.cinfo, &job, bytes) == 1;
}

}  // namespace vx
