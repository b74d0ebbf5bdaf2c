/* vexolith for C hosts: the records and every plain function of the library,
   compilable as C11. C++ hosts include "vexolith.h", which includes this
   header and adds the CONTOUR and GRID classes and the overloaded functions.
   The library's own rounding rule is vexolith_round here (the plain name
   round stays the C library's). */
#ifndef VEXOLITH_C_H
#define VEXOLITH_C_H

#include "vexolith/types.h"
#include "vexolith/image.h"
#include "vexolith/binarize.h"
#include "vexolith/geometry.h"
#include "vexolith/statistics.h"
#include "vexolith/draw.h"
#include "vexolith/refine.h"
#include "vexolith/histogram.h"
#include "vexolith/segment.h"
#include "vexolith/detect.h"

#endif /* VEXOLITH_C_H */
