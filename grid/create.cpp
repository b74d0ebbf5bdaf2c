// Laying the inner lines of a grid over a quadrilateral: equal division of
// opposite sides, or division by a linear model of the cell size.
#include <cstdint>

#include "grid/grid_arrays.h"
#include "vexolith/geometry.h"
#include "vexolith/grid.h"
#include "vexolith/statistics.h"

namespace {

// The free coordinate of a side: x for a line y = k*x + b (dir 1), y for a
// line x = k*y + b (dir 2). Corners are measured along it.
double FreeCoord(const F_LINE& side, C_POINTd p) { return side.dir == 1 ? p.x : p.y; }

// The point of a side at the value v of its free coordinate.
C_POINTd PointOnSide(const F_LINE& side, double v) {
  if (side.dir == 1) return C_POINTd{v, side.k * v + side.b};
  return C_POINTd{side.k * v + side.b, v};
}

F_LINE LineThrough(C_POINTd a, C_POINTd b) { return MakeLine(a.x, a.y, b.x, b.y); }

// Stores the corners and the four sides p1-p3, p3-p2, p2-p4, p4-p1.
void SetOutline(GRID& grid, const FOUR_FIG_Pd& c) {
  grid.corners = c;
  grid.sides[0] = MakeLine(c.p1, c.p3);
  grid.sides[1] = MakeLine(c.p3, c.p2);
  grid.sides[2] = MakeLine(c.p2, c.p4);
  grid.sides[3] = MakeLine(c.p4, c.p1);
}

// Where a line starts and ends on a side: `from` is the corner the distance
// is counted from, `to` the corner it heads for.
struct SideRun {
  const F_LINE* side;  // the side the end point lies on
  C_POINTd from;       // corner at distance 0
  C_POINTd to;         // corner at the far end of the side
};

// The point the fraction part/count of the way along the run; the product is
// formed before the division so that (i + 1) * span / count rounds once.
C_POINTd FractionPoint(const SideRun& run, int part, int count) {
  double start = FreeCoord(*run.side, run.from);
  double span = FreeCoord(*run.side, run.to) - start;
  return PointOnSide(*run.side, start + (part * span) / count);
}

// The point at `distance` pixels of free coordinate from the run's start,
// toward its end (pmu gives -1 when the end has the smaller coordinate).
C_POINTd DistancePoint(const SideRun& run, double distance) {
  double start = FreeCoord(*run.side, run.from);
  return PointOnSide(*run.side, start + pmu(FreeCoord(*run.side, run.to) - start) * distance);
}

// The four runs of a built grid: row lines go from side 0 (p1 toward p3) to
// side 2 (p4 toward p2); column lines from side 1 (p3 toward p2) to side 3
// (p1 toward p4).
struct Runs {
  SideRun row_start, row_end, column_start, column_end;
};

Runs RunsOf(const GRID& grid) {
  const FOUR_FIG_Pd& c = grid.corners;
  return Runs{SideRun{&grid.sides[0], c.p1, c.p3}, SideRun{&grid.sides[2], c.p4, c.p2},
              SideRun{&grid.sides[1], c.p3, c.p2}, SideRun{&grid.sides[3], c.p1, c.p4}};
}

// Size of model cell m: k * m + b, with the index formed in 64 bits so that
// an offset near the int limit cannot overflow before it becomes a double.
double ModelSize(const F_LINE& model, std::int64_t m) { return static_cast<double>(m) * model.k + model.b; }

}  // namespace

int GRID::CreateGrid(FOUR_FIG_P c) {
  FOUR_FIG_Pd d{PointID(c.p1.x, c.p1.y), PointID(c.p2.x, c.p2.y), PointID(c.p3.x, c.p3.y),
                PointID(c.p4.x, c.p4.y)};
  return CreateGrid(d);
}

int GRID::CreateGrid(FOUR_FIG_Pd c) {
  SetOutline(*this, c);
  // A grid without cells keeps its outline but has no inner lines to lay.
  if (!vx::HasCells(*this)) return 0;
  Runs runs = RunsOf(*this);
  for (int i = 0; i + 2 <= rows; ++i) {
    lines[i] =
        LineThrough(FractionPoint(runs.row_start, i + 1, rows), FractionPoint(runs.row_end, i + 1, rows));
  }
  for (int i = 0; i + 2 <= columns; ++i) {
    lines[rows - 1 + i] = LineThrough(FractionPoint(runs.column_start, i + 1, columns),
                                      FractionPoint(runs.column_end, i + 1, columns));
  }
  return 0;
}

int GRID::CreateGrid(FOUR_FIG_Pd c, F_LINE spacing1, F_LINE spacing2, F_LINE spacing3, F_LINE spacing4,
                     int* offsets) {
  SetOutline(*this, c);
  if (!vx::HasCells(*this)) return 0;
  const std::int64_t o[4] = {offsets ? offsets[0] : 0, offsets ? offsets[1] : 0, offsets ? offsets[2] : 0,
                             offsets ? offsets[3] : 0};
  Runs runs = RunsOf(*this);

  // Row pass: the model index counts up from the cell at p1 (and at p4), and
  // each line lies at the running sum of the cell sizes before it.
  double a = 0.0;
  double e = 0.0;
  for (int i = 0; i + 2 <= rows; ++i) {
    a = ModelSize(spacing1, i + o[0]) + a;
    e = ModelSize(spacing4, i + o[3]) + e;
    lines[i] = LineThrough(DistancePoint(runs.row_start, a), DistancePoint(runs.row_end, e));
  }

  // Column pass: the index counts down, the first cell taking (columns - 1) - offset.
  a = 0.0;
  e = 0.0;
  const std::int64_t last = static_cast<std::int64_t>(columns) - 1;
  for (int i = 0; i + 2 <= columns; ++i) {
    a = ModelSize(spacing2, last - (i + o[1])) + a;
    e = ModelSize(spacing3, last - (i + o[2])) + e;
    lines[rows - 1 + i] = LineThrough(DistancePoint(runs.column_start, a), DistancePoint(runs.column_end, e));
  }
  return 0;
}
