// Decoded pictures kept for the host under 32-bit handles, the way a
// platform keeps bitmap objects: the loader registers a picture, the host
// (or OpenGraphFile) asks for its size and its pixels and releases it. The
// table is shared by all threads and guarded by a mutex. Handles come from a
// counter, so a released handle is not issued again until the counter wraps
// after 2^32 - 1 loads; 0 is never issued.
#pragma once

#include <cstdint>

#include "image/picture_canvas.h"

namespace vx {

// Takes the picture over and returns its new handle.
std::uint32_t RegisterPicture(Picture picture);

// Width and height of a registered picture; false for an unknown handle.
bool PictureSize(std::uint32_t handle, int* width, int* height);

// Copies rows 0 .. rows-1 (bottom-up, B, G, R) into dst, each row starting
// `stride` bytes after the previous one. Copies min(rows, height) rows and
// min(stride, picture stride) bytes of each; false for an unknown handle or a stride shorter
// than a row.
bool FetchPictureRows(std::uint32_t handle, unsigned char* dst, int stride, int rows);

// Forgets the picture and frees its pixels; false for an unknown handle.
bool ReleasePicture(std::uint32_t handle);

}  // namespace vx
