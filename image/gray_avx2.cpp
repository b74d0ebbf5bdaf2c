// AVX2 gray kernels: four pixels per vector of doubles, eight per step.
//
// Each lane does what GrayValue does, in the same order: B*0.071 and G*0.707
// summed, then R*0.222 added, as separate multiplies and adds (no FMA is
// enabled here and the build keeps -ffp-contract=off), so the results are
// bit-identical to the scalar kernels. Truncation uses cvttpd, which rounds
// toward zero like the scalar cast.
#include <immintrin.h>

#include "image/gray.h"

namespace vx {
namespace {

#define VX_AVX2 __attribute__((target("avx2")))

// Byte shuffles that spread bytes first, first+3, first+6, first+9 of a
// 16-byte load into the low bytes of four 32-bit lanes, zeroing the rest.
VX_AVX2 inline __m128i SpreadMask(int first) {
  const char z = -1;
  return _mm_setr_epi8(static_cast<char>(first), z, z, z, static_cast<char>(first + 3), z, z, z,
                       static_cast<char>(first + 6), z, z, z, static_cast<char>(first + 9), z, z, z);
}

// The three channel shuffles for pixels starting at byte `first` of a load.
struct ChannelMasks {
  __m128i blue, green, red;
};

VX_AVX2 inline ChannelMasks MasksAt(int first) {
  return ChannelMasks{SpreadMask(first), SpreadMask(first + 1), SpreadMask(first + 2)};
}

// Gray values of the four pixels that `masks` pick from `bytes`.
VX_AVX2 inline __m256d Gray4(__m128i bytes, const ChannelMasks& masks) {
  const __m256d b = _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, masks.blue));
  const __m256d g = _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, masks.green));
  const __m256d r = _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, masks.red));
  const __m256d bg = _mm256_add_pd(_mm256_mul_pd(b, _mm256_set1_pd(kBlueWeight)),
                                   _mm256_mul_pd(g, _mm256_set1_pd(kGreenWeight)));
  return _mm256_add_pd(bg, _mm256_mul_pd(r, _mm256_set1_pd(kRedWeight)));
}

// Eight pixels are 24 bytes. The first load takes bytes 0..15 (pixels 0..3
// in bytes 0..11), the second bytes 8..23 (pixels 4..7 in its bytes 4..15),
// so no load reaches past the eighth pixel.
VX_AVX2 inline void Gray8(const unsigned char* bgr, __m256d& low, __m256d& high) {
  low = Gray4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr)), MasksAt(0));
  high = Gray4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 8)), MasksAt(4));
}

}  // namespace

VX_AVX2 void GrayRowTo8Avx2(const unsigned char* bgr, unsigned char* out, int n) {
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    __m256d low, high;
    Gray8(bgr + 3 * x, low, high);
    // Values lie in 0..255, so the saturating packs only narrow.
    const __m128i words = _mm_packus_epi32(_mm256_cvttpd_epi32(low), _mm256_cvttpd_epi32(high));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(words, words));
  }
  for (; x < n; ++x) out[x] = GrayByte(bgr + 3 * x);
}

VX_AVX2 void GrayRowValuesAvx2(const unsigned char* bgr, double* out, int n) {
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    __m256d low, high;
    Gray8(bgr + 3 * x, low, high);
    _mm256_storeu_pd(out + x, low);
    _mm256_storeu_pd(out + x + 4, high);
  }
  for (; x < n; ++x) out[x] = GrayValue(bgr + 3 * x);
}

}  // namespace vx

#undef VX_AVX2
