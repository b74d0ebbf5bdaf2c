// `vexolith detect`: thresholds a picture and lists DetectCode's regions.
#include "cli/command_detect.h"

#include <algorithm>
#include <cstdint>

#include "cli/command_picture.h"
#include "cli/command_report.h"

namespace vxcli {
namespace {

// DetectCode's cells are a twentieth of the reduced picture; 800 pixels
// across keep a cell of 40 pixels, enough for the modules of a printed code.
constexpr int kDetectSide = 800;

DetectResult Fail(DetectResult r, std::string fault) {
  r.ok = false;
  r.fault = std::move(fault);
  r.regions.clear();
  return r;
}

std::string Rect(const RECT& q, char sep) {
  return std::to_string(q.left) + sep + std::to_string(q.top) + sep + std::to_string(q.right) + sep +
         std::to_string(q.bottom);
}

}  // namespace

int OtsuLevel(const IMG& gray) {
  HISTOGRAM h = MakeHistogramIMG(gray, RECT{0, 0, gray.width - 1, gray.height - 1}, 256);
  if (h.size != 256 || h.total <= 0) {
    DeleteHistogram(h);
    return 128;  // nothing to measure: the middle
  }
  double sum = 0.0;
  for (int v = 0; v < 256; ++v) sum += static_cast<double>(v) * h.bins[v];
  double below = 0.0, below_sum = 0.0, best = -1.0;
  int level = 128;
  for (int t = 0; t < 255; ++t) {
    below += h.bins[t];
    below_sum += static_cast<double>(t) * h.bins[t];
    const double above = h.total - below;
    if (below == 0.0 || above == 0.0) continue;
    const double diff = below_sum / below - (sum - below_sum) / above;
    const double between = below * above * diff * diff;
    if (between > best) best = between, level = t;
  }
  DeleteHistogram(h);
  return level;
}

DetectResult DetectPicture(const IMG& picture, const DetectOptions& options) {
  DetectResult result;
  result.width = picture.width, result.height = picture.height;
  const vexolith::Image gray(Img24To8(picture));
  if (gray.empty()) return Fail(result, "cannot convert the picture to gray");
  result.level = options.level >= 0 ? options.level : OtsuLevel(gray.record());
  ThresholdImage(gray.record(), static_cast<unsigned char>(result.level),
                 RECT{0, 0, result.width, result.height});
  const std::int64_t longer = std::max(result.width, result.height);
  result.factor = options.factor > 0
                      ? options.factor
                      : static_cast<int>(std::max<std::int64_t>(1, (longer + kDetectSide - 1) / kDetectSide));
  // A factor past a side would leave nothing to search.
  result.factor = std::min({result.factor, result.width, result.height});
  std::vector<RECT> rects(VEXOLITH_MAX_CODE_RECTS);
  int count = 0;
  if (DetectCode(gray.record(), result.factor, &count, rects.data()) != 0)
    return Fail(result, "the picture cannot be searched");
  rects.resize(static_cast<std::size_t>(std::clamp(count, 0, VEXOLITH_MAX_CODE_RECTS)));
  result.regions = std::move(rects);
  if (!options.marked.empty()) {
    for (const RECT& r : result.regions) DrawRect(picture, r, 0, 0, 255);
    if (!SaveTopDown(picture, options.marked))
      return Fail(result, "cannot write the marked picture to " + options.marked);
  }
  result.ok = true;
  return result;
}

std::string FormatDetectText(const std::string& path, const DetectResult& r, bool header) {
  std::string out = header ? path + ":\n" : "";
  for (const RECT& q : r.regions) out += Rect(q, ' ') + "\n";
  return out;
}

std::string FormatDetectJson(const std::string& path, const DetectResult& r) {
  std::string out = "{\"file\":" + JsonString(path);
  if (!r.ok) return out + ",\"ok\":false,\"error\":" + JsonString(r.fault) + "}\n";
  out += ",\"ok\":true,\"width\":" + std::to_string(r.width) + ",\"height\":" + std::to_string(r.height) +
         ",\"factor\":" + std::to_string(r.factor) + ",\"level\":" + std::to_string(r.level) +
         ",\"regions\":[";
  for (std::size_t i = 0; i < r.regions.size(); ++i) out += (i ? ",[" : "[") + Rect(r.regions[i], ',') + "]";
  return out + "]}\n";
}

}  // namespace vxcli
