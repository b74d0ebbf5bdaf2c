#include "reader/cell_checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vx::reader {

double PatchMean(const PictureView& picture, const Homography& map, double u0, double u1, double v0,
                 double v1, int nu, int nv) {
  double sum = 0.0;
  for (int a = 0; a < nv; ++a) {
    for (int b = 0; b < nu; ++b) {
      const Point p = map.Apply(u0 + (u1 - u0) * (b + 0.5) / nu, v0 + (v1 - v0) * (a + 0.5) / nv);
      if (!picture.Inside(p.x, p.y)) return std::nan("");
      sum += picture.Sample(p.x, p.y);
    }
  }
  return sum / (nu * nv);
}

double NoiseWithin(const PictureView& picture, const Quad& q, int lag) {
  double x0 = q[0].x, x1 = q[0].x, y0 = q[0].y, y1 = q[0].y;
  for (const Point& p : q)
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  // Clamped in doubles first: a corner far outside must not overflow an int.
  const int ax = static_cast<int>(std::ceil(std::max(x0, 0.0)));
  const int bx = static_cast<int>(std::floor(std::min(x1, picture.width() - 1.0 - lag)));
  const int ay = static_cast<int>(std::ceil(std::max(y0, 0.0)));
  const int by = static_cast<int>(std::floor(std::min(y1, picture.height() - 1.0)));
  if (bx < ax || by < ay) return 0.0;
  std::array<std::size_t, 256> hist{};
  std::size_t n = 0;
  const int ystep = std::max(1, (by - ay + 1) / 64), xstep = std::max(1, (bx - ax + 1) / 64);
  for (int y = ay; y <= by; y += ystep)
    for (int x = ax; x <= bx; x += xstep)
      if (Contains(q, Point{x + 0.5, static_cast<double>(y)})) {
        ++hist[static_cast<std::size_t>(std::abs(picture.Gray(x + lag, y) - picture.Gray(x, y)))];
        ++n;
      }
  return NoiseFromDifferences(hist, n);
}

double Median(std::vector<double> v) {
  if (v.empty()) return std::nan("");
  const std::size_t mid = v.size() / 2;
  std::nth_element(v.begin(), v.begin() + mid, v.end());
  return v[mid];
}

// For a figure read with every inner cell white: the thin lines between the
// inner cells must show darker than the cells, or the quadrilateral is a
// mere outlined box. Below 12 pixels a cell's lines are under a pixel wide
// and blur hides them; such a reading cannot be told from a box and is
// refused. A figure of 3 x 3 cells has no inner lines and is a box anyway.
bool InnerLinesShow(const PictureView& picture, const Homography& map, int rows, int cols, double cell_px,
                    double cell_gray, double contrast) {
  if (rows < 4 && cols < 4) return true;
  if (cell_px < 12.0) return false;
  double sum = 0.0;
  int n = 0;
  for (int i = 1; i + 1 < rows; ++i) {
    for (int j = 1; j + 1 < cols; ++j) {
      for (int t = 1; t <= 3; ++t) {
        const double along = t / 4.0;
        if (j + 2 < cols) {  // the line right of cell (i, j)
          const Point p = map.Apply(double(j + 1) / cols, (i + along) / rows);
          sum += picture.Sample(p.x, p.y), ++n;
        }
        if (i + 2 < rows) {  // the line below it
          const Point p = map.Apply((j + along) / cols, double(i + 1) / rows);
          sum += picture.Sample(p.x, p.y), ++n;
        }
      }
    }
  }
  return n == 0 || cell_gray - sum / n >= 0.06 * contrast;
}

