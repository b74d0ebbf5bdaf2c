#include <cstring>

#include "image/bmp_decode.h"
#include "image/picture_decode.h"

namespace vx {

namespace {

bool StartsWith(ByteView bytes, const char* magic, std::size_t length) {
  return bytes.size >= length && std::memcmp(bytes.data, magic, length) == 0;
}

}  // namespace

PictureFormat SniffPictureFormat(ByteView bytes) {
  if (StartsWith(bytes, "\x89PNG\r\n\x1a\n", 8)) return PictureFormat::kPng;
  if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return PictureFormat::kJpeg;
  if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) return PictureFormat::kGif;
  // Classic TIFF (42) and BigTIFF (43), in both byte orders.
  if (StartsWith(bytes, "II*\0", 4) || StartsWith(bytes, "MM\0*", 4) || StartsWith(bytes, "II+\0", 4) ||
      StartsWith(bytes, "MM\0+", 4)) {
    return PictureFormat::kTiff;
  }
  if (StartsWith(bytes, "BM", 2)) return PictureFormat::kBmp;
  return PictureFormat::kUnknown;
}

bool DecodePicture(ByteView bytes, const PictureLimits& limits, Picture* out) {
  switch (SniffPictureFormat(bytes)) {
    case PictureFormat::kBmp:
      return DecodeBmp(bytes, limits, out);
    case PictureFormat::kPng:
      return DecodePng(bytes, limits, out);
    case PictureFormat::kJpeg:
      return DecodeJpeg(bytes, limits, out);
    case PictureFormat::kTiff:
      return DecodeTiff(bytes, limits, out);
    case PictureFormat::kGif:
      return DecodeGif(bytes, limits, out);
    case PictureFormat::kUnknown:
      break;
  }
  return false;
}

}  // namespace vx
