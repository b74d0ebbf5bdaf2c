// Image records: lifecycle, numeric helpers, conversion, resizing and files.
#pragma once

#include "vexolith/types.h"

// The library's rounding rule: halves go up for non-negative values, negative
// values are truncated toward zero (round(-2.6) == -2). It is exported under
// the plain name `round` with a version of its own, so a program linked with
// vexolith still gets the C library's round() from <cmath>; C++ hosts call
// it as vexolith::round.
#ifdef __cplusplus
namespace vexolith {
VEXOLITH_API int round(double v) __asm__("vexolith_round_ref");
}
#else
// C hosts call it as vexolith_round.
VEXOLITH_API int vexolith_round(double v) __asm__("vexolith_round_ref");
#endif
#if defined(__ELF__)
__asm__(".symver vexolith_round_ref, round@VEXOLITH_1");
#endif

VEXOLITH_BEGIN_C

// Lifecycle. Every buffer the library hands out is released through it.
VEXOLITH_API int CopyIMG(IMG src, IMG* dst);  // 0, or 1 not valid, 2 bad sizes, 3 null bits, 4 null dst, 5 no memory
VEXOLITH_API void DeleteImg(IMG img);         // releases img.bits; null is accepted
VEXOLITH_API void ClearImage(IMG img);        // sets every byte (padding too) to 0
VEXOLITH_API void DeleteByte(unsigned char* block);

VEXOLITH_API double absf(double v);
VEXOLITH_API double max_(double a, double b);  // b when b >= a
VEXOLITH_API double min_(double a, double b);  // b when b <= a

// Conversion and resizing; every result is a new buffer owned by the caller.
VEXOLITH_API IMG Img24To8(IMG src);
VEXOLITH_API IMG Img8To24(IMG src);
VEXOLITH_API IMG IncreaseImg(IMG src, int factor);
VEXOLITH_API IMG ReduceImage(IMG src, int factor);
VEXOLITH_API IMG Transform1(IMG src);  // adds a 10-pixel margin; releases src's buffer
VEXOLITH_API int UpDownImage(IMG img);  // reverses the row order in place

// Uncompressed 24-bit bitmap files.
VEXOLITH_API int SaveDF(const char* path, IMG img);  // 0 written, 1 cannot create
VEXOLITH_API IMG OpenDF(const char* path);

// Picture files (BMP, PNG, JPEG, TIFF, GIF), told apart by their first bytes.
// LoadPictureFile returns a handle to the decoded picture, 0 on failure;
// the host releases it with DeleteObject. OpenGraphFile gives a 24-bit image
// whose row 0 is the bottom line of the picture.
VEXOLITH_API uint32_t LoadPictureFile(const char* path);
VEXOLITH_API IMG OpenGraphFile(const char* path);
VEXOLITH_API int DeleteObject(uint32_t bitmap);  // nonzero when a picture was released

VEXOLITH_END_C
