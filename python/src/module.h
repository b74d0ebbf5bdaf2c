// Pieces of the vexolith Python module.
#pragma once

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>

#include "vexolith.h"

namespace vxpy {

namespace py = pybind11;

// Raised (as vexolith.Error) when the library refuses or fails.
class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// CONTOUR::Find without the per-region lines on standard output, which would
// otherwise mix with the Python program's own output.
int FindQuietly(CONTOUR& store, IMG img, RECT rect, unsigned char colour, unsigned long mode);

void BindBlocks(py::module_& m);
void BindReader(py::module_& m);

}  // namespace vxpy
