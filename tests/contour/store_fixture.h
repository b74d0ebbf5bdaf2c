// Helpers shared by the contour tests: a heap-allocated store, a Find over
// a whole image with its printout captured, and point lists as sets.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
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

inline FindResult FindIn(CONTOUR& store, IMG img, RECT rect, unsigned char colour, unsigned long mode) {
  testing::internal::CaptureStdout();
  int code = store.Find(img, rect, colour, mode);
  return FindResult{code, testing::internal::GetCapturedStdout()};
}

inline FindResult FindAll(CONTOUR& store, const Image& image, unsigned long mode, unsigned char colour = 0) {
  IMG img = image.img();
  return FindIn(store, img, RECT{0, 0, img.width, img.height}, colour, mode);
}

inline std::vector<Pixel> PointsOf(const CONTOUR& store, int index) {
  const CONTOUR_ITEM& item = store.items[index];
  std::vector<Pixel> out;
  for (unsigned int i = 0; i < item.count; ++i) out.emplace_back(item.points[i].x, item.points[i].y);
  return out;
}

// Pixels of the image equal to value, inside the whole image.
inline std::set<Pixel> PixelsOf(const Image& image, unsigned char value) {
  std::set<Pixel> out;
  for (int y = 0; y < image.img().height; ++y) {
    for (int x = 0; x < image.img().width; ++x) {
      if (image.at(x, y) == value) out.emplace(x, y);
    }
  }
  return out;
}

}  // namespace vxtest
