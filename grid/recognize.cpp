// Cell recognition: every cell of a built grid gets its weighted share of
// black pixels; the display form also draws cell outlines and crosses.
#include <cmath>
#include <limits>

#include "grid/cell_window.h"
#include "grid/grid_arrays.h"
#include "image/buffer.h"
#include "image/numeric.h"
#include "vexolith/draw.h"
#include "vexolith/geometry.h"
#include "vexolith/grid.h"

namespace {

// Corners whose x lies outside this range are refused with result 2.
constexpr double kMinCornerX = -300.0;
constexpr double kMaxCornerX = 10000.0;

// Colour bytes 0, 1, 2 of the drawings.
struct Colour {
  unsigned char c0, c1, c2;
};
constexpr Colour kOutline{0, 0, 64};  // dark red cell outline
constexpr Colour kCross{255, 0, 0};   // blue diagonals over a cell at least half black

// The four boundary lines of the cell in row i, column j: column boundary
// j - 1, row boundary i, column boundary j, row boundary i - 1. Boundary -1
// and the last boundary of each direction are sides of the quadrilateral.
struct CellLines {
  F_LINE l0, l1, l2, l3;
};

CellLines BoundariesOf(const GRID& g, int i, int j) {
  return CellLines{j == 0 ? g.sides[0] : g.lines[g.rows + j - 2], i == g.rows - 1 ? g.sides[1] : g.lines[i],
                   j == g.columns - 1 ? g.sides[2] : g.lines[g.rows - 1 + j],
                   i == 0 ? g.sides[3] : g.lines[i - 1]};
}

bool HasForm(const F_LINE& line) { return line.dir == 1 || line.dir == 2; }

bool Meet(const F_LINE& a, const F_LINE& b, C_POINTd* p) { return Intersection(a, b, &p->x, &p->y) == 0; }

// Draws a segment between two corners. A corner that the library's round
// cannot convert (not a number, or beyond int range: the y of a corner is not
// range-checked) has no pixel, so a segment touching it is left out.
void DrawSegment(const IMG& display, C_POINTd a, C_POINTd b, Colour c) {
  if (!vx::FitsRoundHalfUp(a.x) || !vx::FitsRoundHalfUp(a.y) || !vx::FitsRoundHalfUp(b.x) ||
      !vx::FitsRoundHalfUp(b.y))
    return;
  DrawLine(display, PointDI(a.x, a.y), PointDI(b.x, b.y), c.c0, c.c1, c.c2);
}

int Recognize(GRID& g, IMG image, const IMG* display) {
  // A gray record whose pixels cannot be read safely (no buffer, no rows or
  // columns, rows shorter than the width) is refused like a 24-bit one:
  // code 1, "not a usable 8-bit image", before any cell is touched. The
  // display needs no check here: the drawing calls leave alone an image
  // they cannot paint.
  if (image.gray != 1 || !vx::HasPixels(image)) return 1;
  if (!vx::HasCells(g)) return 0;
  const bool drawing = display != nullptr;
  vx::WeightTable weights(image.width);

  for (int j = 0; j < g.columns; ++j) {
    for (int i = 0; i < g.rows; ++i) {
      const CellLines b = BoundariesOf(g, i, j);
      // Lines without a form (a grid never built reads as zeroed lines)
      // cannot be intersected: the cell cannot be computed.
      if (!HasForm(b.l0) || !HasForm(b.l1) || !HasForm(b.l2) || !HasForm(b.l3)) return 2;

      // Q0-Q1 and Q2-Q3 are the cell's diagonals.
      C_POINTd q0, q1, q2, q3;
      if (!Meet(b.l0, b.l3, &q0) || !Meet(b.l1, b.l2, &q1) || !Meet(b.l0, b.l1, &q2) ||
          !Meet(b.l2, b.l3, &q3)) {
        return 2;
      }
      for (const C_POINTd& q : {q0, q1, q2, q3}) {
        if (q.x < kMinCornerX || q.x > kMaxCornerX) return 2;
      }
      if (drawing) {
        DrawSegment(*display, q0, q2, kOutline);
        DrawSegment(*display, q2, q1, kOutline);
        DrawSegment(*display, q1, q3, kOutline);
        DrawSegment(*display, q3, q0, kOutline);
      }

      const F_LINE d0 = MakeLine(q0, q1);
      const F_LINE d1 = MakeLine(q2, q3);
      const double len0 = LengthLine(q0.x, q0.y, q1.x, q1.y);
      const double len1 = LengthLine(q2.x, q2.y, q3.x, q3.y);
      const double r = (len1 <= len0 ? len1 : len0) / 2.0;  // half the shorter diagonal
      if (image.width <= r) return 3;

      double cx = std::numeric_limits<double>::quiet_NaN();
      double cy = cx;
      if (Intersection(d0, d1, &cx, &cy) != 0) return 2;
      const vx::CellMeasure m = vx::MeasureCell(image, weights, r, cx, cy);
      if (m.code != 0) return m.code;
      g.cells[vx::CellIndex(g, i, j)] = m.value;

      // NaN compares false, so a degenerate cell gets no cross.
      if (drawing && m.value >= 0.5) {
        DrawSegment(*display, q0, q1, kCross);
        DrawSegment(*display, q2, q3, kCross);
      }
    }
  }
  return 0;
}

}  // namespace

int GRID::RecogCells(IMG image) { return Recognize(*this, image, nullptr); }

int GRID::RecogCells(IMG image, IMG display) { return Recognize(*this, image, &display); }
