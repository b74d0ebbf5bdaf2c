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

}  // namespace vxtest
