// The vexolith Python module: numpy arrays in and out, the reader, and the
// building blocks of the library.
#include "module.h"

PYBIND11_MODULE(_vexolith, m) {
  m.doc() = "vexolith: find a dark grid of cells in a picture and read which cells are black.";
  pybind11::register_exception<vxpy::LibraryError>(m, "Error", PyExc_RuntimeError);
  vxpy::BindBlocks(m);
  vxpy::BindReader(m);
}
