// The global threshold of a 24-bit row in one AVX-512 pass: gray values of
// sixteen pixels, compared with the threshold into a 16-bit mask, the mask
// widened to sixteen 0 / 255 bytes and those spread to the 48 pixel bytes
// by three byte shuffles and three 16-byte stores.
#include "binarize/row_kernels.h"
#include "image/gray_avx512.h"

namespace vx {

VX_TARGET_AVX512 void ThresholdColorRowAvx512(unsigned char* px, int n, unsigned char threshold) {
  const __m512d t = _mm512_set1_pd(threshold);
  // Byte i of a decision vector goes to bytes 3i, 3i + 1, 3i + 2 of the 48.
  const __m128i first = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
  const __m128i second = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
  const __m128i third = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
  int x = 0;
  for (; x + 16 <= n; x += 16) {
    unsigned char* p = px + 3 * x;
    // Both halves are read before any byte is written.
    const __mmask8 low = _mm512_cmp_pd_mask(avx512::Gray8(p), t, _CMP_GT_OQ);
    const __mmask8 high = _mm512_cmp_pd_mask(avx512::Gray8(p + 24), t, _CMP_GT_OQ);
    const __m128i decision = _mm_movm_epi8(static_cast<__mmask16>(low | (high << 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_shuffle_epi8(decision, first));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_shuffle_epi8(decision, second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm_shuffle_epi8(decision, third));
  }
  for (; x < n; ++x) {
    unsigned char* p = px + 3 * x;
    const unsigned char v = GrayValue(p) > threshold ? 255 : 0;
    p[0] = v;
    p[1] = v;
    p[2] = v;
  }
}

}  // namespace vx
