// Reads back what the drawing operations painted.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/images.h"

namespace drawtest {

// Test colour: three different bytes, so a swapped channel shows.
constexpr unsigned char kB = 1, kG = 2, kR = 3;

// Rows top to bottom, '#' for pixels of the test colour and '.' for white.
// Padding bytes of a vxtest colour image start at 0 and must stay so.
inline std::vector<std::string> Painted(const vxtest::Image& image) {
  const IMG img = image.img();
  std::vector<std::string> rows;
  for (int y = 0; y < img.height; ++y) {
    std::string line;
    for (int x = 0; x < img.width; ++x) {
      const bool painted = image.at(x, y, 0) == kB && image.at(x, y, 1) == kG && image.at(x, y, 2) == kR;
      line += painted ? '#' : '.';
    }
    for (int pad = 3 * img.width; pad < img.stride; ++pad) EXPECT_EQ(image.row(y)[pad], 0) << "row " << y;
    rows.push_back(line);
  }
  return rows;
}

}  // namespace drawtest
