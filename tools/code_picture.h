// Test pictures for code detection: one or several 2-D code-like figures
// (square regions of random black and white modules) among text-like
// clutter (lines of small glyph shapes), black 0 on white 255. The figures'
// places are known exactly, so a detector's regions can be scored.
#pragma once

#include <cstdint>
#include <vector>

namespace vxgen {

// A placed code figure: a square with exclusive right and bottom, in pixels.
struct CodeBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct CodePictureParams {
  int width = 1600;        // pixels per row
  int height = 1200;       // rows
  int max_codes = 3;       // figures per picture, 1 .. max_codes
  int min_module = 3;      // smallest module side in pixels
  int max_module = 6;      // largest module side in pixels
  int min_modules = 16;    // fewest modules across a figure
  int max_modules = 40;    // most modules across a figure
  int paragraphs = 6;      // text blocks tried per picture (those that would touch a figure are left out)
  std::uint32_t seed = 1;  // drives every random choice
};

// A binary gray picture: row y is gray[y * width .. y * width + width - 1].
struct CodePicture {
  int width = 0;                   // pixels per row
  int height = 0;                  // rows
  std::vector<std::uint8_t> gray;  // 0 black, 255 white
  std::vector<CodeBox> codes;      // the figures drawn, quiet zone not included
};

// Draws a picture. Deterministic for given params. Figures keep a white
// clearance of twice their module size plus `clearance` pixels from each
// other and from the text.
CodePicture RenderCodePicture(const CodePictureParams& params, int clearance = 40);

}  // namespace vxgen
