// `vexolith detect`: thresholds each picture and prints DetectCode's regions.
#include "cli/detect_command.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "cli/command_options.h"
#include "cli/command_report.h"
#include "cli/pipeline_image.h"

namespace vxcli {
namespace {

// DetectCode's cells are a twentieth of the reduced picture; 800 pixels
// across keep a cell of 40 pixels, enough for the modules of a printed code.
constexpr int kDetectSide = 800;

bool ParseInt(const std::string& s, int lo, int hi, int& out) {
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0' || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

// The outlined picture, written as a bitmap file with the file's row order.
bool WriteMarked(const IMG& top_down, const std::vector<RECT>& regions, const std::string& path) {
  for (const RECT& r : regions) DrawRect(top_down, r, 0, 0, 255);
  UpDownImage(top_down);
  const bool written = SaveDF(path.c_str(), top_down) == 0;
  UpDownImage(top_down);
  return written;
}

std::string FormatText(const std::string& path, const DetectResult& r, bool header) {
  std::ostringstream out;
  if (header) out << path << ":\n";
  for (const RECT& q : r.regions) out << q.left << ' ' << q.top << ' ' << q.right << ' ' << q.bottom << '\n';
  return out.str();
}

std::string FormatDetectJson(const std::string& path, const DetectResult& r) {
  std::ostringstream out;
  out << "{\"file\": " << JsonString(path) << ", \"ok\": " << (r.ok ? "true" : "false");
  if (!r.ok) {
    out << ", \"error\": " << JsonString(r.fault) << "}\n";
    return out.str();
  }
  out << ", \"width\": " << r.width << ", \"height\": " << r.height << ", \"factor\": " << r.factor
      << ", \"regions\": [";
  for (size_t i = 0; i < r.regions.size(); ++i) {
    const RECT& q = r.regions[i];
    out << (i ? ", " : "") << '[' << q.left << ", " << q.top << ", " << q.right << ", " << q.bottom << ']';
  }
  out << "]}\n";
  return out.str();
}

}  // namespace

DetectResult DetectPictureFile(const std::string& path, const DetectOptions& options) {
  DetectResult result;
  LibraryImage picture(OpenGraphFile(path.c_str()));
  if (!picture.valid()) {
    result.fault = "cannot load the picture";
    return result;
  }
  UpDownImage(picture.img());  // rows top-down, so regions have y downward
  result.width = picture.img().width, result.height = picture.img().height;
  LibraryImage gray(Img24To8(picture.img()));
  if (!gray.valid()) {
    result.fault = "cannot convert the picture to gray";
    return result;
  }
  const int level = options.level >= 0 ? options.level : OtsuLevel(ReduceByMean(gray.img(), 1));
  ThresholdImage(gray.img(), static_cast<unsigned char>(level), RECT{0, 0, result.width, result.height});
  const int longer = std::max(result.width, result.height);
  result.factor = options.factor > 0 ? options.factor : std::max(1, (longer + kDetectSide - 1) / kDetectSide);
  result.factor = std::min({result.factor, result.width, result.height});
  std::vector<RECT> rects(VEXOLITH_MAX_CODE_RECTS);
  int count = 0;
  if (DetectCode(gray.img(), result.factor, &count, rects.data()) != 0) {
    result.fault = "the picture cannot be searched";
    return result;
  }
  rects.resize(count);
  result.regions = std::move(rects);
  if (!options.marked.empty() && !WriteMarked(picture.img(), result.regions, options.marked)) {
    result.fault = "cannot write " + options.marked;
    return result;
  }
  result.ok = true;
  return result;
}

int RunDetect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  DetectOptions options;
  std::vector<std::string> pictures;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--json") {
      options.json = true;
    } else if (a == "--factor" && has_value && ParseInt(args[i + 1], 1, 1 << 20, options.factor)) {
      ++i;
    } else if (a == "--level" && has_value && ParseInt(args[i + 1], 0, 255, options.level)) {
      ++i;
    } else if (a == "--marked" && has_value) {
      options.marked = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      err << "vexolith detect: bad option " << a << "\n";
      return 2;
    } else {
      pictures.push_back(a);
    }
  }
  if (pictures.empty()) {
    err << "vexolith detect: no picture given\n";
    return 2;
  }
  int status = 0;
  for (size_t i = 0; i < pictures.size(); ++i) {
    DetectOptions one = options;
    if (!one.marked.empty())
      one.marked = MarkedPath(options.marked, static_cast<int>(i), static_cast<int>(pictures.size()));
    const DetectResult r = DetectPictureFile(pictures[i], one);
    if (!r.ok) {
      err << "vexolith: " << pictures[i] << ": " << r.fault << "\n";
      status = 1;
    }
    if (options.json) {
      out << FormatDetectJson(pictures[i], r);
    } else if (r.ok) {
      out << FormatText(pictures[i], r, pictures.size() > 1);
    }
  }
  return status;
}

}  // namespace vxcli
