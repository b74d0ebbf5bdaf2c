// The reader from Python: a numpy picture or a file path in, the reading out
// as plain values (numbers, lists and numpy arrays) that the pure-Python
// Result and Figure classes wrap, so results pickle and cross to Dask workers.
#include <pybind11/stl.h>

#include <string>

#include "arrays.h"
#include "module.h"
#include "vexolith/reader.h"

namespace vxpy {
namespace {

vexolith::Binarize ToBinarize(const std::string& name) {
  if (name == "auto") return vexolith::Binarize::kAuto;
  if (name == "global") return vexolith::Binarize::kGlobal;
  if (name == "local") return vexolith::Binarize::kLocal;
  if (name == "block") return vexolith::Binarize::kBlock;
  throw py::value_error("binarize is one of 'auto', 'global', 'local', 'block', not '" + name + "'");
}

py::dict FigureValues(const vexolith::FigureReading& f) {
  py::array_t<double> corners({4, 2});
  auto c = corners.mutable_unchecked<2>();
  for (int k = 0; k < 4; ++k) {
    c(k, 0) = f.corners[static_cast<std::size_t>(k)].x;
    c(k, 1) = f.corners[static_cast<std::size_t>(k)].y;
  }
  const std::size_t cells = static_cast<std::size_t>(f.rows) * f.cols;
  py::array_t<double> values({f.rows, f.cols}), margins({f.rows, f.cols});
  py::array_t<bool> verdicts({f.rows, f.cols});
  for (std::size_t n = 0; n < cells; ++n) {
    values.mutable_data()[n] = f.values[n];
    margins.mutable_data()[n] = f.margins[n];
    verdicts.mutable_data()[n] = f.black[n] != 0;
  }
  py::dict d;
  d["corners"] = corners;
  d["values"] = values;
  d["margins"] = margins;
  d["verdicts"] = verdicts;
  d["threshold"] = f.threshold;
  d["confidence"] = f.confidence;
  d["black"] = f.black_count;
  return d;
}

py::dict Read(const py::object& picture, int rows, int cols, const std::string& binarize, int level, int window,
              int block, const py::object& threshold, bool all, int max_side) {
  if (rows < 1 || cols < 1 || rows > 1000 || cols > 1000) throw py::value_error("rows and cols are 1..1000");
  if (level < 0 || level > 255) throw py::value_error("level is 0..255");
  if (window < 0 || block < 0) throw py::value_error("window and block are 0 (chosen) or positive");
  if (max_side < 16) throw py::value_error("max_side is at least 16");
  vexolith::ReaderOptions options;
  options.rows = rows;
  options.cols = cols;
  options.binarize = ToBinarize(binarize);
  options.level = level;
  options.window = window;
  options.block = block;
  if (!threshold.is_none()) {
    options.threshold = threshold.cast<double>();
    if (!(options.threshold >= 0.0 && options.threshold <= 1.0)) throw py::value_error("threshold is 0..1");
  }
  options.all = all;
  options.max_side = max_side;

  vexolith::ReadResult result;
  if (py::isinstance<py::str>(picture) || py::hasattr(picture, "__fspath__")) {
    const std::string path = py::str(py::module_::import("os").attr("fspath")(picture));
    py::gil_scoped_release unlocked;
    result = vexolith::ReadFile(path, options);
  } else {
    const InputImage in(picture, false);
    py::gil_scoped_release unlocked;
    result = vexolith::Read(in.img(), /*top_down=*/true, options);
  }
  py::dict d;
  d["ok"] = result.ok;
  d["fault"] = result.fault;
  d["width"] = result.width;
  d["height"] = result.height;
  py::list figures;
  for (const auto& f : result.figures) figures.append(FigureValues(f));
  d["figures"] = figures;
  return d;
}

}  // namespace

void BindReader(py::module_& m) {
  m.def("_read", &Read, py::arg("picture"), py::arg("rows"), py::arg("cols"), py::arg("binarize"),
        py::arg("level"), py::arg("window"), py::arg("block"), py::arg("threshold"), py::arg("all"),
        py::arg("max_side"));
}

}  // namespace vxpy
