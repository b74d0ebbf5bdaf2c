// One picture as each command sees it: the same file checks, loading and
// output conventions for read, detect, segment and histogram.
#include "cli/command_files.h"
#include "cli/command_options.h"
#include "cli/command_picture.h"
#include "cli/command_report.h"
#include "cli/command_run.h"

namespace vxcli {
namespace {

// Checks the picture and output paths, then runs analyse() for a result with
// `ok` and `fault`, and formats it: a JSON line for every picture with
// --json, otherwise the text of a picture that worked (faults go to
// standard error only).
// `path` and `output` are the paths as given (for messages and output);
// they are opened from `base` (see InBase).
template <class Result, class Analyse, class Json, class Text>
Outcome Checked(const std::string& base, const std::string& path, const std::string& output, const char* what,
                bool json, Analyse analyse, Json to_json, Text to_text) {
  Result r;
  r.fault = CheckPictureFile(InBase(base, path));
  if (r.fault.empty() && !output.empty()) r.fault = CheckMarkedFile(InBase(base, output), what, output);
  if (r.fault.empty()) r = analyse();
  Outcome o;
  o.ok = r.ok;
  o.fault = r.fault;
  if (json)
    o.results = to_json(r);
  else if (r.ok)
    o.results = to_text(r);
  return o;
}

// Loads the picture and hands it to `analyse`; a picture that cannot be
// loaded gives a failed result saying so.
template <class Result, class Analyse>
Result Loaded(const std::string& path, Analyse analyse) {
  vexolith::Image picture;
  if (std::string fault = LoadTopDown(path, picture); !fault.empty()) {
    Result r;
    r.fault = std::move(fault);
    return r;
  }
  return analyse(picture.record());
}

}  // namespace

Outcome AnalysePicture(const Command& c, int k) {
  const std::string& path = c.pictures[k];
  const int count = static_cast<int>(c.pictures.size());
  const bool header = count > 1;
  auto numbered = [&](const std::string& output) {
    return output.empty() ? output : MarkedPath(output, k, count);
  };
  switch (c.verb) {
    case Verb::kRead: {
      ReadOptions options = c.read;
      options.marked_shown = numbered(c.read.marked);
      options.marked = InBase(c.base, options.marked_shown);
      // Picture k's logs carry "N-" (N = k + 1) before the figure's number (see ReadOptions).
      if (!c.read.logs.empty())
        options.logs_prefix = InBase(c.base, c.read.logs) + "/" + std::to_string(k + 1) + "-";
      return Checked<ReadResult>(
          c.base, path, options.marked_shown, "marked picture", c.json,
          [&] { return ReadPictureFile(InBase(c.base, path), options); },
          [&](const ReadResult& r) { return FormatJson(path, r, options.all); },
          [&](const ReadResult& r) { return FormatRows(path, r, header); });
    }
    case Verb::kDetect: {
      DetectOptions options = c.detect;
      options.marked = numbered(c.detect.marked);
      return Checked<DetectResult>(
          c.base, path, options.marked, "marked picture", c.json,
          [&] { return Loaded<DetectResult>(path, [&](const IMG& p) { return DetectPicture(p, options); }); },
          [&](const DetectResult& r) { return FormatDetectJson(path, r); },
          [&](const DetectResult& r) { return FormatDetectText(path, r, header); });
    }
    case Verb::kSegment: {
      SegmentSettings settings = c.segment;
      settings.marked = numbered(c.segment.marked);
      return Checked<SegmentResult>(
          c.base, path, settings.marked, "marked picture", c.json,
          [&] {
            return Loaded<SegmentResult>(path, [&](const IMG& p) { return SegmentPicture(p, settings); });
          },
          [&](const SegmentResult& r) { return FormatSegmentJson(path, r); },
          [&](const SegmentResult& r) { return FormatSegmentText(path, r, header); });
    }
    case Verb::kHistogram: {
      HistogramSettings settings = c.histogram;
      settings.chart = numbered(c.histogram.chart);
      return Checked<HistogramResult>(
          c.base, path, settings.chart, "chart", c.json,
          [&] {
            return Loaded<HistogramResult>(path,
                                           [&](const IMG& p) { return HistogramOfPicture(p, settings); });
          },
          [&](const HistogramResult& r) { return FormatHistogramJson(path, r); },
          [&](const HistogramResult& r) { return FormatHistogramText(path, r, header); });
    }
  }
  return Outcome{false, "unknown command", ""};
}

}  // namespace vxcli
