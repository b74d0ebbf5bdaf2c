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

double Distance(const Pt& a, const Pt& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Largest corner distance, and whether every corner is within tolerance.
bool CornersMatch(const Truth& truth, const FoundFigure& f, double* worst) {
  bool ok = true;
  *worst = 0.0;
  for (int k = 0; k < 4; ++k) {
    const double d = Distance(f.corners[k], truth.corners[k]);
    *worst = std::max(*worst, d);
    ok = ok && d <= CornerTolerance(truth, k);
  }
  return ok;
}

// True when p lies inside the convex quadrilateral q (either direction).
bool Inside(const std::array<Pt, 4>& q, const Pt& p) {
  int pos = 0, neg = 0;
  for (int k = 0; k < 4; ++k) {
    const Pt& a = q[k];
    const Pt& b = q[(k + 1) % 4];
    const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    pos += cross > 0, neg += cross < 0;
  }
  return pos == 0 || neg == 0;
}

}  // namespace

IMG PictureImg(const Picture& picture, std::vector<std::uint8_t>& storage) {
  const std::size_t row = static_cast<std::size_t>(picture.width) * 3, stride = (row + 3) / 4 * 4;
  const std::uint8_t* bits = picture.bgr.data();
  if (stride != row) {
    storage.assign(stride * picture.height, 0);
    for (int y = 0; y < picture.height; ++y)
      std::copy_n(picture.bgr.data() + y * row, row, storage.data() + y * stride);
    bits = storage.data();
  }
  // The reader only reads the pixels; the record's pointer is not const.
  return IMG{const_cast<std::uint8_t*>(bits), picture.width, static_cast<int>(stride), picture.height, 1, 0};
}

Reading ReadTestPicture(const TestPicture& t, bool all) {
  std::vector<std::uint8_t> storage;
  return ReadForEval(PictureImg(t.picture, storage), t.truth.rows, t.truth.cols, all);
}

double CornerTolerance(const Truth& truth, int corner) {
  const Pt& c = truth.corners[corner];
  // Corners run top-left, top-right, bottom-right, bottom-left: the sides
  // met at a corner run along the columns (top, bottom) and the rows.
  const bool along_top_or_bottom_next = corner % 2 == 0;
  const Pt& next = truth.corners[(corner + 1) % 4];
  const Pt& prev = truth.corners[(corner + 3) % 4];
  const double a = Distance(c, next) / (along_top_or_bottom_next ? truth.cols : truth.rows);
  const double b = Distance(c, prev) / (along_top_or_bottom_next ? truth.rows : truth.cols);
  return std::max(1.0, 0.25 * std::min(a, b));
}

Score ScoreReading(const Truth& truth, const Reading& reading) {
  Score s;
  s.cells = truth.rows * truth.cols;
  s.read = reading.ok && !reading.figures.empty();
  s.wrong = s.cells;
  if (!s.read) return s;
  const FoundFigure& f = reading.figures[0];
  if (static_cast<int>(f.black.size()) != s.cells) return s;
  s.wrong = 0;
  for (int n = 0; n < s.cells; ++n) s.wrong += f.black[n] != truth.black[n];
  s.corners_off = !CornersMatch(truth, f, &s.corner_error);
  s.right = s.wrong == 0 && !s.corners_off;
  if (s.wrong > 0) {
    for (int turns = 1; turns < 4 && !s.turned; ++turns) {
      int rows = truth.rows, cols = truth.cols;
      const std::vector<bool> v = Turned(f.black, rows, cols, turns);
      s.turned = rows == truth.rows && cols == truth.cols && v == truth.black;
    }
  }
  return s;
}

PageScore ScorePage(const std::vector<Truth>& figures, const Reading& reading) {
  PageScore p;
  p.present = static_cast<int>(figures.size());
  std::vector<bool> taken(figures.size());
  for (const FoundFigure& f : reading.figures) {
    const Pt centre{(f.corners[0].x + f.corners[1].x + f.corners[2].x + f.corners[3].x) / 4,
                    (f.corners[0].y + f.corners[1].y + f.corners[2].y + f.corners[3].y) / 4};
    bool inside = false;
    for (std::size_t k = 0; k < figures.size(); ++k) {
      if (!Inside(figures[k].corners, centre)) continue;
      inside = true;
      double worst;
      if (!taken[k] && f.black == figures[k].black && CornersMatch(figures[k], f, &worst)) {
        taken[k] = true;
        ++p.found;
      }
    }
    p.false_figures += !inside;
  }
  return p;
}

std::string TallyHeader() {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%-24s %8s %16s %9s %8s %7s %s", "group", "pictures", "right", "wrong-ok",
                "failed", "turned", "cells wrong");
  return buf;
}

std::string TallyRow(const std::string& label, const Tally& t) {
  char buf[200];
  const double pct = t.pictures ? 100.0 * t.right / t.pictures : 0.0;
  std::snprintf(buf, sizeof buf, "%-24s %8d %8d (%5.1f%%) %9d %8d %7d %d / %d", label.c_str(), t.pictures,
                t.right, pct, t.wrong_ok, t.failed, t.turned, t.wrong, t.cells);
  return buf;
}

}  // namespace vxgen
