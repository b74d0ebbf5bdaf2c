#include <gtest/gtest.h>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

// Gray value 100.5 (B 3, G 69, R 232) is above threshold 100 although its
// gray byte would be 100; 100.0 (B = G = R = 100) is not.
TEST(ThresholdImage, ColorComparesTheUnroundedValue) {
  Image img = Image::Color(2, 1, 100, 100, 100);
  img.at(0, 0, 0) = 3;
  img.at(0, 0, 1) = 69;
  img.at(0, 0, 2) = 232;
  ThresholdImage(img.img(), 100, RECT{0, 0, 2, 1});
  for (int c = 0; c < 3; ++c) EXPECT_EQ(img.at(0, 0, c), 255);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(img.at(1, 0, c), 0);
}

// Threshold 0 keeps only 0 black, 255 makes everything black; only the
// region (cut to the image) changes, and padding keeps its garbage.
TEST(ThresholdImage, ExtremesRegionAndPadding) {
  for (bool gray : {true, false}) {
    SCOPED_TRACE(gray ? "gray" : "24-bit");
    Image img = gray ? Image::Gray(5, 3, 1) : Image::Color(5, 3, 1, 1, 1);
    const int pad = gray ? 5 : 15;
    for (int y = 0; y < 3; ++y) img.row(y)[pad] = 0xEE;
    img.at(4, 2, 0) = img.at(4, 2, 1) = img.at(4, 2, 2) = 0;
    ThresholdImage(img.img(), 0, RECT{2, 1, 99, 99});
    EXPECT_EQ(img.Art(), (std::vector<std::string>{".....", ".....", "....#"}));
    EXPECT_EQ(img.at(1, 1), 1);  // outside the region
    ThresholdImage(img.img(), 255, RECT{-3, -3, 5, 1});
    EXPECT_EQ(img.Art(), (std::vector<std::string>{"#####", ".....", "....#"}));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(img.row(y)[pad], 0xEE);
  }
}
