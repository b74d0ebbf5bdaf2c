#include "contour/nesting.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace vx {
namespace {

bool StrictlyContains(const RECT& outer, const RECT& inner) {
  return inner.left > outer.left && inner.right < outer.right && inner.top > outer.top &&
         inner.bottom < outer.bottom;
}

// A box that strictly contains box i has the top-left pixel of i inside its
// interior (left + 1 .. right - 1 by top + 1 .. bottom - 1). So the
// candidates for i are the boxes whose interior covers that one pixel: a
// point query.
//
// The boxes that have an interior are filed in a hierarchy of grids over
// the boxes' extent. Grid k has square cells of side base << k, and a box
// goes into the first grid whose cells are at least as large as its
// interior, so it lies in at most 2 x 2 cells there. A query looks at one
// cell per grid. Filing is O(n log extent), and a query meets only boxes of
// about its own cell's size near its corner instead of every earlier box:
// a page of 7800 letters costs a few candidates per letter where comparing
// all pairs costs 30 million tests.
class BoxGrids {
 public:
  explicit BoxGrids(const std::vector<RECT>& boxes) {
    std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
    for (const RECT& b : boxes) {
      if (!HasInterior(b)) continue;
      x0 = std::min<std::int64_t>(x0, b.left + 1);
      y0 = std::min<std::int64_t>(y0, b.top + 1);
      x1 = std::max<std::int64_t>(x1, b.right - 1);
      y1 = std::max<std::int64_t>(y1, b.bottom - 1);
    }
    if (x0 > x1) return;  // no box can contain another
    x0_ = x0;
    y0_ = y0;
    const std::int64_t extent = std::max(x1 - x0 + 1, y1 - y0 + 1);
    // The finest grid has about as many cells as there are boxes.
    const double per_box = static_cast<double>(extent) * static_cast<double>(extent) /
                           static_cast<double>(std::max<std::size_t>(boxes.size(), 1));
    base_ = 1;
    while (static_cast<double>(base_) * static_cast<double>(base_) * 4.0 <= per_box) base_ *= 2;
    int levels = 1;
    while ((base_ << (levels - 1)) < extent) ++levels;
    grids_.resize(static_cast<std::size_t>(levels));
    for (int k = 0; k < levels; ++k) {
      Grid& g = grids_[static_cast<std::size_t>(k)];
      g.side = base_ << k;
      g.cols = (x1 - x0) / g.side + 1;
      g.rows = (y1 - y0) / g.side + 1;
      g.start.assign(static_cast<std::size_t>(g.cols * g.rows + 1), 0);
    }
    // Counting pass, then a filling pass in increasing box order, so every
    // cell lists its boxes by increasing index.
    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t j = 0; j < boxes.size(); ++j) {
        const RECT& b = boxes[j];
        if (!HasInterior(b)) continue;
        Grid& g = grids_[static_cast<std::size_t>(LevelOf(b))];
        const std::int64_t c0 = (b.left + 1 - x0_) / g.side, c1 = (b.right - 1 - x0_) / g.side;
        const std::int64_t r0 = (b.top + 1 - y0_) / g.side, r1 = (b.bottom - 1 - y0_) / g.side;
        for (std::int64_t r = r0; r <= r1; ++r) {
          for (std::int64_t c = c0; c <= c1; ++c) {
            const std::size_t cell = static_cast<std::size_t>(r * g.cols + c);
            if (pass == 0) {
              ++g.start[cell + 1];
            } else {
              g.members[static_cast<std::size_t>(g.fill[cell]++)] = static_cast<int>(j);
            }
          }
        }
      }
      if (pass == 0) {
        for (Grid& g : grids_) {
          for (std::size_t c = 1; c < g.start.size(); ++c) g.start[c] += g.start[c - 1];
          g.members.resize(static_cast<std::size_t>(g.start.back()));
          g.fill.assign(g.start.begin(), g.start.end() - 1);
        }
      }
    }
  }

  // Calls visit(j) for every filed box j below `limit` whose interior may
  // hold pixel (x, y), in increasing j per grid.
  template <class Visit>
  void Candidates(int x, int y, int limit, Visit&& visit) const {
    for (const Grid& g : grids_) {
      const std::int64_t c = (x - x0_), r = (y - y0_);
      if (c < 0 || r < 0) return;
      const std::int64_t col = c / g.side, row = r / g.side;
      if (col >= g.cols || row >= g.rows) continue;
      const std::size_t cell = static_cast<std::size_t>(row * g.cols + col);
      for (int m = g.start[cell]; m < g.start[cell + 1]; ++m) {
        const int j = g.members[static_cast<std::size_t>(m)];
        if (j >= limit) break;
        visit(j);
      }
    }
  }

 private:
  struct Grid {
    std::int64_t side = 1, cols = 0, rows = 0;
    std::vector<int> start;    // cell c lists members[start[c] .. start[c + 1])
    std::vector<int> members;  // box indices, increasing within a cell
    std::vector<int> fill;     // next free slot per cell while filing
  };

  static bool HasInterior(const RECT& b) {
    return std::int64_t{b.right} - b.left >= 2 && std::int64_t{b.bottom} - b.top >= 2;
  }

  // The first grid whose cell side covers the interior's larger side.
  int LevelOf(const RECT& b) const {
    const std::int64_t size =
        std::max(std::int64_t{b.right} - b.left - 1, std::int64_t{b.bottom} - b.top - 1);
    int k = 0;
    while ((base_ << k) < size && k + 1 < static_cast<int>(grids_.size())) ++k;
    return k;
  }

  std::int64_t x0_ = 0, y0_ = 0, base_ = 1;
  std::vector<Grid> grids_;
};

}  // namespace

// Levels of earlier items are final when a later item looks at them, so
// one pass in index order suffices.
void NestByBoxes(CONTOUR_ITEM* items, int number) {
  if (number < 2) return;
  std::vector<RECT> boxes(static_cast<std::size_t>(number));
  std::vector<int> levels(static_cast<std::size_t>(number));
  for (int i = 0; i < number; ++i) {
    boxes[i] = items[i].rect;
    levels[i] = items[i].level;
  }
  const BoxGrids grids(boxes);
  for (int i = 1; i < number; ++i) {
    const RECT inner = boxes[i];
    int best = -1;
    grids.Candidates(inner.left, inner.top, i, [&](int j) {
      if (!StrictlyContains(boxes[j], inner)) return;
      if (best < 0 || levels[j] > levels[best] || (levels[j] == levels[best] && j < best)) best = j;
    });
    levels[i] = best < 0 ? 0 : levels[best] + 1;
    items[i].mama = best;
    items[i].level = levels[i];
  }
}

}  // namespace vx
