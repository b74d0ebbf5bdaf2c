#include "reader/components.h"

#include <algorithm>

namespace vx::reader {
namespace {

// Union-find over provisional labels, smaller label as root.
struct Forest {
  std::vector<std::int32_t> parent;
  std::int32_t Make() {
    parent.push_back(static_cast<std::int32_t>(parent.size()));
    return parent.back();
  }
  std::int32_t Find(std::int32_t a) {
    while (parent[a] != a) a = parent[a] = parent[parent[a]];
    return a;
  }
  void Join(std::int32_t a, std::int32_t b) {
    a = Find(a), b = Find(b);
    if (a < b) parent[b] = a;
    else if (b < a) parent[a] = b;
  }
};

}  // namespace

Labels LabelRegions(const Plane& binary) {
  const int w = binary.width, h = binary.height;
  Labels out;
  out.width = w;
  out.height = h;
  out.id.assign(static_cast<std::size_t>(w) * h, 0);
  Forest forest;
  forest.Make();  // label 0: white
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* r = binary.Row(y);
    std::int32_t* row = &out.id[static_cast<std::size_t>(y) * w];
    const std::int32_t* up = y > 0 ? row - w : nullptr;
    for (int x = 0; x < w; ++x) {
      if (!r[x]) continue;
      std::int32_t label = 0;
      auto take = [&](std::int32_t n) {
        if (n == 0) return;
        if (label == 0) label = n;
        else if (n != label) forest.Join(label, n);
      };
      if (x > 0) take(row[x - 1]);
      if (up) {
        if (x > 0) take(up[x - 1]);
        take(up[x]);
        if (x + 1 < w) take(up[x + 1]);
      }
      row[x] = label ? label : forest.Make();
    }
  }
  // Final labels numbered in order of first appearance.
  std::vector<std::int32_t> final_label(forest.parent.size(), 0);
  std::int32_t next = 0;
  for (std::size_t i = 1; i < forest.parent.size(); ++i) {
    const std::int32_t root = forest.Find(static_cast<std::int32_t>(i));
    if (root == static_cast<std::int32_t>(i)) final_label[i] = ++next;
  }
  out.regions.resize(next);
  std::vector<bool> seen(next, false);
  for (int y = 0; y < h; ++y) {
    std::int32_t* row = &out.id[static_cast<std::size_t>(y) * w];
    for (int x = 0; x < w; ++x) {
      if (!row[x]) continue;
      const std::int32_t n = final_label[forest.Find(row[x])];
      row[x] = n;
      Region& g = out.regions[n - 1];
      if (!seen[n - 1]) {
        seen[n - 1] = true;
        g.left = g.right = x;
        g.top = g.bottom = y;
        g.first = {x, y};
      }
      ++g.area;
      g.left = std::min(g.left, x);
      g.right = std::max(g.right, x);
      g.bottom = y;
    }
  }
  return out;
}

std::vector<PixelPoint> TraceOuterBoundary(const Labels& labels, int index) {
  // Moore-neighbour tracing. Directions clockwise as seen (y down), from east.
  static constexpr int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
  static constexpr int kDy[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  const std::int32_t want = index + 1;
  auto in = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < labels.width && y < labels.height &&
           labels.id[static_cast<std::size_t>(y) * labels.width + x] == want;
  };
  const Region& g = labels.regions[index];
  std::vector<PixelPoint> out;
  const PixelPoint start = g.first;
  out.push_back(start);
  // The first pixel has no region pixel above or to its left: come in from the west.
  PixelPoint p = start;
  int dir = 7;  // search starts just past the direction we came from
  const std::size_t cap = 4 * static_cast<std::size_t>(g.area) + 16;
  bool first_move = true;
  PixelPoint second{};
  while (out.size() < cap) {
    int found = -1;
    for (int k = 0; k < 8; ++k) {
      const int d = (dir + k) % 8;
      if (in(p.x + kDx[d], p.y + kDy[d])) {
        found = d;
        break;
      }
    }
    if (found < 0) break;  // a single pixel
    const PixelPoint q{p.x + kDx[found], p.y + kDy[found]};
    if (first_move) {
      second = q;
      first_move = false;
    } else if (p.x == start.x && p.y == start.y && q.x == second.x && q.y == second.y) {
      out.pop_back();  // back at the start, about to repeat
      break;
    }
    out.push_back(q);
    p = q;
    dir = (found + 6) % 8;  // back two steps: the neighbour after the one we came from
  }
  return out;
}

}  // namespace vx::reader
