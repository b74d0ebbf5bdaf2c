// Scalar gray kernels and the run-time choice between them and AVX2.
#include "image/gray.h"

namespace vx {

bool CpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

void GrayRowTo8Scalar(const unsigned char* bgr, unsigned char* out, int n) {
  for (int x = 0; x < n; ++x) out[x] = GrayByte(bgr + 3 * x);
}

void GrayRowValuesScalar(const unsigned char* bgr, double* out, int n) {
  for (int x = 0; x < n; ++x) out[x] = GrayValue(bgr + 3 * x);
}

void GrayRowTo8(const unsigned char* bgr, unsigned char* out, int n) {
  if (CpuHasAvx2()) {
    GrayRowTo8Avx2(bgr, out, n);
  } else {
    GrayRowTo8Scalar(bgr, out, n);
  }
}

void GrayRowValues(const unsigned char* bgr, double* out, int n) {
  if (CpuHasAvx2()) {
    GrayRowValuesAvx2(bgr, out, n);
  } else {
    GrayRowValuesScalar(bgr, out, n);
  }
}

}  // namespace vx
