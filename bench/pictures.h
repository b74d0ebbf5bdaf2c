// Test pictures of any size, shared by the benchmarks and the side-by-side
// comparison with OpenCV.
#pragma once

#include <vector>

#include "tools/test_picture.h"
#include "vexolith.h"

namespace vxbench {

// Owns the bytes of an IMG (rows padded to 4 bytes).
struct Picture {
  std::vector<unsigned char> bytes;
  IMG img{};
};

// A 24-bit picture like a photographed sheet: a brightness gradient with
// noise and a tint, dark discs and bars, and a dark grid.
Picture Photo(int width, int height);

// A white gray page with one black glyph per 50 x 40 cell, four kinds in
// turn: a ring with a dot inside (two regions), an L, an H and a diagonal
// stroke. 4000 x 3000 holds 6000 glyphs, 7500 regions. With scale s every
// cell and glyph is s times as large (as if the page were taken at a higher
// resolution), so the count of regions stays while their pixels grow.
Picture LetterPage(int width, int height, double scale = 1.0);

// The reader's 12-megapixel photo, made once: a 12 x 16 figure 3600 pixels
// across in about 3970 x 3070 pixels, a slight turn, blur, noise and falling
// light.
const vxgen::TestPicture& FigurePhoto();

// The 4000 x 3000 Photo, made once; callers must not change it.
const IMG& BenchPicture();

}  // namespace vxbench
