// Test pictures of a known figure: a dark ring of border cells around
// (rows - 2) x (cols - 2) free cells divided by thin dark lines, each free
// cell black or white, placed in the picture at a chosen turn, size,
// perspective, blur, noise and lighting gradient. The expected reading is
// known exactly, so a picture can be checked cell by cell.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/seen_orientation.h"

namespace vxgen {

// What to draw and how to spoil it.
struct FigureParams {
  int rows = 10;            // cells from the figure's own top to bottom, border ring included (>= 3)
  int cols = 10;            // cells from the figure's own left to right, border ring included (>= 3)
  std::vector<bool> black;  // rows * cols flags, row-major; empty: random from `seed`. Ring cells are black.
  double size = 200.0;      // pixels across the figure's longer side before perspective
  double angle = 0.0;       // degrees the figure is turned, counter-clockwise as seen
  double skew = 0.0;        // perspective: each corner moves up to skew * size pixels (0 .. 0.1 is mild)
  double blur = 0.0;        // Gaussian blur sigma in pixels
  double noise = 0.0;       // Gaussian noise sigma in gray levels
  double gradient = 0.0;    // lighting falls by up to this share across the figure (0 .. 0.5)
  double margin = 0.25;     // paper around the figure, as a share of `size`
  double line = 0.08;       // width of the inner grid lines, as a share of a cell
  std::uint32_t seed = 1;   // drives every random choice

  // Conditions of real photographs; the defaults leave each one out.
  double tilt = 0.0;       // camera tilt from square-on, degrees (0 .. 55): true perspective
  double tilt_axis = 0.0;  // direction in the page of the axis the camera tilts about, degrees
  double distance = 3.0;   // camera distance as a multiple of `size` (>= 1.5); nearer: stronger perspective
  double fill = 0.0;    // the page content's box over the picture's side (0.2 .. 0.98); 0: `margin` frames it
  double paper = -1.0;  // paper gray level in full light; < 0: 225 .. 245 from the seed
  double ink = -1.0;    // ink gray level in full light; < 0: 20 .. 45 from the seed
  double lighting =
      0.0;  // light falls by up to this share across the picture (0 .. 0.5); replaces `gradient`
  double shadow =
      0.0;  // a shadow edge crosses the figure; the shadowed side is darker by this share (0 .. 0.5)
  double shadow_soft = 0.0;  // width of the shadow's edge in pixels (0: sharp)
  int jpeg = 0;              // JPEG round trip at this quality (1 .. 100); 0: none
  int clutter = 0;           // dark marks beside the figures: filled blocks, outlined boxes, lines of text
  int figures = 1;           // figures on the page (1 .. 6), all rows x cols, none overlapping another
  double max_pixels =
      64e6;  // with `fill`, the picture is cropped about the figures to hold at most this many
};

// A picture in top-down rows of B, G, R bytes, `width * 3` bytes per row.
struct Picture {
  int width = 0;                  // pixels per row
  int height = 0;                 // rows, row 0 at the top
  std::vector<std::uint8_t> bgr;  // width * height * 3 bytes
};

// What a correct reading of the picture gives.
struct Truth {
  int rows = 0;                        // cell rows as seen (the bands from the seen top)
  int cols = 0;                        // cell columns as seen
  std::vector<bool> black;             // rows * cols verdicts as seen, row-major
  std::array<vxcli::Pt, 4> corners{};  // seen top-left, top-right, bottom-right, bottom-left (pixels)
  double ambiguity = 90.0;             // degrees from the nearest 45 + k * 90 turn
};

// A drawn picture and its expected reading.
struct TestPicture {
  Picture picture;             // the pixels
  Truth truth;                 // the expected reading of the first figure
  std::vector<Truth> figures;  // every figure on the page, the first one first
  double fill = 0.0;           // the first figure's box over the picture's, on the side where it is larger
};

// Draws the page. Deterministic for a given params.
TestPicture Render(const FigureParams& params);

// The figure's cells as the figure itself is drawn (row-major, ring black):
// `params.black` when given, otherwise random from the seed.
std::vector<bool> FigureCells(const FigureParams& params);

// Verdict rows as text, '#' black and '.' white.
std::vector<std::string> VerdictRows(int rows, int cols, const std::vector<bool>& black);

}  // namespace vxgen
