// numpy arrays as library images and back.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <vector>

#include "vexolith.h"

namespace vxpy {

namespace py = pybind11;

// An 8-bit picture from a numpy array: H x W gray or H x W x 3 B, G, R,
// uint8, rows top-down. The record points into the array itself when its
// layout allows (pixels packed within a row, rows forward); otherwise into a
// packed copy held here. Either way the array must outlive the record.
class InputImage {
 public:
  // Raises TypeError or ValueError for anything that is not such a picture.
  explicit InputImage(const py::handle& object, bool copy);
  const IMG& img() const { return img_; }
  int width() const { return img_.width; }
  int height() const { return img_.height; }

 private:
  py::array array_;
  std::vector<unsigned char> copy_;
  IMG img_{};
};

// Hands a buffer the library allocated to numpy: the array releases it with
// DeleteImg when the last reference goes. bottom_up: the record's row 0 is
// the picture's bottom line, and the array shows the rows top-down without
// copying them (a negative row stride).
py::array ToArray(IMG owned, bool bottom_up = false);

// A rectangle (left, top, right, bottom; right and bottom exclusive) from
// None, meaning the whole image, or a 4-sequence of ints.
RECT ToRect(const py::object& rect, const IMG& img);

}  // namespace vxpy
