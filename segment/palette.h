// The colours segments are painted in.
#pragma once

#include <array>

#include "draw/paint.h"

namespace vx {

// Label L is painted in entry L mod 27, bytes in pixel order (B, G, R):
// the eight corners of the colour cube first, then mixes with half levels,
// so neighbouring labels differ strongly.
inline constexpr std::array<Colour, 27> kSegmentPalette{{
    {255, 255, 255}, {0, 255, 255},   {255, 0, 255},   {255, 255, 0},   {0, 0, 255},     {0, 255, 0},
    {255, 0, 0},     {0, 0, 0},       {128, 128, 128}, {0, 128, 128},   {128, 0, 128},   {128, 128, 0},
    {0, 0, 128},     {0, 128, 0},     {128, 0, 0},     {255, 128, 128}, {128, 255, 128}, {128, 128, 255},
    {255, 255, 128}, {255, 128, 255}, {128, 255, 255}, {255, 128, 0},   {255, 0, 128},   {128, 255, 0},
    {128, 0, 255},   {0, 128, 255},   {0, 255, 128},
}};

inline Colour SegmentColour(int label) { return kSegmentPalette[static_cast<unsigned>(label) % 27u]; }

}  // namespace vx
