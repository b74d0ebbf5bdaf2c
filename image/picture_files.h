// The file readers behind OpenDF, LoadPictureFile and OpenGraphFile, with
// the size caps as a parameter: the exported functions pass the defaults,
// the fuzzing harnesses smaller ones.
#pragma once

#include <cstdint>

#include "image/bmp_decode.h"
#include "image/picture_canvas.h"
#include "vexolith/types.h"

namespace vx {

// Reads the rows a plan describes from the open file straight into a new
// picture; false when the file ends early (it shrank) or memory runs out.
bool ReadPlannedRows(int fd, const DfPlan& plan, const PictureLimits& limits, Picture* out);

IMG OpenDfFile(const char* path, const PictureLimits& limits);
std::uint32_t LoadPicture(const char* path, const PictureLimits& limits);
IMG OpenPictureFile(const char* path, const PictureLimits& limits);

}  // namespace vx
