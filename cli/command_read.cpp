#include "cli/command_read.h"

#include "vexolith.h"

namespace vxcli {

ReadResult ReadPictureFile(const std::string& path, const ReadOptions& options) {
  ReadResult r = vexolith::ReadFile(path, options);
  const bool refine = options.refine != EdgeRefine::kNone;
  if (!r.ok || (options.marked.empty() && !refine)) return r;
  IMG picture = OpenGraphFile(path.c_str());  // row 0 is the bottom line, as bitmap files keep it
  if (!picture.valid) {
    r.ok = false;
    r.fault = refine ? "cannot open the picture again to refine it"
                     : "cannot write the marked picture to " +
                           (options.marked_shown.empty() ? options.marked : options.marked_shown);
    return r;
  }
  bool logs_kept = true;
  if (refine) {
    vexolith::RefineOptions how;
    how.how = options.refine;
    how.threshold = options.threshold;
    for (std::size_t f = 0; f < r.figures.size(); ++f) {
      if (!options.logs_prefix.empty()) how.logs_prefix = options.logs_prefix + std::to_string(f + 1) + "-";
      logs_kept = vexolith::RefineFigure(picture, false, r.figures[f], how).logs_kept && logs_kept;
    }
  }
  bool written = true;
  if (!options.marked.empty()) {
    for (const FigureReading& f : r.figures) vexolith::DrawReading(picture, false, f);
    written = SaveDF(options.marked.c_str(), picture) == 0;
  }
  DeleteImg(picture);
  if (!written) {
    r.ok = false;
    r.fault = "cannot write the marked picture to " +
              (options.marked_shown.empty() ? options.marked : options.marked_shown);
  } else if (!logs_kept) {
    r.ok = false;
    r.fault = "cannot write the logs to " + options.logs;
  }
  return r;
}

}  // namespace vxcli
