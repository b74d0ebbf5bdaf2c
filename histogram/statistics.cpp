// Sample statistics: mean, dispersion, correlation, sign, midpoint and the
// least-squares line through a sequence of values.
#include <cmath>

#include "vexolith/statistics.h"

namespace {

// Sums run in index order in one double, as the callers' scores (run
// lengths, histogram bins) are compared across calls and must not depend on
// a different summation order.
template <typename T>
double Mean(int n, const T* a) {
  // No samples have no mean; 0.0 keeps the callers' arithmetic finite.
  if (n <= 0) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += static_cast<double>(a[i]);
  return sum / static_cast<double>(n);
}

// Population variance about the caller's mean (divisor n, not n - 1).
template <typename T>
double Dispersion(int n, const T* a, double m) {
  if (n <= 0) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    double d = static_cast<double>(a[i]) - m;
    sum += d * d;
  }
  return sum / static_cast<double>(n);
}

template <typename T>
double Correlation(int n, const T* a, const T* b, double ma, double mb, double da, double db) {
  // A constant series (zero dispersion), no samples, or a dispersion that is
  // negative or not a number correlates with nothing: 0.0 rather than a
  // division by zero.
  if (n <= 0 || !(da > 0.0) || !(db > 0.0)) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    sum += (static_cast<double>(a[i]) - ma) * (static_cast<double>(b[i]) - mb);
  }
  return sum / (std::sqrt(db) * (std::sqrt(da) * n));
}

}  // namespace

double M_e(int n, int* a) { return Mean(n, a); }
double M_e(int n, double* a) { return Mean(n, a); }

double D_e(int n, int* a, double m) { return Dispersion(n, a, m); }
double D_e(int n, double* a, double m) { return Dispersion(n, a, m); }

double KPK_e(int n, int* a, int* b, double ma, double mb, double da, double db) {
  return Correlation(n, a, b, ma, mb, da, db);
}
double KPK_e(int n, double* a, double* b, double ma, double mb, double da, double db) {
  return Correlation(n, a, b, ma, mb, da, db);
}

double pmu(double x) { return x > 0 ? 1.0 : -1.0; }

C_POINTd Average(double x1, double y1, double x2, double y2) {
  return C_POINTd{(x1 + x2) / 2.0, (y1 + y2) / 2.0};
}

F_LINE Approximation(int* y, int n) {
  // The sums are exact integers. They are kept in 128 bits with wrap-around
  // (unsigned) arithmetic: every result that fits in 32 bits comes out the
  // same as in 32-bit sums, and longer or larger inputs still give the true
  // least-squares line instead of a wrapped one. Wrapping is only an issue
  // when a true numerator passes 2^127, which takes n beyond 2^23 with
  // samples near the 32-bit limit.
  using Wide = unsigned __int128;
  F_LINE line;
  line.type = 3;  // the tag of lines built from points
  line.dir = 1;
  // Fewer than two points leave the slope open (den is 0): the horizontal
  // line through the single sample, or y = 0 when there is none.
  if (n < 2) {
    line.k = 0.0;
    line.b = n == 1 ? static_cast<double>(y[0]) : 0.0;
    return line;
  }
  Wide sx = 0, sxx = 0, sy = 0, sxy = 0;
  for (int i = 0; i < n; ++i) {
    Wide xi = static_cast<Wide>(i);
    Wide yi = static_cast<Wide>(static_cast<__int128>(y[i]));
    sx += xi;
    sxx += xi * xi;
    sy += yi;
    sxy += xi * yi;
  }
  const Wide wn = static_cast<Wide>(n);
  const auto den = static_cast<__int128>(wn * sxx - sx * sx);
  const auto slope = static_cast<__int128>(wn * sxy - sx * sy);
  const auto intercept = static_cast<__int128>(sxx * sy - sx * sxy);
  line.k = static_cast<double>(slope) / static_cast<double>(den);
  line.b = static_cast<double>(intercept) / static_cast<double>(den);
  return line;
}
