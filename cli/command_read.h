// How the command reads one picture: the library's reader, plus the marked
// picture the command writes on request.
#pragma once

#include <string>

#include "vexolith/reader.h"

namespace vxcli {

using vexolith::Binarize;
using vexolith::FigureReading;
using vexolith::ReadResult;

// The reader's options and where to write the marked picture.
struct ReadOptions : vexolith::ReaderOptions {
  std::string marked;  // path of the marked picture (a bitmap file); empty: none
};

// Reads a picture file; when options.marked is set and the picture was
// read, writes it there with every figure found drawn over it.
ReadResult ReadPictureFile(const std::string& path, const ReadOptions& options);

}  // namespace vxcli
