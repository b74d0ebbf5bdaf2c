// Decoding of picture files held in memory. The format is told from the
// first bytes, never from a file name; each decoder gives the same decoded
// picture (24-bit B, G, R, bottom-up rows) or false, and returns normally on
// every malformed input.
#pragma once

#include "image/picture_canvas.h"

namespace vx {

enum class PictureFormat { kUnknown, kBmp, kPng, kJpeg, kTiff, kGif };

PictureFormat SniffPictureFormat(ByteView bytes);

bool DecodePng(ByteView bytes, const PictureLimits& limits, Picture* out);
bool DecodeJpeg(ByteView bytes, const PictureLimits& limits, Picture* out);
bool DecodeTiff(ByteView bytes, const PictureLimits& limits, Picture* out);
bool DecodeGif(ByteView bytes, const PictureLimits& limits, Picture* out);

// Sniffs the format and runs its decoder (bitmaps through DecodeBmp).
bool DecodePicture(ByteView bytes, const PictureLimits& limits, Picture* out);

}  // namespace vx
