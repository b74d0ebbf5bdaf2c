#include "tools/truth_json.h"

#include <cstdio>
#include <fstream>

namespace vxgen {
namespace {

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  return buf;
}

}  // namespace

std::string DescribeParams(const FigureParams& p) {
  char buf[400];
  std::snprintf(
      buf, sizeof buf,
      "%dx%d size %.0f angle %.1f tilt %.1f/%.0f dist %.2f skew %.3f fill %.2f blur %.2f noise %.1f "
      "paper %.0f ink %.0f gradient %.2f lighting %.2f shadow %.2f/%.0f jpeg %d clutter %d figures %d "
      "seed %u",
      p.rows, p.cols, p.size, p.angle, p.tilt, p.tilt_axis, p.distance, p.skew, p.fill, p.blur, p.noise,
      p.paper, p.ink, p.gradient, p.lighting, p.shadow, p.shadow_soft, p.jpeg, p.clutter, p.figures, p.seed);
  return buf;
}

std::string TruthJson(const FigureParams& p, const TestPicture& t) {
  std::string s =
      "{\"width\":" + std::to_string(t.picture.width) + ",\"height\":" + std::to_string(t.picture.height) +
      ",\"fill\":" + Num(t.fill) + ",\"params\":{\"rows\":" + std::to_string(p.rows) +
      ",\"cols\":" + std::to_string(p.cols) + ",\"size\":" + Num(p.size) + ",\"angle\":" + Num(p.angle) +
      ",\"tilt\":" + Num(p.tilt) + ",\"tilt_axis\":" + Num(p.tilt_axis) + ",\"distance\":" + Num(p.distance) +
      ",\"skew\":" + Num(p.skew) + ",\"fill\":" + Num(p.fill) + ",\"margin\":" + Num(p.margin) +
      ",\"blur\":" + Num(p.blur) + ",\"noise\":" + Num(p.noise) + ",\"paper\":" + Num(p.paper) +
      ",\"ink\":" + Num(p.ink) + ",\"gradient\":" + Num(p.gradient) + ",\"lighting\":" + Num(p.lighting) +
      ",\"shadow\":" + Num(p.shadow) + ",\"shadow_soft\":" + Num(p.shadow_soft) +
      ",\"jpeg\":" + std::to_string(p.jpeg) + ",\"clutter\":" + std::to_string(p.clutter) +
      ",\"figures\":" + std::to_string(p.figures) + ",\"seed\":" + std::to_string(p.seed) + "},\"figures\":[";
  for (std::size_t k = 0; k < t.figures.size(); ++k) {
    const Truth& f = t.figures[k];
    s += (k ? ",{" : "{") + std::string("\"rows\":") + std::to_string(f.rows) +
         ",\"cols\":" + std::to_string(f.cols) + ",\"corners\":[";
    for (int c = 0; c < 4; ++c) s += (c ? ",[" : "[") + Num(f.corners[c].x) + "," + Num(f.corners[c].y) + "]";
    s += "],\"verdicts\":[";
    const std::vector<std::string> rows = VerdictRows(f.rows, f.cols, f.black);
    for (std::size_t r = 0; r < rows.size(); ++r) s += (r ? ",\"" : "\"") + rows[r] + "\"";
    s += "]}";
  }
  return s + "]}";
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream f(path);
  f << text << "\n";
  return static_cast<bool>(f.flush());
}

}  // namespace vxgen
