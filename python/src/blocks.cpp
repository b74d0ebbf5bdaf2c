// The building blocks a Python user reaches for: loading, gray conversion,
// the three thresholds, the contour store and the grid.
#include <pybind11/stl.h>

#include <memory>
#include <string>
#include <vector>

#include "arrays.h"
#include "module.h"

namespace vxpy {
namespace {

py::array Load(const std::string& path) {
  IMG picture;
  {
    py::gil_scoped_release unlocked;
    picture = OpenGraphFile(path.c_str());
  }
  if (picture.valid != 1) throw LibraryError("cannot read the picture file " + path);
  return ToArray(picture, /*bottom_up=*/true);
}

py::array Gray(const py::object& picture) {
  const InputImage in(picture, false);
  if (in.img().gray) {
    IMG copy{};
    if (CopyIMG(in.img(), &copy) != 0) throw LibraryError("cannot copy the image");
    return ToArray(copy);
  }
  IMG gray;
  {
    py::gil_scoped_release unlocked;
    gray = Img24To8(in.img());
  }
  return ToArray(gray);
}

// ThresholdImage and Adaptive2ThresholdImage work in place: they get a copy,
// so the caller's array is never changed.
py::array Threshold(const py::object& picture, int level, const py::object& rect) {
  if (level < 0 || level > 255) throw py::value_error("level is 0..255");
  const InputImage in(picture, false);
  IMG copy{};
  if (CopyIMG(in.img(), &copy) != 0) throw LibraryError("cannot copy the image");
  py::array out = ToArray(copy);
  const RECT r = ToRect(rect, copy);
  py::gil_scoped_release unlocked;
  ThresholdImage(copy, static_cast<unsigned char>(level), r);
  return out;
}

py::array AdaptiveThreshold(const py::object& picture, int window, const py::object& rect, int mode) {
  if (window < 1) throw py::value_error("window must be at least 1");
  const InputImage in(picture, false);
  const RECT r = ToRect(rect, in.img());
  IMG out;
  {
    py::gil_scoped_release unlocked;
    out = AdaptiveThresholdImage(in.img(), window, r, mode);
  }
  if (out.valid != 1) throw LibraryError("the local-mean threshold refused the image (a 24-bit picture is needed)");
  return ToArray(out);
}

py::array BlockThreshold(const py::object& picture, int level, int gain, int block, const py::object& rect) {
  if (level < 0 || level > 255 || gain < 0 || gain > 255) throw py::value_error("level and gain are 0..255");
  if (block < 1) throw py::value_error("block must be at least 1");
  const InputImage in(picture, false);
  IMG copy{};
  if (CopyIMG(in.img(), &copy) != 0) throw LibraryError("cannot copy the image");
  py::array out = ToArray(copy);
  const RECT r = ToRect(rect, copy);
  py::gil_scoped_release unlocked;
  Adaptive2ThresholdImage(copy, static_cast<unsigned char>(level), static_cast<unsigned char>(gain), r, block);
  return out;
}

struct Contour {
  py::array_t<int> points;  // N x 2 (x, y)
  std::vector<int> box;     // left, top, right, bottom, all inclusive
  int level = 0;
  int parent = -1;
};

std::vector<Contour> Find(const py::object& binary, int colour, unsigned long mode, const py::object& rect) {
  if (colour < 0 || colour > 255) throw py::value_error("colour is 0..255");
  const InputImage in(binary, false);
  if (!in.img().gray) throw py::value_error("find takes an 8-bit (H x W) image");
  const RECT r = ToRect(rect, in.img());
  auto store = std::make_unique<CONTOUR>();
  int status;
  {
    py::gil_scoped_release unlocked;
    status = FindQuietly(*store, in.img(), r, static_cast<unsigned char>(colour), mode);
  }
  if (status == 1) throw LibraryError("find takes an 8-bit image");
  std::vector<Contour> contours(static_cast<std::size_t>(store->ReturnAllContours()));
  for (int i = 0; i < store->ReturnAllContours(); ++i) {
    const CONTOUR_ITEM& item = store->items[i];
    Contour& c = contours[static_cast<std::size_t>(i)];
    c.points = py::array_t<int>({static_cast<py::ssize_t>(item.count), py::ssize_t{2}});
    auto p = c.points.mutable_unchecked<2>();
    for (unsigned int k = 0; k < item.count; ++k) {
      p(k, 0) = item.points[k].x;
      p(k, 1) = item.points[k].y;
    }
    c.box = {item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
    c.level = item.level;
    c.parent = item.mama;
  }
  if (status == 2) PyErr_WarnEx(PyExc_RuntimeWarning, "the contour store is full: 10000 regions kept", 1);
  return contours;
}

// Cell values of a rows x cols grid over a quadrilateral of an 8-bit binary
// image. corners: 4 x 2, the library's order p1, p2 (opposite), p3, p4.
py::array_t<double> Cells(const py::object& binary, const py::array_t<double, py::array::forcecast>& corners,
                          int rows, int cols) {
  if (rows < 1 || cols < 1) throw py::value_error("rows and cols must be at least 1");
  if (corners.ndim() != 2 || corners.shape(0) != 4 || corners.shape(1) != 2)
    throw py::value_error("corners is a 4 x 2 array");
  const InputImage in(binary, false);
  if (!in.img().gray) throw py::value_error("cells takes an 8-bit (H x W) image");
  const auto c = corners.unchecked<2>();
  const FOUR_FIG_Pd quad{{c(0, 0), c(0, 1)}, {c(1, 0), c(1, 1)}, {c(2, 0), c(2, 1)}, {c(3, 0), c(3, 1)}};
  GRID grid(rows, cols);
  int status;
  {
    py::gil_scoped_release unlocked;
    status = grid.CreateGrid(quad);
    if (status == 0) status = 10 + grid.RecogCells(in.img());
  }
  if (status < 10) throw LibraryError("cannot lay the grid over these corners (code " + std::to_string(status) + ")");
  if (status != 10) throw LibraryError("cannot measure the cells (code " + std::to_string(status - 10) + ")");
  py::array_t<double> values({rows, cols});
  auto v = values.mutable_unchecked<2>();
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) v(i, j) = grid.cells[static_cast<std::size_t>(j) * rows + i];
  return values;
}

}  // namespace

void BindBlocks(py::module_& m) {
  m.def("load", &Load, py::arg("path"),
        "A picture file (BMP, PNG, JPEG, TIFF, GIF) as an H x W x 3 B, G, R uint8 array, rows top-down.");
  m.def("gray", &Gray, py::arg("picture"), "8-bit gray copy of a picture: (B*0.071 + G*0.707) + R*0.222, truncated.");
  m.def("threshold", &Threshold, py::arg("picture"), py::arg("level"), py::arg("rect") = py::none(),
        "Global threshold: pixels at or below level become 0, the others 255 (a new array).");
  m.def("adaptive_threshold", &AdaptiveThreshold, py::arg("picture"), py::arg("window"),
        py::arg("rect") = py::none(), py::arg("mode") = 0,
        "Local-mean threshold of a 24-bit picture over window x window squares; a new 24-bit array.");
  m.def("block_threshold", &BlockThreshold, py::arg("picture"), py::arg("level"), py::arg("gain"),
        py::arg("block"), py::arg("rect") = py::none(), "Block-mean threshold (a new array).");
  py::class_<Contour>(m, "Contour", "One region of a binary image.")
      .def_readonly("points", &Contour::points, "N x 2 int array of (x, y): every pixel of the region")
      .def_readonly("box", &Contour::box, "[left, top, right, bottom], all inclusive")
      .def_readonly("level", &Contour::level, "nesting depth, 0 for an outermost region")
      .def_readonly("parent", &Contour::parent, "index of the enclosing region, -1 for none")
      .def("__repr__", [](const Contour& c) {
        return "<Contour " + std::to_string(c.points.shape(0)) + " points, level " + std::to_string(c.level) + ">";
      });
  m.def("find", &Find, py::arg("binary"), py::arg("colour") = 0, py::arg("mode") = 1, py::arg("rect") = py::none(),
        "The regions of pixels equal to colour in an 8-bit image, as Contour objects in the order found.\n"
        "mode bit 0: nesting levels and parents; bit 1: outline walk before the fill.");
  m.def("cells", &Cells, py::arg("binary"), py::arg("corners"), py::arg("rows"), py::arg("cols"),
        "Weighted black share of every cell of a rows x cols grid over the quadrilateral corners\n"
        "(4 x 2: p1, p2 opposite, p3, p4) of an 8-bit binary image.");
}

}  // namespace vxpy