double ShadowCellValue(const PictureView& picture, const Homography& map, const Light& light, int i, int j,
                       int rows, int cols, int n, double band, double& down, double& up) {
  const double ink = 1.0 - light.InkShare();
  const double shifts[3] = {0.0, -light.doubt_minus(), light.doubt_plus()};
  // The central half clear of the band; else most of the cell clear of it
  // (an edge through the middle leaves its corners); else the central half
  // as it is.
  struct Area {
    double from, to;
    int count;
    bool clear;
  };
  const Area areas[3] = {{0.25, 0.75, n, true}, {0.12, 0.88, n + n / 2, true}, {0.25, 0.75, n, false}};
  double at[3] = {0, 0, 0};
  int kept = 0;
  for (const Area& area : areas) {
    if (area.clear && !light.sharp()) continue;
    at[0] = at[1] = at[2] = 0.0;
    kept = 0;
    const double step = (area.to - area.from) / area.count;
    for (int a = 0; a < area.count; ++a)
      for (int b = 0; b < area.count; ++b) {
        const double x = j + area.from + step * (b + 0.5), y = i + area.from + step * (a + 0.5);
        if (area.clear && std::fabs(light.EdgeOffset(x, y)) < band) continue;
        const Point p = map.Apply(x / cols, y / rows);
        const double gray = picture.Sample(p.x, p.y);
        for (int s = 0; s < 3; ++s) {
          const double paper = light.Paper(x, y, shifts[s]);
          at[s] += (paper - gray) / std::max(paper * ink, 4.0);
        }
        ++kept;
      }
    if (kept * 4 >= n * n) break;
  }
  for (double& v : at) v /= std::max(kept, 1);
  // The value moves one way as the edge moves back and the other way as it
  // moves forward; each way is kept apart, since only the way towards the
  // threshold can change the cell's verdict.
  down = std::max(0.0, at[0] - std::min(at[1], at[2]));
  up = std::max(0.0, std::max(at[1], at[2]) - at[0]);
  return at[0];
}

double ExpectedWrongCells(const std::vector<double>& values, const std::vector<unsigned char>& black,
                          int rows, int cols) {
  double sum[2] = {0, 0}, square[2] = {0, 0};
  int count[2] = {0, 0};
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * cols + j;
      const int c = black[k] ? 1 : 0;
      sum[c] += values[k], square[c] += values[k] * values[k], ++count[c];
    }
  if (count[0] < 2 || count[1] < 2) return 0.0;
  double mean[2], spread[2];
  for (int c = 0; c < 2; ++c) {
    mean[c] = sum[c] / count[c];
    // Cells read on clean pictures agree to a few hundredths; a floor keeps
    // such a spread from making every small step look like a gulf.
    spread[c] = std::max(0.03, std::sqrt(std::max(0.0, square[c] / count[c] - mean[c] * mean[c])));
  }
  double expected = 0.0;
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * cols + j;
      double density[2];
      for (int c = 0; c < 2; ++c) {
        const double z = (values[k] - mean[c]) / spread[c];
        density[c] = std::exp(-0.5 * z * z) / spread[c];
      }
      const int own = black[k] ? 1 : 0;
      const double both = density[0] + density[1];
      if (both > 0.0) expected += density[1 - own] / both;
    }
  return expected;
}

// Black cells are solid ink: each inner black cell reads about as dark as
// the ring, less what blur from its white neighbours takes away. With a
// blur of 0.4 cell (the most a readable figure has) a black cell keeps
// about 0.87 of its darkness for each white side across one axis, 0.74 for
// white on both sides of an axis, so 0.55 alone. Each black cell must reach
// that share of the ring's typical value for its own neighbours, less the
// noise the white cells show (three times their spread). A thick frame or a
// mark only partly covering cells reads lighter than this.
bool SolidBlackCells(const std::vector<double>& values, const std::vector<unsigned char>& black, int rows,
                     int cols, double threshold) {
  std::vector<double> ring, white;
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * cols + j;
      if (i == 0 || j == 0 || i == rows - 1 || j == cols - 1)
        ring.push_back(values[k]);
      else if (!black[k])
        white.push_back(values[k]);
    }
  if (white.size() < 2) return true;
  double mean = 0.0, square = 0.0;
  for (double v : white) mean += v, square += v * v;
  mean /= white.size();
  const double spread = std::sqrt(std::max(0.0, square / white.size() - mean * mean));
  const double solid = Median(ring);
  auto is_black = [&](int i, int j) { return black[static_cast<std::size_t>(i) * cols + j] != 0; };
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j) {
      if (!is_black(i, j)) continue;
      double keep = 1.0;
      for (int axis = 0; axis < 2; ++axis) {
        const int whites =
            axis == 0 ? !is_black(i - 1, j) + !is_black(i + 1, j) : !is_black(i, j - 1) + !is_black(i, j + 1);
        keep *= whites == 0 ? 1.0 : whites == 1 ? 0.87 : 0.74;
      }
      const double floor = threshold + 0.9 * (keep * solid - threshold) - 3.0 * spread;
      if (values[static_cast<std::size_t>(i) * cols + j] < floor) return false;
    }
  return true;
}

