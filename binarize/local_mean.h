// The two ways of thresholding a region by its local means (see
// adaptive_threshold.cpp). Both write the region's pixels of dst, a 24-bit
// image of src's geometry, and give bit-identical results; they differ in
// the width of their window sums. False when working memory cannot be had.
#pragma once

#include <cstdint>

#include "vexolith/types.h"

namespace vx {

// The largest window (in pixels inside the image) the split 64-bit sums
// hold exactly: each of the two parts of a gray value is below 2^32, so a
// sum of 2^20 of them stays below 2^52 and converts to double exactly.
inline constexpr std::int64_t kSplitSumMaxPixels = std::int64_t{1} << 20;

// Any window of at most kSplitSumMaxPixels pixels inside the image.
bool LocalMeanThresholdSplit(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted);

// Any window: 128-bit sums, one pixel at a time.
bool LocalMeanThresholdWide(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted);

}  // namespace vx
