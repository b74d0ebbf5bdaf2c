// Brightness histograms of image areas: making, drawing and comparing them.
#pragma once

#include "vexolith/types.h"

// A histogram of byte values. Value v falls into bin (v * size) / 256,
// clamped to size - 1. Copies share the bins; release one copy only.
struct HISTOGRAM {
  int size;   // number of bins, >= 1; -1 marks a histogram that was not made
  int total;  // sum of the counts as last computed by the filling function; 0 when new
  int* bins;  // `size` counts, owned by the caller (DeleteHistogram); null when size is -1
};
typedef struct HISTOGRAM HISTOGRAM;

VEXOLITH_BEGIN_C

// `size` zeroed bins; size < 1 gives {-1, 0, null}.
VEXOLITH_API HISTOGRAM CreateHistogram(int size);
// Releases the bins when size >= 0 and bins is not null.
VEXOLITH_API void DeleteHistogram(HISTOGRAM h);
// The histogram of an area (all bounds inclusive) of an 8-bit image, or
// {-1, 0, null}. Checks added to "gray image, size >= 1": the image must be
// valid with pixels; an area with right >= left and bottom >= top must lie
// inside the image and hold at most INT_MAX pixels. An area with right < left
// or bottom < top reads nothing and gives zero counts.
VEXOLITH_API HISTOGRAM MakeHistogramIMG(IMG img, RECT area, int size);
// Index of the largest bin, the first of equal ones; -1 for no usable bins.
VEXOLITH_API int MaxHistogramElem(HISTOGRAM h);
// Clears a 24-bit image and draws the histogram as a bar chart over a gray
// base line on row 0. 0 drawn, 1 img is not 24-bit, 2 h has no usable bins,
// and the added check 3: img is not valid or has no pixels. All bins 0 draws
// no bars; bars lower than 2 rows or narrower than a column are left out.
VEXOLITH_API int DrawHistogram(HISTOGRAM h, IMG img);
// Chi-square distance over a's bins (bins empty in both skipped) when bit 0
// of method is set, else 0.0. Added check: -1.0, never a distance, when
// either histogram has no usable bins or their sizes differ.
VEXOLITH_API double CompareHist(HISTOGRAM a, HISTOGRAM b, int method);
// Correlation coefficient of the bin counts, -1 .. 1. 0.0 when it cannot be
// measured: one histogram's counts are all equal (zero dispersion), or
// (added check) either has no usable bins or their sizes differ.
VEXOLITH_API double CompareHistogram(HISTOGRAM a, HISTOGRAM b);
// |cb - ca|, ca being the number of bins of a above a.total * share (cb the
// same for b), from the stored totals. Added check: -1 when either histogram
// has no usable bins.
VEXOLITH_API int CompareHistogram1(HISTOGRAM a, HISTOGRAM b, double share);

VEXOLITH_END_C
