// Gray value of a 24-bit pixel and the row kernels built on it.
//
// The value is (B*0.071 + G*0.707) + R*0.222 in double precision: the first
// two products summed, then the third added, with no fused multiply-add.
// Stored gray bytes truncate it (B = G = R = 128 gives 127.99999... -> 127);
// the thresholds compare the unrounded double.
#pragma once

namespace vx {

inline constexpr double kBlueWeight = 0.071;   // weight of byte 0
inline constexpr double kGreenWeight = 0.707;  // weight of byte 1
inline constexpr double kRedWeight = 0.222;    // weight of byte 2

// Gray value of the pixel whose bytes B, G, R start at px.
inline double GrayValue(const unsigned char* px) {
  return (px[0] * kBlueWeight + px[1] * kGreenWeight) + px[2] * kRedWeight;
}

// Gray byte of the pixel at px: the value truncated toward zero. The value
// is at most 255 (B = G = R = 255 gives exactly 255.0), so it fits a byte.
inline unsigned char GrayByte(const unsigned char* px) {
  return static_cast<unsigned char>(static_cast<int>(GrayValue(px)));
}

// Row kernels over n pixels of B, G, R bytes starting at bgr. They read
// exactly 3n bytes, so a row's padding and the bytes after the last row are
// never touched. GrayRowTo8 writes n truncated bytes, GrayRowValues n doubles.
// These two pick the widest kernels the processor runs (AVX-512, AVX2, scalar).
void GrayRowTo8(const unsigned char* bgr, unsigned char* out, int n);
void GrayRowValues(const unsigned char* bgr, double* out, int n);

// The kernels themselves, for tests and benchmarks. The vector ones give
// bit-identical results (same products and sums in the same order) and may
// only be called when CpuHasAvx2() or CpuHasAvx512() (AVX-512 F, BW, VL and
// DQ) is true.
bool CpuHasAvx2();
bool CpuHasAvx512();

// Keeps the run-time choice at or below a level (2 AVX-512, 1 AVX2, 0 the
// baseline kernels), so that tests can check every path on one machine.
void LimitVectorPaths(int level);
void GrayRowTo8Scalar(const unsigned char* bgr, unsigned char* out, int n);
void GrayRowValuesScalar(const unsigned char* bgr, double* out, int n);
void GrayRowTo8Avx2(const unsigned char* bgr, unsigned char* out, int n);
void GrayRowValuesAvx2(const unsigned char* bgr, double* out, int n);
void GrayRowTo8Avx512(const unsigned char* bgr, unsigned char* out, int n);
void GrayRowValuesAvx512(const unsigned char* bgr, double* out, int n);

}  // namespace vx
