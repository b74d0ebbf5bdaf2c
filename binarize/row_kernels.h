// Row kernels of the thresholds, chosen at run time by the processor's
// features (see vx::CpuHasAvx512 and vx::CpuHasAvx2).
//
// Most are plain C++ loops written once and compiled for AVX-512, AVX2 and
// baseline x86-64, the compiler vectorising them per target; the byte
// spreading and the prefix scan have hand-written shuffle forms. Floating-point results are the same on every target: each lane
// does the scalar operations in the scalar order, and -ffp-contract=off
// keeps multiplies and adds apart.
#pragma once

#include <cstdint>

namespace vx {

// Pixel i's three bytes (from px + 3i) all become decision[i].
void SpreadToPixels3(const unsigned char* decision, unsigned char* px, int n);

// decision[i] = 255 when values[i] > threshold, else 0.
void AboveThreshold(const double* values, double threshold, unsigned char* decision, int n);

// decision[i] = 255 when (values[i] > sum / (rows * cols[i]) - 2.0) differs
// from `inverted`, else 0: the local-mean rule, divided in double. sum is
// the exact window sum from two-part prefix sums:
// (high[i + span] - high[i]) * 2^-24 + (low[i + span] - low[i]) * 2^-56,
// each difference below 2^52, rounded once when the two exact terms are
// added. rows * cols[i] must be a whole number below 2^53 (an exact product).
void AboveWindowMeanLess2(const double* values, const std::uint64_t* high, const std::uint64_t* low,
                          std::int64_t span, double rows, const double* cols, bool inverted,
                          unsigned char* decision, int n);

// Splits each gray value g into its exact parts e = g * 2^56 (a whole
// number, see exact_sum.h): e >> 32 is added to high[i], e & (2^32 - 1) to
// low[i]; the Subtract form takes them off again.
void AddExactParts(const double* values, std::uint64_t* high, std::uint64_t* low, int n);
void SubtractExactParts(const double* values, std::uint64_t* high, std::uint64_t* low, int n);
// Both in one pass: the parts of `entering` added, those of `leaving` taken off.
void ReplaceExactParts(const double* entering, const double* leaving, std::uint64_t* high, std::uint64_t* low,
                       int n);

// Running sums: out_high[i] = out_high[-1] + high[0] + ... + high[i], the
// same for low, modulo 2^64 (the entry before out_high is the start value).
void PrefixSums(const std::uint64_t* high, const std::uint64_t* low, std::uint64_t* out_high,
                std::uint64_t* out_low, int n);

// The global threshold of n 24-bit pixels at px in one pass: each pixel's
// three bytes become 255 when its gray value is above threshold, else 0.
// Only for processors with CpuHasAvx512().
void ThresholdColorRowAvx512(unsigned char* px, int n, unsigned char threshold);

}  // namespace vx
