// Helpers shared by the contour tests: a heap store, Find with its printout
// captured, and point lists.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace vxtest {

using Pixel = std::pair<int, int>;  // (x, y)

inline std::unique_ptr<CONTOUR> NewStore() { return std::make_unique<CONTOUR>(); }

struct FindResult {
  int code;            // Find's result
  std::string output;  // what Find printed
};

inline FindResult FindIn(CONTOUR& store, IMG img, RECT rect, unsigned long mode, unsigned char colour = 0) {
  testing::internal::CaptureStdout();
  int code = store.Find(img, rect, colour, mode);
  return FindResult{code, testing::internal::GetCapturedStdout()};
}

inline FindResult FindAll(CONTOUR& store, const Image& image, unsigned long mode, unsigned char colour = 0) {
  return FindIn(store, image.img(), RECT{0, 0, image.img().width, image.img().height}, mode, colour);
}

inline std::vector<Pixel> PointsOf(const CONTOUR& store, int index) {
  const CONTOUR_ITEM& item = store.items[index];
  std::vector<Pixel> out;
  for (unsigned int i = 0; i < item.count; ++i) out.emplace_back(item.points[i].x, item.points[i].y);
  return out;
}

inline std::vector<int> Box(RECT r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace vxtest
