#include "binarize/row_kernels.h"

#include <immintrin.h>

#include <bit>

#include "image/gray.h"

namespace vx {
namespace {

#define VX_BODY [[gnu::always_inline]] inline

VX_BODY void SpreadBody(const unsigned char* decision, unsigned char* px, int n) {
  for (int i = 0; i < n; ++i) {
    const unsigned char v = decision[i];
    px[3 * i] = v;
    px[3 * i + 1] = v;
    px[3 * i + 2] = v;
  }
}

VX_BODY void AboveBody(const double* values, double threshold, unsigned char* decision, int n) {
  for (int i = 0; i < n; ++i) decision[i] = values[i] > threshold ? 255 : 0;
}

VX_BODY void AddPartsBody(const double* values, std::uint64_t* high, std::uint64_t* low, int n) {
  for (int i = 0; i < n; ++i) {
    const std::uint64_t e = static_cast<std::uint64_t>(values[i] * 0x1p56);
    high[i] += e >> 32;
    low[i] += e & 0xFFFFFFFFu;
  }
}

VX_BODY void SubtractPartsBody(const double* values, std::uint64_t* high, std::uint64_t* low, int n) {
  for (int i = 0; i < n; ++i) {
    const std::uint64_t e = static_cast<std::uint64_t>(values[i] * 0x1p56);
    high[i] -= e >> 32;
    low[i] -= e & 0xFFFFFFFFu;
  }
}

// A whole number below 2^52 as a double, exactly: its bits under the
// exponent of 2^52, minus 2^52. Unlike the 64-bit conversion this
// vectorises on every target.
VX_BODY double Exact52(std::uint64_t v) { return std::bit_cast<double>(v | 0x4330000000000000ull) - 0x1p52; }

VX_BODY void MeanBody(const double* values, const std::uint64_t* high, const std::uint64_t* low,
                      std::int64_t span, double rows, const double* cols, bool inverted,
                      unsigned char* decision, int n) {
  const unsigned char white = inverted ? 0 : 255, black = inverted ? 255 : 0;
  for (int i = 0; i < n; ++i) {
    const double sum =
        Exact52(high[i + span] - high[i]) * 0x1p-24 + Exact52(low[i + span] - low[i]) * 0x1p-56;
    decision[i] = values[i] > sum / (rows * cols[i]) - 2.0 ? white : black;
  }
}

VX_BODY void ReplacePartsBody(const double* entering, const double* leaving, std::uint64_t* high,
                              std::uint64_t* low, int n) {
  for (int i = 0; i < n; ++i) {
    const std::uint64_t in = static_cast<std::uint64_t>(entering[i] * 0x1p56);
    const std::uint64_t out = static_cast<std::uint64_t>(leaving[i] * 0x1p56);
    high[i] += (in >> 32) - (out >> 32);
    low[i] += (in & 0xFFFFFFFFu) - (out & 0xFFFFFFFFu);
  }
}

// clang knows no prefer-vector-width target option; it takes the features alone.
#if defined(__clang__)
#define VX_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq")))
#else
#define VX_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq,prefer-vector-width=512")))
#endif
#define VX_AVX2 __attribute__((target("avx2")))

// Defines name() that runs body(args) built for the widest target available.
#define VX_DISPATCH(name, body, params, args)       \
  VX_AVX512 void name##Avx512 params { body args; } \
  VX_AVX2 void name##Avx2 params { body args; }     \
  void name##Plain params { body args; }

// Sixteen decisions at a time to 48 pixel bytes: three byte shuffles and
// three 16-byte stores instead of 48 single-byte ones.
VX_AVX2 void SpreadShuffled(const unsigned char* decision, unsigned char* px, int n) {
  const __m128i first = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
  const __m128i second = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
  const __m128i third = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(decision + i));
    unsigned char* p = px + 3 * i;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_shuffle_epi8(d, first));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_shuffle_epi8(d, second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm_shuffle_epi8(d, third));
  }
  SpreadBody(decision + i, px + 3 * i, n - i);
}

void SpreadPlain(const unsigned char* decision, unsigned char* px, int n) { SpreadBody(decision, px, n); }
VX_DISPATCH(Above, AboveBody, (const double* values, double threshold, unsigned char* decision, int n),
            (values, threshold, decision, n))
VX_DISPATCH(Mean, MeanBody,
            (const double* values, const std::uint64_t* high, const std::uint64_t* low, std::int64_t span,
             double rows, const double* cols, bool inverted, unsigned char* decision, int n),
            (values, high, low, span, rows, cols, inverted, decision, n))
VX_DISPATCH(ReplaceParts, ReplacePartsBody,
            (const double* entering, const double* leaving, std::uint64_t* high, std::uint64_t* low, int n),
            (entering, leaving, high, low, n))
