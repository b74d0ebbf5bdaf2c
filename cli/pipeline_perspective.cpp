#include "cli/pipeline_perspective.h"

#include <cmath>
#include <vector>

namespace vxcli {
namespace {

// The coordinate the grid measures along the side from a to b: x for a
// side that runs more across than down, y otherwise (the form a line
// through the two points takes).
double FreeCoordinate(Pt a, Pt b, Pt p) { return std::fabs(b.y - a.y) > std::fabs(b.x - a.x) ? p.y : p.x; }

// The grid places boundary i at the running sum of the model sizes
// k * index(n) + b for n = 0 .. i. The model is the least-squares fit of
// those sums to the boundaries' distances from the side's start, `reach`
// (boundary i at reach[i]; the last is the far corner), so the positions,
// not the sizes, are what is fitted.
F_LINE FitSpacing(const std::vector<double>& index, const std::vector<double>& reach) {
  double s11 = 0.0, s12 = 0.0, s22 = 0.0, s1r = 0.0, s2r = 0.0, sum_index = 0.0;
  for (std::size_t i = 0; i < reach.size(); ++i) {
    sum_index += index[i];
    const double x1 = sum_index, x2 = static_cast<double>(i + 1);
    s11 += x1 * x1;
    s12 += x1 * x2;
    s22 += x2 * x2;
    s1r += x1 * reach[i];
    s2r += x2 * reach[i];
  }
  const double den = s11 * s22 - s12 * s12;
  if (std::fabs(den) < 1e-12) return F_LINE{3, 1, 0.0, reach.back() / reach.size()};  // one cell: its size
  return F_LINE{3, 1, (s1r * s22 - s12 * s2r) / den, (s11 * s2r - s12 * s1r) / den};
}

// Distances of the cell boundaries 1 .. cells from the side's start on its
// free coordinate; point(t) gives the side's point at fraction t.
template <typename PointAt>
std::vector<double> Reach(Pt from, Pt to, int cells, PointAt point) {
  std::vector<double> reach(cells);
  const double start = FreeCoordinate(from, to, point(0.0));
  for (int m = 0; m < cells; ++m)
    reach[m] = std::fabs(FreeCoordinate(from, to, point(double(m + 1) / cells)) - start);
  return reach;
}

}  // namespace

Perspective::Perspective(const std::array<Pt, 4>& q) {
  const double dx1 = q[1].x - q[2].x, dx2 = q[3].x - q[2].x, dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
  const double dy1 = q[1].y - q[2].y, dy2 = q[3].y - q[2].y, dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
  const double den = dx1 * dy2 - dx2 * dy1;
  const double g = den != 0.0 ? (dx3 * dy2 - dx2 * dy3) / den : 0.0;
  const double h = den != 0.0 ? (dx1 * dy3 - dx3 * dy1) / den : 0.0;
  const double m[9] = {q[1].x - q[0].x + g * q[1].x,
                       q[3].x - q[0].x + h * q[3].x,
                       q[0].x,
                       q[1].y - q[0].y + g * q[1].y,
                       q[3].y - q[0].y + h * q[3].y,
                       q[0].y,
                       g,
                       h,
                       1.0};
  for (int i = 0; i < 9; ++i) m_[i] = m[i];
}

Pt Perspective::Apply(double u, double v) const {
  const double w = m_[6] * u + m_[7] * v + m_[8];
  return {(m_[0] * u + m_[1] * v + m_[2]) / w, (m_[3] * u + m_[4] * v + m_[5]) / w};
}

void CreatePerspectiveGrid(GRID& grid, const std::array<Pt, 4>& seen) {
  const Pt tl = seen[0], tr = seen[1], br = seen[2], bl = seen[3];
  const FOUR_FIG_Pd corners{C_POINTd{tl.x, tl.y}, C_POINTd{br.x, br.y}, C_POINTd{bl.x, bl.y},
                            C_POINTd{tr.x, tr.y}};
  const int rows = grid.rows, cols = grid.columns;
  if (rows < 1 || cols < 1) {
    grid.CreateGrid(corners);
    return;
  }
  const Perspective map(seen);
  // Rows are measured down the left side (p1 -> p3) and down the right side
  // (p4 -> p2), the model index counting up from the first cell.
  std::vector<double> up(rows);
  for (int m = 0; m < rows; ++m) up[m] = m;
  const F_LINE spacing1 = FitSpacing(up, Reach(tl, bl, rows, [&](double t) { return map.Apply(0, t); }));
  const F_LINE spacing4 = FitSpacing(up, Reach(tr, br, rows, [&](double t) { return map.Apply(1, t); }));
  // Columns are measured along the bottom side (p3 -> p2) and the top side
  // (p1 -> p4), the model index counting down from columns - 1.
  std::vector<double> down(cols);
  for (int n = 0; n < cols; ++n) down[n] = cols - 1 - n;
  const F_LINE spacing2 = FitSpacing(down, Reach(bl, br, cols, [&](double t) { return map.Apply(t, 1); }));
  const F_LINE spacing3 = FitSpacing(down, Reach(tl, tr, cols, [&](double t) { return map.Apply(t, 0); }));
  grid.CreateGrid(corners, spacing1, spacing2, spacing3, spacing4, nullptr);
}

}  // namespace vxcli
