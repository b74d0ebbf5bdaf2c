// The 3 x 3 minimum and maximum filters and their row kernels.
//
// The filter is separable: the minimum of a 3 x 3 block is the minimum over
// three neighbouring columns of each column's minimum over three rows. A row
// of output is made in two passes through a scratch row that stays in the
// first-level cache: the column pass takes three source rows to one row of
// column extremes, the row pass takes three neighbouring entries of it.
// Minimum and maximum are exact, so every kernel gives the same bytes.
#pragma once

#include "vexolith/types.h"

namespace vx {

enum class MorphOp { kMin, kMax };

// Column pass: out[x] = extreme of a[x], b[x], c[x] for x in [0, n).
// Row pass: out[x] = extreme of in[x - 1], in[x], in[x + 1] for x in [1, n - 1);
// out[0] and out[n - 1] are not written. n >= 3.
// Plain loops, for any processor.
void MorphColumnsPortable(MorphOp op, const unsigned char* a, const unsigned char* b, const unsigned char* c,
                          unsigned char* out, int n);
void MorphRowPortable(MorphOp op, const unsigned char* in, unsigned char* out, int n);

// 32 bytes per step; only when CpuHasAvx2() is true.
void MorphColumnsAvx2(MorphOp op, const unsigned char* a, const unsigned char* b, const unsigned char* c,
                      unsigned char* out, int n);
void MorphRowAvx2(MorphOp op, const unsigned char* in, unsigned char* out, int n);

// The whole filter of a gray image of at least 3 x 3 pixels, in place: each
// row is written only once the source rows it needs are kept in scratch
// rows, so the result equals filtering into a new buffer. The first and
// last row and column and the padding are not written. `use_avx2` chooses
// the kernels (tests run both; callers pass CpuHasAvx2()). False, with img
// untouched, when the scratch rows cannot be allocated.
bool MorphFilterInPlace(MorphOp op, const IMG& img, bool use_avx2);

}  // namespace vx