VX_DISPATCH(AddParts, AddPartsBody, (const double* values, std::uint64_t* high, std::uint64_t* low, int n),
            (values, high, low, n))
VX_DISPATCH(SubtractParts, SubtractPartsBody,
            (const double* values, std::uint64_t* high, std::uint64_t* low, int n), (values, high, low, n))
VX_BODY void PrefixBody(const std::uint64_t* high, const std::uint64_t* low, std::uint64_t* out_high,
                        std::uint64_t* out_low, int n) {
  std::uint64_t sh = out_high[-1], sl = out_low[-1];
  for (int i = 0; i < n; ++i) {
    sh += high[i];
    sl += low[i];
    out_high[i] = sh;
    out_low[i] = sl;
  }
}

// Eight sums per step: the vector's own running sum in three shifted adds
// (by one, two and four lanes), plus the last sum so far in every lane.
// The shifts use the zero-masking form with every lane selected: the same
// instruction, without the operand GCC 12 reports as possibly uninitialised.
VX_AVX512 void PrefixScan(const std::uint64_t* high, const std::uint64_t* low, std::uint64_t* out_high,
                          std::uint64_t* out_low, int n) {
  const __m512i zero = _mm512_setzero_si512(), last = _mm512_set1_epi64(7);
  __m512i ch = _mm512_set1_epi64(static_cast<long long>(out_high[-1]));
  __m512i cl = _mm512_set1_epi64(static_cast<long long>(out_low[-1]));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m512i h = _mm512_loadu_si512(high + i), l = _mm512_loadu_si512(low + i);
    h = _mm512_add_epi64(h, _mm512_maskz_alignr_epi64(0xFF, h, zero, 7));
    l = _mm512_add_epi64(l, _mm512_maskz_alignr_epi64(0xFF, l, zero, 7));
    h = _mm512_add_epi64(h, _mm512_maskz_alignr_epi64(0xFF, h, zero, 6));
    l = _mm512_add_epi64(l, _mm512_maskz_alignr_epi64(0xFF, l, zero, 6));
    h = _mm512_add_epi64(h, _mm512_maskz_alignr_epi64(0xFF, h, zero, 4));
    l = _mm512_add_epi64(l, _mm512_maskz_alignr_epi64(0xFF, l, zero, 4));
    h = _mm512_add_epi64(h, ch);
    l = _mm512_add_epi64(l, cl);
    _mm512_storeu_si512(out_high + i, h);
    _mm512_storeu_si512(out_low + i, l);
    ch = _mm512_maskz_permutexvar_epi64(0xFF, last, h);
    cl = _mm512_maskz_permutexvar_epi64(0xFF, last, l);
  }
  PrefixBody(high + i, low + i, out_high + i, out_low + i, n - i);
}

void PrefixPlain(const std::uint64_t* high, const std::uint64_t* low, std::uint64_t* out_high,
                 std::uint64_t* out_low, int n) {
  PrefixBody(high, low, out_high, out_low, n);
}

}  // namespace

void PrefixSums(const std::uint64_t* high, const std::uint64_t* low, std::uint64_t* out_high,
                std::uint64_t* out_low, int n) {
  if (CpuHasAvx512()) return PrefixScan(high, low, out_high, out_low, n);
  PrefixPlain(high, low, out_high, out_low, n);
}

#define VX_CHOOSE(name, args)                   \
  if (CpuHasAvx512()) return name##Avx512 args; \
  if (CpuHasAvx2()) return name##Avx2 args;     \
  return name##Plain args

void SpreadToPixels3(const unsigned char* decision, unsigned char* px, int n) {
  if (CpuHasAvx2()) return SpreadShuffled(decision, px, n);
  SpreadPlain(decision, px, n);
}

void AboveThreshold(const double* values, double threshold, unsigned char* decision, int n) {
  VX_CHOOSE(Above, (values, threshold, decision, n));
}

void AboveWindowMeanLess2(const double* values, const std::uint64_t* high, const std::uint64_t* low,
                          std::int64_t span, double rows, const double* cols, bool inverted,
                          unsigned char* decision, int n) {
  VX_CHOOSE(Mean, (values, high, low, span, rows, cols, inverted, decision, n));
}

void ReplaceExactParts(const double* entering, const double* leaving, std::uint64_t* high, std::uint64_t* low,
                       int n) {
  VX_CHOOSE(ReplaceParts, (entering, leaving, high, low, n));
}

void AddExactParts(const double* values, std::uint64_t* high, std::uint64_t* low, int n) {
  VX_CHOOSE(AddParts, (values, high, low, n));
}

void SubtractExactParts(const double* values, std::uint64_t* high, std::uint64_t* low, int n) {
  VX_CHOOSE(SubtractParts, (values, high, low, n));
}

}  // namespace vx