// A shadow edge along a side may cut a figure: the part in shadow (or in
// light) then passes for a whole one, its cut side running along the edge.
// Beyond a true figure's corners lies paper; beyond a cut the ring row or
// column running to an end of the cut side goes on. At each end of `side`
// (-1: none) a patch just past the corner in line with that ring stretch
// is compared with the patch beside it, one cell further out: both lie on
// the same side of an edge running along the side, so ink over paper shows
// as their ratio whatever the light there (the light fitted round the
// figure is not known beyond a cut side: the rest of the figure lies there).
// The ring goes on when that patch is darker than the one beside it by half
// the share the ring is darker than its paper. The patches start 0.4 cell
// past the corner, where a blur of up to 0.4 cell leaves little of the
// corner cell's own ink and a corner a quarter cell off still keeps them
// beyond it. One end suffices: the cut side seldom runs exactly along the
// true one, so at its other end the outline may reach past the figure.
bool RingGoesOn(const PictureView& picture, const Homography& map, const Light& light, int side, int rows,
                int cols) {
  if (side < 0) return false;
  const double du = 1.0 / cols, dv = 1.0 / rows;
  const double ring = 1.0 - light.InkShare();
  for (int e = 0; e < 2; ++e) {
    // The corner at end e of the side, (cu, cv) in the unit square, and the
    // outward signs across the stretch (s) and along it past the side (t).
    const bool across_rows = side == 0 || side == 2;  // the stretch is a ring column
    double cu, cv;
    if (across_rows) {
      cu = e == 0 ? 0.0 : 1.0;
      cv = side == 0 ? 0.0 : 1.0;
    } else {
      cu = side == 3 ? 0.0 : 1.0;
      cv = e == 0 ? 0.0 : 1.0;
    }
    const double su = cu > 0.5 ? 1.0 : -1.0, sv = cv > 0.5 ? 1.0 : -1.0;
    // A patch from a0 to a1 cells across the stretch (negative: inside the
    // ring) and 0.4 to 1 cell along it past the side.
    auto patch = [&](double a0, double a1) {
      double u0, u1, v0, v1;
      if (across_rows) {
        u0 = cu + su * a0 * du, u1 = cu + su * a1 * du, v0 = cv + sv * 0.4 * dv, v1 = cv + sv * dv;
      } else {
        v0 = cv + sv * a0 * dv, v1 = cv + sv * a1 * dv, u0 = cu + su * 0.4 * du, u1 = cu + su * du;
      }
      return PatchMean(picture, map, std::min(u0, u1), std::max(u0, u1), std::min(v0, v1), std::max(v0, v1),
                       4);
    };
    const double in_line = patch(-0.85, -0.15), beside = patch(0.15, 0.85);
    if (std::isnan(in_line) || std::isnan(beside) || beside <= 1.0) continue;
    if (1.0 - in_line / beside >= 0.5 * ring) return true;
  }
  return false;
}

