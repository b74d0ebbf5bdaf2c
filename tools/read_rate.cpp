#include "tools/read_rate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vxgen {
namespace {

// The verdicts of a rows x cols grid turned a quarter clockwise, `turns` times.
std::vector<bool> Turned(std::vector<bool> v, int& rows, int& cols, int turns) {
  for (int t = 0; t < turns; ++t) {
    std::vector<bool> out(v.size());
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j)
        out[static_cast<std::size_t>(j) * rows + (rows - 1 - i)] = v[i * cols + j];
    std::swap(rows, cols);
    v = std::move(out);
  }
  return v;
}

}  // namespace

Score ScoreReading(const Truth& truth, const vexolith::ReadResult& reading) {
  Score s;
  s.cells = truth.rows * truth.cols;
  s.read = reading.ok && !reading.figures.empty() && reading.figures[0].rows == truth.rows &&
           reading.figures[0].cols == truth.cols;
  if (!s.read) {
    s.wrong = s.cells;
    return s;
  }
  const vexolith::FigureReading& result = reading.figures[0];
  for (int n = 0; n < s.cells; ++n) s.wrong += (result.black[n] != 0) != truth.black[n];
  for (int k = 0; k < 4; ++k)
    s.corner_error = std::max(s.corner_error, std::hypot(result.corners[k].x - truth.corners[k].x,
                                                         result.corners[k].y - truth.corners[k].y));
  if (s.wrong > 0) {
    for (int turns = 1; turns < 4 && !s.turned; ++turns) {
      int rows = result.rows, cols = result.cols;
      const std::vector<bool> v = Turned(std::vector<bool>(result.black.begin(), result.black.end()), rows, cols, turns);
      s.turned = rows == truth.rows && cols == truth.cols && v == truth.black;
    }
  }
  return s;
}

std::string TallyRow(const std::string& label, const Tally& t) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%-22s %8d %8d %8d %8d / %d", label.c_str(), t.pictures, t.right, t.unread,
                t.wrong, t.cells);
  return buf;
}

}  // namespace vxgen
