// The AVX-512 gray value of eight pixels, shared by the kernels built on it.
//
// The bytes of eight pixels (24) are spread into 32-bit lanes by the same
// shuffles as the AVX2 kernels, one 128-bit half per four pixels, and the
// lanes are widened to eight doubles. Each lane then does what GrayValue
// does, in the same order: B*0.071 and G*0.707 summed, then R*0.222 added,
// as separate multiplies and adds (the build keeps -ffp-contract=off), so
// the results are bit-identical to the scalar kernels. Truncation uses
// vcvttpd2dq, which rounds toward zero like the scalar cast. The conversions
// are written in their zero-masking forms with every lane selected: the same
// instructions, without the plain forms' undefined source operand, which
// GCC 12 reports as possibly uninitialised.
#pragma once

#include <immintrin.h>

#include "image/gray.h"

#define VX_TARGET_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq")))

namespace vx {
namespace avx512 {

// Shuffle picking bytes first, first+3, first+6, first+9 of each 128-bit
// half into the low bytes of four 32-bit lanes: `low` for the first half,
// `high` for the second.
VX_TARGET_AVX512 inline __m256i Spread(int low, int high) {
  const char z = -1;
  auto c = [](int v) { return static_cast<char>(v); };
  return _mm256_setr_epi8(c(low), z, z, z, c(low + 3), z, z, z, c(low + 6), z, z, z, c(low + 9), z, z, z,
                          c(high), z, z, z, c(high + 3), z, z, z, c(high + 6), z, z, z, c(high + 9), z, z, z);
}

// Gray values of the eight pixels whose 24 bytes start at bgr. The first
// half loads bytes 0..15 (pixels 0..3 in bytes 0..11), the second bytes
// 8..23 (pixels 4..7 in its bytes 4..15): no load reaches past pixel 7.
VX_TARGET_AVX512 inline __m512d Gray8(const unsigned char* bgr) {
  const __m256i bytes =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr))),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 8)), 1);
  const __m512d b = _mm512_maskz_cvtepi32_pd(0xFF, _mm256_shuffle_epi8(bytes, Spread(0, 4)));
  const __m512d g = _mm512_maskz_cvtepi32_pd(0xFF, _mm256_shuffle_epi8(bytes, Spread(1, 5)));
  const __m512d r = _mm512_maskz_cvtepi32_pd(0xFF, _mm256_shuffle_epi8(bytes, Spread(2, 6)));
  const __m512d bg = _mm512_add_pd(_mm512_mul_pd(b, _mm512_set1_pd(kBlueWeight)),
                                   _mm512_mul_pd(g, _mm512_set1_pd(kGreenWeight)));
  return _mm512_add_pd(bg, _mm512_mul_pd(r, _mm512_set1_pd(kRedWeight)));
}

}  // namespace avx512
}  // namespace vx
