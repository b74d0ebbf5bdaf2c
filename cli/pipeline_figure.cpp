#include "cli/pipeline_figure.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "cli/pipeline_sides.h"

namespace vxcli {
namespace {

// At most this many of the largest regions are tried: the figure is among
// the largest dark things in any picture it can be read from, and every try
// costs a pass over the region's pixels.
constexpr int kMaxCandidates = 12;

double Cross(Pt o, Pt a, Pt b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// Share of the region's pixels inside the outline widened by 1.5 pixels.
double ShareInside(const CONTOUR_ITEM& item, const std::array<Pt, 4>& q) {
  const std::array<Pt, 4> wide = Expand(q, 1.5);
  const double sign = TwiceSignedArea(wide) >= 0.0 ? 1.0 : -1.0;
  std::size_t inside = 0;
  for (unsigned int n = 0; n < item.count; ++n) {
    const Pt p{static_cast<double>(item.points[n].x), static_cast<double>(item.points[n].y)};
    bool in = true;
    for (int i = 0; i < 4 && in; ++i) in = sign * Cross(wide[i], wide[(i + 1) % 4], p) >= 0.0;
    inside += in;
  }
  return item.count ? static_cast<double>(inside) / item.count : 0.0;
}

// The outline's bounding box agrees with the region's.
bool BoxesAgree(const RECT& box, const std::array<Pt, 4>& q) {
  double minx = q[0].x, maxx = minx, miny = q[0].y, maxy = miny;
  for (const Pt& p : q) {
    minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
    miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  }
  const double tol_x = 3.0 + 0.05 * (box.right - box.left), tol_y = 3.0 + 0.05 * (box.bottom - box.top);
  return std::fabs(minx - box.left) <= tol_x && std::fabs(maxx - box.right) <= tol_x &&
         std::fabs(miny - box.top) <= tol_y && std::fabs(maxy - box.bottom) <= tol_y;
}

// No side shorter than a fifth of the longest: a 4 x 16 figure seen
// steeply still passes, a sliver does not.
bool SidesBalanced(const std::array<Pt, 4>& q) {
  double shortest = 1e300, longest = 0.0;
  for (int i = 0; i < 4; ++i) {
    const double len = std::hypot(q[(i + 1) % 4].x - q[i].x, q[(i + 1) % 4].y - q[i].y);
    shortest = std::min(shortest, len), longest = std::max(longest, len);
  }
  return shortest >= longest / 5.0;
}

// The corner finder's corners in outline order.
std::array<Pt, 4> OutlineOf(const C_POINT* c) {
  auto pt = [](C_POINT p) { return Pt{static_cast<double>(p.x), static_cast<double>(p.y)}; };
  return {pt(c[0]), pt(c[2]), pt(c[1]), pt(c[3])};  // p1 -> p3 -> p2 -> p4
}

double ShortestSide(const std::array<Pt, 4>& q) {
  double shortest = 1e300;
  for (int i = 0; i < 4; ++i)
    shortest = std::min(shortest, std::hypot(q[(i + 1) % 4].x - q[i].x, q[(i + 1) % 4].y - q[i].y));
  return shortest;
}

// True when every corner of `b` lies within 3 pixels + 8% of the shortest
// side of the matching corner of `a`.
bool CornersAgree(const std::array<Pt, 4>& a, const std::array<Pt, 4>& b) {
  const double tolerance = 3.0 + 0.08 * ShortestSide(a);
  for (int i = 0; i < 4; ++i) {
    if (!std::isfinite(b[i].x) || !std::isfinite(b[i].y)) return false;
    if (std::hypot(b[i].x - a[i].x, b[i].y - a[i].y) > tolerance) return false;
  }
  return true;
}

// Rough corners of a region, on pixel centres: the corner finder's fitted
// side lines when they agree with its distant points and keep the region
// inside, the distant points otherwise. The fit can settle on a line inside
// a thick border, which the checks catch.
bool RoughCorners(CONTOUR& store, int index, std::array<Pt, 4>& outline, bool& refined) {
  C_POINT distant[4];
  if (store.Return4DistantPoints(distant[0], index) != 0) return false;
  outline = OutlineOf(distant);
  refined = false;
  C_POINT corners[4] = {distant[0], distant[1], distant[2], distant[3]};
  C_POINTd exact[4];
  F_LINE sides[4];
  if (store.Accuracy4RombPoints(corners[0], exact[0], sides[0], index) != 0) return true;
  const std::array<Pt, 4> fitted{Pt{exact[0].x, exact[0].y}, Pt{exact[2].x, exact[2].y},
                                 Pt{exact[1].x, exact[1].y}, Pt{exact[3].x, exact[3].y}};
  if (!CornersAgree(outline, fitted) || !IsConvex(fitted) || ShareInside(store.items[index], fitted) < 0.97)
    return true;
  outline = fitted;
  refined = true;
  return true;
}

}  // namespace

double QuadArea(const std::array<Pt, 4>& q) { return std::fabs(TwiceSignedArea(q)) / 2.0; }

bool IsConvex(const std::array<Pt, 4>& q) {
  int pos = 0, neg = 0;
  for (int i = 0; i < 4; ++i) {
    const double c = Cross(q[i], q[(i + 1) % 4], q[(i + 2) % 4]);
    pos += c > 0.0;
    neg += c < 0.0;
  }
  return pos == 4 || neg == 4;
}

std::array<Pt, 4> Expand(const std::array<Pt, 4>& q, double d) {
  const double sign = TwiceSignedArea(q) >= 0.0 ? 1.0 : -1.0;
  // Side i runs q[i] -> q[i+1]; its outward normal is (dy, -dx) for a clockwise outline.
  std::array<Pt, 4> a{}, e{};
  for (int i = 0; i < 4; ++i) {
    const Pt& p = q[i];
    const Pt& r = q[(i + 1) % 4];
    const double len = std::hypot(r.x - p.x, r.y - p.y);
    e[i] = {r.x - p.x, r.y - p.y};
    const Pt n = len > 0.0 ? Pt{sign * e[i].y / len, -sign * e[i].x / len} : Pt{0.0, 0.0};
    a[i] = {p.x + n.x * d, p.y + n.y * d};
  }
  std::array<Pt, 4> out{};
  for (int k = 0; k < 4; ++k) {
    const int s = (k + 3) % 4;  // the side ending at corner k
    const double den = e[s].x * e[k].y - e[s].y * e[k].x;
    if (std::fabs(den) < 1e-12) {
      out[k] = a[k];  // a degenerate outline: move the corner with its own side
      continue;
    }
    const double t = ((a[k].x - a[s].x) * e[k].y - (a[k].y - a[s].y) * e[k].x) / den;
    out[k] = {a[s].x + t * e[s].x, a[s].y + t * e[s].y};
  }
  return out;
}

Figure FindFigure(const IMG& binary) {
  Figure fig;
  auto store = std::make_unique<CONTOUR>();  // large: on the heap
  const int found = store->Find(binary, RECT{0, 0, binary.width, binary.height}, 0, 0);
  if (found == 1) {
    fig.fault = "the thresholded picture cannot be searched";
    return fig;
  }
  // A full store (found == 2) still holds the regions met first; they are tried as usual.
  fig.store_full = found == 2;
  const int count = store->ReturnAllContours();
  std::vector<int> order;
  for (int i = 0; i < count; ++i) {
    fig.largest = std::max(fig.largest, store->items[i].count);
    const RECT r = store->ReturnRectContour(i);
    if (r.right - r.left + 1 >= kMinFigurePixels && r.bottom - r.top + 1 >= kMinFigurePixels)
      order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return store->items[a].count > store->items[b].count; });
  if (order.size() > static_cast<std::size_t>(kMaxCandidates)) order.resize(kMaxCandidates);
  fig.candidates = static_cast<int>(order.size());

  double best_area = 0.0;
  for (int index : order) {
    std::array<Pt, 4> rough{};
    bool refined = false;
    if (!RoughCorners(*store, index, rough, refined)) continue;
    if (!IsConvex(rough) || !SidesBalanced(rough)) continue;
    std::array<Pt, 4> outline = rough;
    const bool fitted = FitSides(binary, store->items[index], outline) && CornersAgree(rough, outline);
    if (!fitted) outline = Expand(rough, 0.5);
    if (!IsConvex(outline) || !BoxesAgree(store->items[index].rect, outline)) continue;
    if (ShareInside(store->items[index], outline) < 0.97) continue;
    const double area = QuadArea(outline);
    if (area > best_area) {
      best_area = area;
      fig.found = true;
      fig.outline = outline;
      fig.region = index;
      fig.refined = refined;
      fig.sides_fitted = fitted;
    }
  }
  if (!fig.found)
    fig.fault = order.empty() ? "no dark region large enough for a figure"
                              : "no dark region with four corners and a quadrilateral outline";
  return fig;
}

}  // namespace vxcli
