// The core of `vexolith segment`, through the exported interface only.
#include "cli/command_segment.h"

#include <sstream>

#include "cli/command_picture.h"
#include "cli/command_report.h"

namespace vxcli {

namespace {

struct OwnedSegments {
  SEGMENTS s;
  explicit OwnedSegments(SEGMENTS made) : s(made) {}
  OwnedSegments(const OwnedSegments&) = delete;
  OwnedSegments& operator=(const OwnedSegments&) = delete;
  ~OwnedSegments() { DeleteSegmentsh(s); }
};

SegmentResult Fail(SegmentResult r, const std::string& fault) {
  r.ok = false;
  r.fault = fault;
  return r;
}

// The picture in 24 bits with every selected segment painted, written as a
// bitmap file (bottom line first, as bitmap files keep it).
bool WriteMarked(IMG picture, const SEGMENTS& s, const SegmentSettings& settings) {
  IMG copy{};
  if (picture.gray) {
    copy = Img8To24(picture);
  } else if (CopyIMG(picture, &copy) != 0) {
    return false;
  }
  const vexolith::Image canvas(copy);
  if (canvas.empty()) return false;
  DrawSegmentsH(canvas.record(), s, settings.block, settings.best_only ? SEGMENTS_BEST_ONLY : 0);
  return SaveTopDown(canvas.record(), settings.marked);
}

}  // namespace

SegmentResult SegmentPicture(IMG picture, const SegmentSettings& settings) {
  SegmentResult r;
  if (settings.block < 2 || settings.block > 1024) return Fail(r, "the block side must be 2 to 1024 pixels");
  if (settings.bins < 1 || settings.bins > 256) return Fail(r, "the number of bins must be 1 to 256");
  const vexolith::Image converted(picture.gray ? IMG{} : Img24To8(picture));
  const IMG gray = picture.gray ? picture : converted.record();
  if (!gray.valid && !picture.gray) return Fail(r, "cannot convert the picture to gray");

  const int flags = SEGMENTS_TWO_PEAKS | (settings.fold ? SEGMENTS_FOLD_ISOLATED : 0);
  OwnedSegments seg(SegmentationH(gray, settings.block, settings.bins, settings.join, settings.share, flags));
  if (seg.s.blockCols < 0) return Fail(r, "the picture cannot be segmented");
  r.segments = seg.s.segmentCount;
  r.block_cols = seg.s.blockCols;
  r.block_rows = seg.s.blockRows;
  if (r.block_cols == 0 || r.block_rows == 0) return Fail(r, "the picture is smaller than one block");
  for (int b = 0; b < r.block_cols * r.block_rows; ++b) r.marked_blocks += seg.s.marks[b];

  if (settings.max_rects > 0) {
    r.rects.resize(static_cast<std::size_t>(settings.max_rects));
    const int n = ReturnRectSegmentsh(seg.s, settings.block, r.rects.data(), settings.min_marked,
                                      settings.max_rects, settings.best_only ? SEGMENTS_BEST_ONLY : 0);
    r.rects.resize(static_cast<std::size_t>(n));
  }
  if (!settings.marked.empty() && !WriteMarked(picture, seg.s, settings))
    return Fail(r, "cannot write the marked picture to " + settings.marked);
  r.ok = true;
  return r;
}

std::string FormatSegmentText(const std::string& path, const SegmentResult& r, bool header) {
  std::ostringstream out;
  if (header) out << path << ":\n";
  out << r.segments << " segments, " << r.block_cols << " x " << r.block_rows << " blocks, "
      << r.marked_blocks << " marked\n";
  for (const RECT& rect : r.rects)
    out << rect.left << ' ' << rect.top << ' ' << rect.right << ' ' << rect.bottom << "\n";
  return out.str();
}

std::string FormatSegmentJson(const std::string& path, const SegmentResult& r) {
  std::ostringstream out;
  out << "{\"file\":" << JsonString(path);
  if (!r.ok) {
    out << ",\"ok\":false,\"error\":" << JsonString(r.fault) << "}\n";
    return out.str();
  }
  out << ",\"ok\":true,\"segments\":" << r.segments << ",\"blockCols\":" << r.block_cols
      << ",\"blockRows\":" << r.block_rows << ",\"marked\":" << r.marked_blocks << ",\"rects\":[";
  for (std::size_t i = 0; i < r.rects.size(); ++i) {
    const RECT& rect = r.rects[i];
    out << (i ? "," : "") << '[' << rect.left << ',' << rect.top << ',' << rect.right << ',' << rect.bottom
        << ']';
  }
  out << "]}\n";
  return out.str();
}

}  // namespace vxcli
