// Helpers shared by the contour tests.
#pragma once

#include <gtest/gtest.h>

#include "support/images.h"
#include "vexolith.h"

namespace vxtest {

using Pixel = std::pair<int, int>;  // (x, y)
using Pixels = std::vector<Pixel>;

// Find's result code, '|', and what it printed.
inline std::string FindIn(CONTOUR& store, IMG img, RECT rect, unsigned long mode, unsigned char colour = 0) {
  testing::internal::CaptureStdout();
  const int code = store.Find(img, rect, colour, mode);
  return std::to_string(code) + "|" + testing::internal::GetCapturedStdout();
}

inline std::string FindAll(CONTOUR& store, const Image& image, unsigned long mode, unsigned char colour = 0) {
  return FindIn(store, image.img(), RECT{0, 0, image.img().width, image.img().height}, mode, colour);
}

// A heap store after a successful Find over the whole image.
inline std::unique_ptr<CONTOUR> Found(const Image& image, unsigned long mode, unsigned char colour = 0) {
  auto store = std::make_unique<CONTOUR>();
  EXPECT_EQ(FindAll(*store, image, mode, colour).substr(0, 2), "0|");
  return store;
}

inline Pixels PointsOf(const CONTOUR& store, int index) {
  Pixels out;
  for (unsigned i = 0; i < store.items[index].count; ++i)
    out.emplace_back(store.items[index].points[i].x, store.items[index].points[i].y);
  return out;
}

inline std::vector<int> Box(RECT r) { return {r.left, r.top, r.right, r.bottom}; }

using Points = std::vector<C_POINT>;

// Test-owned point lists in a heap store, detached before it is destroyed.
struct Store {
  std::unique_ptr<CONTOUR> s = std::make_unique<CONTOUR>();
  std::vector<Points> lists;
  ~Store() { s->number = 0; }
  int Add(Points points) {
    lists.push_back(std::move(points));
    s->items[s->number] = CONTOUR_ITEM{unsigned(lists.back().size()), lists.back().data(), {}, -1, 0};
    s->area = RECT{0, 0, 100, 100};
    return s->number++;
  }
};

// One-pixel-wide ring on the rectangle (x0, y0)-(x1, y1).
inline Points Ring(int x0, int y0, int x1, int y1) {
  Points points;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (y == y0 || y == y1 || x == x0 || x == x1) points.push_back({x, y});
  return points;
}

}  // namespace vxtest
