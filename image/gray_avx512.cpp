// AVX-512 gray kernels: eight pixels per vector of doubles (see gray_avx512.h).
#include <immintrin.h>

#include "image/gray_avx512.h"

namespace vx {

using avx512::Gray8;

VX_TARGET_AVX512 void GrayRowTo8Avx512(const unsigned char* bgr, unsigned char* out, int n) {
  int x = 0;
  for (; x + 16 <= n; x += 16) {
    // Values lie in 0..255: the narrowing conversions keep them whole.
    const __m128i low = _mm256_maskz_cvtepi32_epi8(0xFF, _mm512_maskz_cvttpd_epi32(0xFF, Gray8(bgr + 3 * x)));
    const __m128i high =
        _mm256_maskz_cvtepi32_epi8(0xFF, _mm512_maskz_cvttpd_epi32(0xFF, Gray8(bgr + 3 * x + 24)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi64(low, high));
  }
  for (; x + 8 <= n; x += 8) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x),
                     _mm256_maskz_cvtepi32_epi8(0xFF, _mm512_maskz_cvttpd_epi32(0xFF, Gray8(bgr + 3 * x))));
  }
  for (; x < n; ++x) out[x] = GrayByte(bgr + 3 * x);
}

VX_TARGET_AVX512 void GrayRowValuesAvx512(const unsigned char* bgr, double* out, int n) {
  int x = 0;
  for (; x + 8 <= n; x += 8) _mm512_storeu_pd(out + x, Gray8(bgr + 3 * x));
  for (; x < n; ++x) out[x] = GrayValue(bgr + 3 * x);
}

}  // namespace vx
