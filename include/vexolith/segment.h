// Block segmentation of gray images by histogram similarity, and counting
// of pixels in a disc.
#pragma once

#include "vexolith/types.h"

// The result of SegmentationH: a label per square block of the image and
// the two-peak mark of each block. Block (r, c) covers x = c*blockSize ..
// (c+1)*blockSize - 1 and y = r*blockSize .. (r+1)*blockSize - 1.
struct SEGMENTS {
  int segmentCount;      // labels handed out, 0 .. segmentCount - 1 (folded-away labels stay counted)
  int blockCols;         // blocks per row (width / blockSize); -1 when no segmentation was made
  int blockRows;         // block rows (height / blockSize)
  int* labels;           // blockRows * blockCols labels, row-major; owned by the caller (DeleteSegmentsh)
  unsigned char* marks;  // blockRows * blockCols bytes: 1 = two well-separated, well-filled peaks
};
typedef struct SEGMENTS SEGMENTS;

// Flag bits of the segmentation calls; each call reads the bits it names.
enum {
  SEGMENTS_FOLD_ISOLATED = 1,  // SegmentationH: a block left alone joins its most similar neighbour
  SEGMENTS_TWO_PEAKS = 2,      // SegmentationH: fill marks; DrawSegmentsH: marked blocks only
  SEGMENTS_MARKED_LABELS = 4,  // DrawSegmentsH: segments holding a marked block only
  SEGMENTS_BEST_ONLY = 8       // ReturnRectSegmentsh, DrawSegmentsH: the segment with most marked blocks
};

VEXOLITH_BEGIN_C

// Segments an 8-bit image: blockSize 2 .. 1024, binCount 1 .. 256;
// neighbouring blocks join when their chi-square distance over
// 2 * blockSize^2 is at most joinLimit; peakShare is the share of a block's
// pixels the two peaks must hold. Out of range, and (added checks) an image
// that is not valid or has no pixels, or a block grid too large to label or
// allocate: {0, -1, 0, null, null}. An image smaller than one block gives no
// blocks, segmentCount 0 and null maps.
VEXOLITH_API SEGMENTS SegmentationH(IMG img, int blockSize, int binCount, double joinLimit, double peakShare,
                                    int flags);
// Releases labels and marks, each only when not null.
VEXOLITH_API void DeleteSegmentsh(SEGMENTS s);
// Writes the inclusive pixel bounds of each segment with at least minMarked
// marked blocks, in label order, at most maxRects of them; returns how many.
// Labels that hold no block are skipped. Added checks, each giving 0: a null
// out, a record without blocks or maps, a segmentCount above the number of
// blocks, blockSize < 1 or a grid whose pixel bounds pass INT_MAX. Blocks
// with a label outside 0 .. segmentCount - 1 are ignored.
VEXOLITH_API int ReturnRectSegmentsh(SEGMENTS s, int blockSize, RECT* out, int minMarked, int maxRects,
                                     int flags);
// Paints the blocks of a 24-bit image in their segment's palette colour.
// Draws nothing on a gray image and (added checks) on an image that is not
// valid or has no pixels, for a record without blocks, blockSize < 1, or a
// block grid reaching outside the image. Labels outside 0 .. segmentCount - 1
// are not painted.
VEXOLITH_API void DrawSegmentsH(IMG img, SEGMENTS s, int blockSize, int flags);

// Counts the pixels of an 8-bit image within distance r of (cx, cy): all of
// them, the black ones (0) and those of value 128, adding to the caller's
// counters. 0 counted, 1 img is not 8-bit; added checks: 2 img is not valid
// or has no pixels, 3 a null counter. Only the disc's pixels inside the
// image are counted, wherever the centre lies; a centre or radius that is
// not a number counts nothing.
VEXOLITH_API int ReturnCountBlackPoints(IMG img, double cx, double cy, double r, int* total, int* black,
                                        int* count128);
// The same, also averaging the value-128 pixels into centre (3 also for a
// null centre). When the disc holds no value-128 pixel the centre is left
// as the caller gave it.
VEXOLITH_API int ReturnCountBlackPointsBr(IMG img, double cx, double cy, double r, int* total, int* black,
                                          int* count128, C_POINTd* centre);

VEXOLITH_END_C
