// Scalar gray kernels and the run-time choice between them, AVX2 and AVX-512.
#include "image/gray.h"

#include <atomic>

namespace vx {

namespace {

// The widest kernels in use: 2 AVX-512, 1 AVX2, 0 baseline (tests lower it).
std::atomic<int> g_vector_limit{2};

}  // namespace

void LimitVectorPaths(int level) { g_vector_limit.store(level, std::memory_order_relaxed); }

bool CpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has && g_vector_limit.load(std::memory_order_relaxed) >= 1;
}

bool CpuHasAvx512() {
  static const bool has = CpuHasAvx2() && __builtin_cpu_supports("avx512f") &&
                          __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
                          __builtin_cpu_supports("avx512dq");
  return has && g_vector_limit.load(std::memory_order_relaxed) >= 2;
}

void GrayRowTo8Scalar(const unsigned char* bgr, unsigned char* out, int n) {
  for (int x = 0; x < n; ++x) out[x] = GrayByte(bgr + 3 * x);
}

void GrayRowValuesScalar(const unsigned char* bgr, double* out, int n) {
  for (int x = 0; x < n; ++x) out[x] = GrayValue(bgr + 3 * x);
}

void GrayRowTo8(const unsigned char* bgr, unsigned char* out, int n) {
  if (CpuHasAvx512()) {
    GrayRowTo8Avx512(bgr, out, n);
  } else if (CpuHasAvx2()) {
    GrayRowTo8Avx2(bgr, out, n);
  } else {
    GrayRowTo8Scalar(bgr, out, n);
  }
}

void GrayRowValues(const unsigned char* bgr, double* out, int n) {
  if (CpuHasAvx512()) {
    GrayRowValuesAvx512(bgr, out, n);
  } else if (CpuHasAvx2()) {
    GrayRowValuesAvx2(bgr, out, n);
  } else {
    GrayRowValuesScalar(bgr, out, n);
  }
}

}  // namespace vx
