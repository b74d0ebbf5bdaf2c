#include "cli/command_read.h"

#include "vexolith.h"

namespace vxcli {

ReadResult ReadPictureFile(const std::string& path, const ReadOptions& options) {
  ReadResult r = vexolith::ReadFile(path, options);
  if (!r.ok || options.marked.empty()) return r;
  IMG picture = OpenGraphFile(path.c_str());  // row 0 is the bottom line, as bitmap files keep it
  bool written = picture.valid;
  if (written) {
    for (const FigureReading& f : r.figures) vexolith::DrawReading(picture, false, f);
    written = SaveDF(options.marked.c_str(), picture) == 0;
    DeleteImg(picture);
  }
  if (!written) {
    r.ok = false;
    r.fault = "cannot write the marked picture to " + options.marked;
  }
  return r;
}

}  // namespace vxcli
