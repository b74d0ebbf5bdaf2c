// vexolith: find a dark quadrilateral grid in a picture and read its cells.
//
// The whole exported interface. Records are plain values; images handed out
// by the library are released with DeleteImg; CONTOUR and GRID are created
// and destroyed by the host. C hosts include vexolith_c.h: the records and
// the plain functions alone.
#pragma once

#include "vexolith_c.h"
#include "vexolith/types.h"
#include "vexolith/image.h"
#include "vexolith/binarize.h"
#include "vexolith/geometry.h"
#include "vexolith/statistics.h"
#include "vexolith/contour.h"
#include "vexolith/refine.h"
#include "vexolith/grid.h"
#include "vexolith/draw.h"
#include "vexolith/detect.h"
#include "vexolith/histogram.h"
#include "vexolith/segment.h"
#include "vexolith/image_view.h"
