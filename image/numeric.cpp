#include "image/numeric.h"

#include "vexolith/image.h"

namespace vexolith {

int round(double v) { return vx::RoundHalfUp(v); }

}  // namespace vexolith

double absf(double v) { return v >= 0 ? v : -v; }

double max_(double a, double b) { return b >= a ? b : a; }

double min_(double a, double b) { return b <= a ? b : a; }