// A figure cut by a shadow edge, read from its lit or shaded part alone,
// leaves the ring running on past the cut: beyond both ends of the cut side
// the ring's rows go on in ink, where beyond a true figure's corners lies
// paper. Each end's patch (a cell past the side, in line with the ring) is
// compared with the patch diagonally past the corner, which is paper either
// way and lies on the same side of such an edge. True when both ends of
// some side are darker than that paper by half the ring's share of it.
// A cut half a cell in leaves the ring going on over less than half of a
// cell-sized patch, and where shaded paper looks like lit ink the rest of
// the figure shows no more than that: the strip from a tenth to half a
// cell out is compared with its diagonal neighbour as well. Against a true
// corner that strip takes in blur from the ring cell beside it, which the
// diagonal one does not, and small patches in noise stray further: there
// the ring goes on only where the strip is darker by three quarters of the
// ring's share.
bool RingRunsOn(const PictureView& picture, const Homography& map, int rows, int cols, double ring_share) {
  const double du = 1.0 / cols, dv = 1.0 / rows;
  // A patch centred at (u, v), 80% of a cell along the side and `across`
  // cells across it (`across_u`: the side runs along v).
  auto patch = [&](double u, double v, double across, bool across_u) {
    const double hu = (across_u ? across / 2.0 : 0.4) * du, hv = (across_u ? 0.4 : across / 2.0) * dv;
    return PatchMean(picture, map, u - hu, u + hu, v - hv, v + hv, 3);
  };
  for (int side = 0; side < 4; ++side) {
    int dark_ends = 0;
    for (int e = 0; e < 2; ++e) {
      // The corner at end e of the side, the outward step across the side,
      // and the step along it past the corner.
      double u, v, out_u = 0, out_v = 0, on_u = 0, on_v = 0;
      if (side == 0 || side == 2) {
        u = e == 0 ? 0.0 : 1.0;
        v = side == 0 ? 0.0 : 1.0;
        on_u = e == 0 ? -du : du;
        out_v = side == 0 ? -dv : dv;
      } else {
        u = side == 3 ? 0.0 : 1.0;
        v = e == 0 ? 0.0 : 1.0;
        on_v = e == 0 ? -dv : dv;
        out_u = side == 3 ? -du : du;
      }
      // In line with the ring beside the corner, and diagonally past it:
      // from a tenth of a cell to nine tenths out, and to half a cell.
      const bool across_u = side == 1 || side == 3;
      bool dark = false;
      // (The patch's middle, cells out, and the share of the ring's
      // darkness asked of it.)
      for (const auto& [mid, share] : {std::pair{0.5, 0.5}, std::pair{0.3, 0.75}}) {
        const double across = 2.0 * (mid - 0.1);
        const double ring_on =
            patch(u + mid * out_u - 0.5 * on_u, v + mid * out_v - 0.5 * on_v, across, across_u);
        const double paper =
            patch(u + mid * out_u + 0.5 * on_u, v + mid * out_v + 0.5 * on_v, across, across_u);
        if (std::isnan(ring_on) || std::isnan(paper)) break;
        if (ring_on < paper * (1.0 - share * ring_share)) dark = true;
      }
      if (dark) ++dark_ends;
    }
    if (dark_ends == 2) return true;
  }
  return false;
}

bool InnerFrameOnly(const std::vector<unsigned char>& black, int rows, int cols) {
  // A frame two cells thick round a figure of under 6 x 6 cells leaves at
  // most 2 cells inside: many figures that small read so.
  if (rows < 6 || cols < 6) return false;
  auto at = [&](int i, int j) { return black[static_cast<std::size_t>(i) * cols + j] != 0; };
  // The lines next to the ring, each wholly black or not.
  bool line_black[4] = {true, true, true, true};  // row 1, column cols-2, row rows-2, column 1
  for (int j = 1; j + 1 < cols; ++j)
    line_black[0] = line_black[0] && at(1, j), line_black[2] = line_black[2] && at(rows - 2, j);
  for (int i = 1; i + 1 < rows; ++i)
    line_black[3] = line_black[3] && at(i, 1), line_black[1] = line_black[1] && at(i, cols - 2);
  // A frame: two opposite lines at least.
  if (!(line_black[0] && line_black[2]) && !(line_black[1] && line_black[3])) return false;
  bool any = false;
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j) {
      if (!at(i, j)) continue;
      const bool on_frame = (i == 1 && line_black[0]) || (j == cols - 2 && line_black[1]) ||
                            (i == rows - 2 && line_black[2]) || (j == 1 && line_black[3]);
      if (!on_frame) return false;
      any = true;
    }
  return any;
}

}  // namespace vx::reader
