// A found figure's sides refined on a black-and-white copy of the picture
// around it, and its cells read again on the refined corners.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "reader/binarize.h"
#include "reader/cells.h"
#include "reader/geometry.h"
#include "contour/quiet.h"
#include "reader/plane.h"
#include "refine/figure_sides.h"
#include "vexolith.h"
#include "vexolith/refine_reading.h"

namespace vexolith {
namespace {

using vx::reader::Quad;

// The part of the picture the searches look at: the figure's bounding box
// and a margin of 8 pixels and a twentieth of its size, which holds every
// probe (they turn a side's end by at most 5 pixels and run 1 pixel
// outside it) and enough paper for the level to split ink from paper.
struct Window {
  int x0 = 0, y0 = 0, width = 0, height = 0;
};

Window AroundFigure(const Quad& q, int picture_width, int picture_height) {
  double left = q[0].x, right = q[0].x, top = q[0].y, bottom = q[0].y;
  for (const Point& p : q) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  const double margin = 8.0 + 0.05 * std::max(right - left, bottom - top);
  Window w;
  w.x0 = static_cast<int>(std::clamp(std::floor(left - margin), 0.0, double(picture_width - 1)));
  w.y0 = static_cast<int>(std::clamp(std::floor(top - margin), 0.0, double(picture_height - 1)));
  const int x1 = static_cast<int>(std::clamp(std::ceil(right + margin), 0.0, double(picture_width - 1)));
  const int y1 = static_cast<int>(std::clamp(std::ceil(bottom + margin), 0.0, double(picture_height - 1)));
  w.width = x1 - w.x0 + 1;
  w.height = y1 - w.y0 + 1;
  return w;
}

// The window in black (0) and white (255), top-down, split at the level
// that best separates its dark from its light (Otsu): the figure's ink from
// the paper around it.
vx::reader::Plane BlackAndWhite(const vx::reader::PictureView& view, const Window& w) {
  vx::reader::Plane gray(w.width, w.height);
  for (int y = 0; y < w.height; ++y) {
    std::uint8_t* row = gray.Row(y);
    for (int x = 0; x < w.width; ++x) row[x] = static_cast<std::uint8_t>(view.Gray(w.x0 + x, w.y0 + y));
  }
  const int level = vx::reader::OtsuLevel(gray);
  for (std::uint8_t& v : gray.px) v = v <= level ? 0 : 255;
  return gray;
}

// The figure's region in the contour store: the one with the largest
// bounding box, its outer black ring.
int LargestRegion(CONTOUR& store) {
  int best = -1;
  double best_area = -1;
  for (int i = 0; i < store.ReturnAllContours(); ++i) {
    const RECT r = store.ReturnRectContour(i);
    const double area = (double(r.right) - r.left + 1) * (double(r.bottom) - r.top + 1);
    if (area > best_area) best = i, best_area = area;
  }
  return best;
}

vx::SideSearch SearchOf(EdgeRefine how) {
  switch (how) {
    case EdgeRefine::kContour:
      return vx::SideSearch::kContour;
    case EdgeRefine::kDispersion:
      return vx::SideSearch::kDispersion;
    case EdgeRefine::kDispersionFromCorner:
      return vx::SideSearch::kDispersionFromCorner;
    case EdgeRefine::kBlack:
      return vx::SideSearch::kBlack;
    case EdgeRefine::kNone:
    case EdgeRefine::kImage:
      break;
  }
  return vx::SideSearch::kRunCount;
}

RefineOutcome Kept(RefineOutcome o, std::string why) {
  o.refined = false;
  o.kept_because = std::move(why);
  return o;
}

}  // namespace

RefineOutcome RefineFigure(const IMG& picture, bool top_down, FigureReading& figure,
                           const RefineOptions& options) {
  RefineOutcome out;
  if (options.how == EdgeRefine::kNone) return Kept(out, "no refinement asked for");
  if (picture.valid != 1 || picture.bits == nullptr || picture.width < 1 || picture.height < 1)
    return Kept(out, "not an image with pixels");
  if (figure.rows < 1 || figure.cols < 1) return Kept(out, "not a figure the reader read");
  const Quad seen = figure.corners;
  for (const Point& p : seen)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return Kept(out, "not a figure the reader read");

  const vx::reader::PictureView view(picture, top_down);
  const Window w = AroundFigure(seen, picture.width, picture.height);
  vx::reader::Plane binary = BlackAndWhite(view, w);
  const IMG img{binary.px.data(), w.width, w.width, w.height, 1, 1};

  // Window coordinates; the outline p1 -> p3 -> p2 -> p4 is top-left,
  // top-right, bottom-right, bottom-left, so the sides come out as top,
  // right, bottom, left.
  auto local = [&](Point p) { return C_POINTd{p.x - w.x0, p.y - w.y0}; };
  FOUR_FIG_Pd corners{local(seen[0]), local(seen[2]), local(seen[1]), local(seen[3])};

  vx::SideRefineOptions side;
  side.search = SearchOf(options.how);
  side.logs_prefix = options.logs_prefix;
  vx::SidesRefined done;
  if (side.search == vx::SideSearch::kContour) {
    const auto store = std::make_unique<CONTOUR>();
    const vx::QuietFind quiet;  // the host's standard output is not the library's
    if (store->Find(img, RECT{0, 0, w.width, w.height}, 0, 0) != 0)
      return Kept(out, "the contour store could not collect the figure");
    done = vx::RefineFigureSides(img, corners, side, store.get(), LargestRegion(*store));
  } else {
    done = vx::RefineFigureSides(img, corners, side);
  }
  out.logs_kept = done.logs_kept;
  if (done.sides == 0) return Kept(out, "no side could be refined");

  auto global = [&](C_POINTd p) { return Point{p.x + w.x0, p.y + w.y0}; };
  const Quad refined{global(corners.p1), global(corners.p3), global(corners.p2), global(corners.p4)};
  out.tried = refined;
  out.tried_valid = true;

  // The reader's own checks, on the refined corners.
  if (!vx::reader::IsConvex(refined)) return Kept(out, "the refined outline is not convex");
  const double cell =
      std::sqrt(std::fabs(vx::reader::TwiceSignedArea(seen)) / 2.0 / (double(figure.rows) * figure.cols));
  for (int k = 0; k < 4; ++k)
    if (!(vx::reader::Distance(seen[k], refined[k]) <= std::max(1.0, cell / 3.0)))
      return Kept(out, "a refined corner moved more than a third of a cell");
  vx::reader::CellReading cells =
      vx::reader::ReadCells(view, refined, figure.rows, figure.cols, options.threshold);
  if (!cells.ok) return Kept(out, "the cells do not read on the refined corners (" + cells.fault + ")");
  if (cells.black != figure.black && cells.confidence < figure.confidence)
    return Kept(out, "the refined corners change verdicts with less confidence");

  figure.corners = refined;
  figure.values = std::move(cells.values);
  figure.margins = std::move(cells.margins);
  figure.black = std::move(cells.black);
  figure.threshold = cells.threshold;
  figure.confidence = cells.confidence;
  figure.black_count = static_cast<int>(std::count(figure.black.begin(), figure.black.end(), 1));
  out.refined = true;
  return out;
}

}  // namespace vexolith
