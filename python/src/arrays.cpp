#include "arrays.h"

#include <pybind11/stl.h>

#include <cstring>
#include <limits>

namespace vxpy {

InputImage::InputImage(const py::handle& object, bool copy) {
  if (object.is_none()) throw py::type_error("expected a numpy uint8 array, got None");
  if (!py::isinstance<py::array>(object)) throw py::type_error("expected a numpy uint8 array");
  array_ = py::reinterpret_borrow<py::array>(object);
  if (!array_.dtype().is(py::dtype::of<std::uint8_t>()))
    throw py::type_error("expected dtype uint8, got " + std::string(py::str(array_.dtype())));
  const auto ndim = array_.ndim();
  if (ndim != 2 && !(ndim == 3 && array_.shape(2) == 3))
    throw py::value_error("expected an H x W (gray) or H x W x 3 (B, G, R) array");
  const py::ssize_t height = array_.shape(0), width = array_.shape(1);
  const int channels = ndim == 2 ? 1 : 3;
  if (height <= 0 || width <= 0) throw py::value_error("the picture has no pixels");
  if (width > std::numeric_limits<int>::max() / 3 - 4 || height > std::numeric_limits<int>::max())
    throw py::value_error("the picture is too large");

  const py::ssize_t row_stride = array_.strides(0);
  const bool packed_row = array_.strides(1) == channels && (channels == 1 || array_.strides(2) == 1);
  const bool forward_rows = row_stride >= width * channels && row_stride <= std::numeric_limits<int>::max();
  const bool writable = array_.writeable();
  img_.width = static_cast<int>(width);
  img_.height = static_cast<int>(height);
  img_.gray = channels == 1;
  img_.valid = 1;
  if (!copy && packed_row && forward_rows && writable) {
    img_.bits = static_cast<unsigned char*>(array_.mutable_data());
    img_.stride = static_cast<int>(row_stride);
    return;
  }
  // A packed copy, rows in whole 4-byte units as the library's own images.
  const std::size_t stride = (static_cast<std::size_t>(width) * channels + 3) / 4 * 4;
  copy_.resize(stride * static_cast<std::size_t>(height));
  const auto* base = static_cast<const unsigned char*>(array_.data());
  for (py::ssize_t y = 0; y < height; ++y) {
    unsigned char* out = copy_.data() + static_cast<std::size_t>(y) * stride;
    const unsigned char* in = base + y * row_stride;
    if (packed_row) {
      std::memcpy(out, in, static_cast<std::size_t>(width) * channels);
      continue;
    }
    for (py::ssize_t x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        out[x * channels + c] = in[x * array_.strides(1) + (channels == 1 ? 0 : c * array_.strides(2))];
  }
  img_.bits = copy_.data();
  img_.stride = static_cast<int>(stride);
}

py::array ToArray(IMG owned, bool bottom_up) {
  if (owned.valid != 1 || owned.bits == nullptr) throw std::runtime_error("the library could not make the image");
  py::capsule release(owned.bits, [](void* bits) { DeleteImg(IMG{static_cast<unsigned char*>(bits), 0, 0, 0, 1, 1}); });
  const py::ssize_t stride = bottom_up ? -static_cast<py::ssize_t>(owned.stride) : owned.stride;
  unsigned char* first = bottom_up && owned.height > 0
                             ? owned.bits + static_cast<std::size_t>(owned.height - 1) * owned.stride
                             : owned.bits;
  if (owned.gray)
    return py::array(py::dtype::of<std::uint8_t>(), {owned.height, owned.width}, {stride, py::ssize_t{1}}, first,
                     release);
  return py::array(py::dtype::of<std::uint8_t>(), {owned.height, owned.width, 3},
                   {stride, py::ssize_t{3}, py::ssize_t{1}}, first, release);
}

RECT ToRect(const py::object& rect, const IMG& img) {
  if (rect.is_none()) return RECT{0, 0, img.width, img.height};
  const auto values = rect.cast<std::vector<int>>();
  if (values.size() != 4) throw py::value_error("a rectangle is (left, top, right, bottom)");
  const RECT r{values[0], values[1], values[2], values[3]};
  if (r.left < 0 || r.top < 0 || r.right > img.width || r.bottom > img.height || r.left > r.right ||
      r.top > r.bottom)
    throw py::value_error("the rectangle is not inside the image");
  return r;
}

}  // namespace vxpy
