// AVX2 kernels of the 3 x 3 minimum and maximum filters: 32 pixels per step.
//
// Rows shorter than one vector are done by the plain loops. Longer rows end
// with one more vector placed flush with the row's end, overlapping the
// previous one: it writes the same bytes again, which is harmless because
// the output never feeds the input.
#include <immintrin.h>

#include "binarize/morphology.h"

namespace vx {
namespace {

#define VX_AVX2 __attribute__((target("avx2")))

template <MorphOp kOp>
VX_AVX2 inline __m256i Extreme(__m256i a, __m256i b) {
  return kOp == MorphOp::kMin ? _mm256_min_epu8(a, b) : _mm256_max_epu8(a, b);
}

VX_AVX2 inline __m256i Load(const unsigned char* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

VX_AVX2 inline void Store(unsigned char* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

template <MorphOp kOp>
VX_AVX2 inline void Columns32(const unsigned char* a, const unsigned char* b, const unsigned char* c,
                              unsigned char* out, int x) {
  Store(out + x, Extreme<kOp>(Extreme<kOp>(Load(a + x), Load(b + x)), Load(c + x)));
}

template <MorphOp kOp>
VX_AVX2 void Columns(const unsigned char* a, const unsigned char* b, const unsigned char* c,
                     unsigned char* out, int n) {
  int x = 0;
  for (; x + 32 <= n; x += 32) Columns32<kOp>(a, b, c, out, x);
  if (x < n) Columns32<kOp>(a, b, c, out, n - 32);
}

// Output x reads in[x - 1 .. x + 32], so the last vector starts at n - 33.
template <MorphOp kOp>
VX_AVX2 inline void Row32(const unsigned char* in, unsigned char* out, int x) {
  Store(out + x, Extreme<kOp>(Extreme<kOp>(Load(in + x - 1), Load(in + x)), Load(in + x + 1)));
}

template <MorphOp kOp>
VX_AVX2 void Row(const unsigned char* in, unsigned char* out, int n) {
  int x = 1;
  for (; x + 33 <= n; x += 32) Row32<kOp>(in, out, x);
  if (x < n - 1) Row32<kOp>(in, out, n - 33);
}

}  // namespace

VX_AVX2 void MorphColumnsAvx2(MorphOp op, const unsigned char* a, const unsigned char* b,
                              const unsigned char* c, unsigned char* out, int n) {
  if (n < 32) {
    MorphColumnsPortable(op, a, b, c, out, n);
  } else if (op == MorphOp::kMin) {
    Columns<MorphOp::kMin>(a, b, c, out, n);
  } else {
    Columns<MorphOp::kMax>(a, b, c, out, n);
  }
}

VX_AVX2 void MorphRowAvx2(MorphOp op, const unsigned char* in, unsigned char* out, int n) {
  if (n < 34) {
    MorphRowPortable(op, in, out, n);
  } else if (op == MorphOp::kMin) {
    Row<MorphOp::kMin>(in, out, n);
  } else {
    Row<MorphOp::kMax>(in, out, n);
  }
}

}  // namespace vx

#undef VX_AVX2
