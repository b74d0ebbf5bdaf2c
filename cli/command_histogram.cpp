// The core of `vexolith histogram`, through the exported interface only.
#include "cli/command_histogram.h"

#include <sstream>

#include "cli/command_picture.h"
#include "cli/command_report.h"

namespace vxcli {

namespace {

HistogramResult Fail(HistogramResult r, const std::string& fault) {
  r.ok = false;
  r.fault = fault;
  return r;
}

// A bitmap file keeps its bottom line first, so the chart as drawn (bars
// rising from row 0) stands upright in the file.
bool WriteChart(const HISTOGRAM& h, const HistogramSettings& settings) {
  const int w = settings.chart_width, ht = settings.chart_height;
  if (w < 1 || ht < 1 || w > 16384 || ht > 16384) return false;
  const int stride = (3 * w + 3) / 4 * 4;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * ht);
  const IMG chart{pixels.data(), w, stride, ht, 1, 0};
  return DrawHistogram(h, chart) == 0 && SaveDF(settings.chart.c_str(), chart) == 0;
}

}  // namespace

HistogramResult HistogramOfPicture(IMG picture, const HistogramSettings& settings) {
  HistogramResult r;
  if (settings.bins < 1 || settings.bins > 256) return Fail(r, "the number of bins must be 1 to 256");
  const RECT area = settings.whole ? RECT{0, 0, picture.width - 1, picture.height - 1} : settings.area;
  if (area.left < 0 || area.top < 0 || area.right >= picture.width || area.bottom >= picture.height ||
      area.right < area.left || area.bottom < area.top)
    return Fail(r, "the area does not lie inside the picture");
  const vexolith::Image converted(picture.gray ? IMG{} : Img24To8(picture));
  const IMG gray = picture.gray ? picture : converted.record();
  if (!gray.valid) return Fail(r, "cannot convert the picture to gray");
  HISTOGRAM h = MakeHistogramIMG(gray, area, settings.bins);
  if (h.size < 1) return Fail(r, "no histogram could be made of the picture");
  r.total = h.total;
  r.largest = MaxHistogramElem(h);
  r.bins.assign(h.bins, h.bins + h.size);
  const bool chart_written = settings.chart.empty() || WriteChart(h, settings);
  DeleteHistogram(h);
  if (!chart_written) return Fail(r, "cannot write the chart to " + settings.chart);
  r.ok = true;
  return r;
}

std::string FormatHistogramText(const std::string& path, const HistogramResult& r, bool header) {
  std::ostringstream out;
  if (header) out << path << ":\n";
  out << "total " << r.total << ", largest bin " << r.largest << "\n";
  for (std::size_t i = 0; i < r.bins.size(); ++i) out << (i ? " " : "") << r.bins[i];
  out << "\n";
  return out.str();
}

std::string FormatHistogramJson(const std::string& path, const HistogramResult& r) {
  std::ostringstream out;
  out << "{\"file\":" << JsonString(path);
  if (!r.ok) {
    out << ",\"ok\":false,\"error\":" << JsonString(r.fault) << "}\n";
    return out.str();
  }
  out << ",\"ok\":true,\"total\":" << r.total << ",\"largest\":" << r.largest << ",\"bins\":[";
  for (std::size_t i = 0; i < r.bins.size(); ++i) out << (i ? "," : "") << r.bins[i];
  out << "]}\n";
  return out.str();
}

}  // namespace vxcli
