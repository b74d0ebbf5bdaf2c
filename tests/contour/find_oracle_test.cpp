// Find and the nesting pass against plain loops that follow the region
// rules step by step: a taken flag per pixel, a visited map cleared for
// every walk, and nesting by comparing every pair of boxes. Random pictures
// of many sizes, densities and search rectangles, every mode, one or two
// calls on the same store.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "contour/nesting.h"
#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

struct RefItem {
  Pixels points;
  RECT rect;
  int mama = -1, level = 0;
};

constexpr int kFillDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1}, kFillDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kWalkDx[8] = {1, 1, 0, -1, -1, -1, 0, 1}, kWalkDy[8] = {0, 1, 1, 1, 0, -1, -1, -1};

void PlainNesting(std::vector<RefItem>& items) {
  for (size_t i = 1; i < items.size(); ++i) {
    int best = -1;
    for (size_t j = 0; j < i; ++j) {
      const RECT o = items[j].rect, n = items[i].rect;
      if (n.left > o.left && n.right < o.right && n.top > o.top && n.bottom < o.bottom &&
          (best < 0 || items[j].level > items[best].level))
        best = static_cast<int>(j);
    }
    items[i].mama = best;
    items[i].level = best < 0 ? 0 : items[best].level + 1;
  }
}

// The region rules, written out plainly. Returns Find's code; `printed` gets the printout.
int PlainFind(std::vector<RefItem>& store, const Image& image, RECT r, unsigned char colour,
              unsigned long mode, std::string& printed) {
  const IMG img = image.img();
  r = RECT{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, img.width),
           std::min(r.bottom, img.height)};
  const int w = std::max(r.right - r.left, 0), h = std::max(r.bottom - r.top, 0);
  std::vector<char> taken(static_cast<size_t>(w) * h);
  auto at = [&](int x, int y) { return static_cast<size_t>(y - r.top) * w + (x - r.left); };
  auto free_pixel = [&](int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom && image.at(x, y) == colour &&
           !taken[at(x, y)];
  };
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      if (!free_pixel(x, y)) continue;
      if (store.size() == 10000) return 2;
      RefItem item;
      taken[at(x, y)] = 1;
      item.points.emplace_back(x, y);
      item.rect = RECT{x, y, x, y};
      if (mode & 2) {
        std::vector<char> visited(taken.size());
        visited[at(x, y)] = 1;
        std::vector<Pixel> branches;
        Pixel q{x, y};
        for (;;) {
          int move = -1, candidates = 0;
          for (int k = 0; k < 8; ++k) {
            const int nx = q.first + kWalkDx[k], ny = q.second + kWalkDy[k];
            if (!free_pixel(nx, ny) || visited[at(nx, ny)]) continue;
            if (candidates++ == 0) move = k;
          }
          if (move >= 0) {
            const Pixel next{q.first + kWalkDx[move], q.second + kWalkDy[move]};
            visited[at(next.first, next.second)] = 1;
            item.points.push_back(next);
            if (candidates > 1 && branches.size() < 1000) branches.push_back(q);
            q = next;
          } else {
            if (branches.empty()) break;
            q = branches.back();
            branches.pop_back();
          }
        }
      }
      std::vector<Pixel> pending;
      Pixel p{x, y};
      for (bool done = false; !done;) {
        std::vector<Pixel> found;
        for (int k = 0; k < 8; ++k) {
          const int nx = p.first + kFillDx[k], ny = p.second + kFillDy[k];
          if (!free_pixel(nx, ny)) continue;
          taken[at(nx, ny)] = 1;
          item.points.emplace_back(nx, ny);
          item.rect = RECT{std::min(item.rect.left, nx), std::min(item.rect.top, ny),
                           std::max(item.rect.right, nx), std::max(item.rect.bottom, ny)};
          found.emplace_back(nx, ny);
        }
        if (!found.empty()) {
          for (size_t k = found.size() - 1; k >= 1 && !done; --k) {
            pending.push_back(found[k]);
            done = pending.size() == 20000;
          }
          p = found[0];
        } else if (pending.empty()) {
          done = true;
        } else {
          p = pending.back();
          pending.pop_back();
        }
      }
      store.push_back(std::move(item));
      if (store.size() == 10000) return 2;
    }
  if (mode & 1) PlainNesting(store);
  for (size_t i = 0; i < store.size(); ++i)
    printed += "N:" + std::to_string(i) + " - L:" + std::to_string(store[i].level) +
               " - M:" + std::to_string(store[i].mama) + "\n";
  return 0;
}

