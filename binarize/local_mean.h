// The two ways of thresholding a region by its local means (see
// adaptive_threshold.cpp). Both write the region's pixels of dst, a 24-bit
// image of src's geometry, and give bit-identical results; they differ in
// the width of their window sums. False when working memory cannot be had.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vexolith/types.h"

namespace vx {

// The largest window (in pixels inside the image) the split 64-bit sums
// hold exactly: each of the two parts of a gray value is below 2^32, so a
// sum of 2^20 of them stays below 2^52 and converts to double exactly.
inline constexpr std::int64_t kSplitSumMaxPixels = std::int64_t{1} << 20;

// The split sums keep the window's gray rows in a ring when it fits in this
// many bytes; otherwise a leaving row's gray values are computed again.
inline constexpr std::size_t kRingBudget = std::size_t{64} << 20;

// Any window of at most kSplitSumMaxPixels pixels inside the image.
bool LocalMeanThresholdSplit(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted,
                             std::size_t ring_budget = kRingBudget);

// Any window: 128-bit sums, one pixel at a time.
bool LocalMeanThresholdWide(const IMG& src, const IMG& dst, const RECT& r, std::int64_t half, bool inverted);

}  // namespace vx
