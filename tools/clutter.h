// Dark marks that share a page with the figures and must not be taken for
// one: filled blocks larger than a figure, outlined boxes (a dark ring with
// nothing inside) and lines of text-like strokes.
#pragma once

#include <array>
#include <random>
#include <vector>

#include "tools/camera.h"

namespace vxgen {

// `count` marks in page coordinates, each a set of dark quadrilaterals. Each
// mark lies wholly outside the circle of `clear` pixels about the page's
// origin (where the figures are) and within a few figure sizes of it.
// `size` is a figure's longer side and `cell` its cell, in page pixels.
std::vector<std::array<Pt, 4>> MakeClutter(int count, double size, double cell, double clear,
                                           std::mt19937& rng);

}  // namespace vxgen
