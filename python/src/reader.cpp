#include "module.h"

namespace vxpy {

void BindReader(py::module_&) {}

}  // namespace vxpy
