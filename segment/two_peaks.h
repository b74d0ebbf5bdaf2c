// The two-peak test of a block histogram.
#pragma once

namespace vx {

// True when the n-bin histogram h of a blockSize x blockSize block has two
// peaks at least n/3 bins apart that each hold more than a quarter, and
// together more than all, of peakShare of the block's pixels. n is at
// most 256; larger histograms are not marked.
bool HasTwoPeaks(const int* h, int n, int blockSize, double peakShare);

}  // namespace vx