TEST(FindOracle, RandomPicturesMatchThePlainRules) {
  for (unsigned seed = 1; seed <= 160; ++seed) {
    std::mt19937 rng(seed);
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // Mostly small pictures; every tenth large and dense, so that fills reach
    // 20000 pending pixels and walks 1000 branch points.
    const bool large = seed % 10 == 0;
    const int w = large ? 300 + below(200) : 1 + below(seed % 3 ? 60 : 4);
    const int h = large ? 300 + below(100) : 1 + below(seed % 3 ? 40 : 4);
    const int density = large ? 92 : 10 + below(80);  // percent of pixels of the colour
    const unsigned char colour = seed % 7 == 0 ? 1 : 0;
    Image image = Image::Gray(w, h);
    for (int i = 0; i < image.img().stride * h; ++i)
      image.img().bits[i] = below(100) < density ? colour : 255;
    const unsigned long mode = seed % 4;
    const RECT rect = seed % 3 == 0
                          ? RECT{below(w), below(h), w - below(w / 2 + 1) + below(3), h - below(h / 2 + 1)}
                          : RECT{0, 0, w, h};
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(w) + " x " + std::to_string(h) +
                 ", mode " + std::to_string(mode));
    auto store = std::make_unique<CONTOUR>();
    std::vector<RefItem> expected;
    for (int call = 0; call < 1 + static_cast<int>(seed % 2); ++call) {
      std::string printed;
      const int code = PlainFind(expected, image, rect, colour, mode, printed);
      ASSERT_EQ(FindIn(*store, image.img(), rect, mode, colour), std::to_string(code) + "|" + printed);
      ASSERT_EQ(store->ReturnAllContours(), static_cast<int>(expected.size()));
      for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(PointsOf(*store, static_cast<int>(i)), expected[i].points) << "contour " << i;
        ASSERT_EQ(Box(store->ReturnRectContour(static_cast<int>(i))), Box(expected[i].rect))
            << "contour " << i;
      }
    }
  }
}

// Boxes of every kind (nested, overlapping, equal, touching, single pixels,
// far apart and at extreme coordinates) nest exactly as by comparing all pairs.
TEST(NestingOracle, RandomBoxesMatchAllPairs) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    std::mt19937 rng(seed);
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int n = 1 + below(seed % 5 == 0 ? 3000 : 300);
    const int span = seed % 3 == 0 ? 20 : seed % 3 == 1 ? 2000 : 1 << 30;
    std::vector<RefItem> expected(n);
    std::vector<CONTOUR_ITEM> items(n);
    for (int i = 0; i < n; ++i) {
      const int x = below(span) - (seed % 2 ? span / 2 : 0), y = below(span);
      const int cw = below(4) == 0 ? below(span / 2 + 1) : below(span / 40 + 3);
      const int ch = below(4) == 0 ? below(span / 2 + 1) : below(span / 40 + 3);
      expected[i].rect = RECT{x, y, x + cw, y + ch};
      items[i] = CONTOUR_ITEM{0, nullptr, expected[i].rect, -1, 0};
    }
    PlainNesting(expected);
    vx::NestByBoxes(items.data(), n);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(n) + " boxes");
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(items[i].mama, expected[i].mama) << "box " << i;
      ASSERT_EQ(items[i].level, expected[i].level) << "box " << i;
    }
  }
}

}  // namespace
}  // namespace vxtest
