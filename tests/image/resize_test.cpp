#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

// An image whose byte i is i * 7 + 1, padding included.
Image Numbered(int width, int height, bool gray) {
  Image img = gray ? Image::Gray(width, height) : Image::Color(width, height);
  for (int i = 0; i < img.img().stride * height; ++i)
    img.img().bits[i] = static_cast<unsigned char>(i * 7 + 1);
  return img;
}

}  // namespace

TEST(Resize, ReduceSubsamplesAndIncreaseReplicates) {
  Image gray = Numbered(10, 7, true);
  Image small = Image::Adopt(ReduceImage(gray.img(), 3));
  ASSERT_EQ(small.img().valid, 1);
  EXPECT_EQ(small.img().width, 3);
  EXPECT_EQ(small.img().height, 2);
  EXPECT_EQ(small.img().stride, 4);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(small.at(x, y), gray.at(3 * x, 3 * y));
  }
  Image color = Numbered(3, 2, false);
  Image big = Image::Adopt(IncreaseImg(color.img(), 2));
  ASSERT_EQ(big.img().valid, 1);
  EXPECT_EQ(big.img().width, 6);
  EXPECT_EQ(big.img().stride, 20);  // 18 rounded up
  for (int y = 0; y < 4; ++y) {
    for (int i = 0; i < 18; ++i) EXPECT_EQ(big.at(i / 3, y, i % 3), color.at(i / 6, y / 2, i % 3));
  }
  // A factor below 1 or one that leaves no pixel: no image, not a division by zero.
  EXPECT_EQ(IncreaseImg(gray.img(), 0).valid, 0);
  EXPECT_EQ(ReduceImage(gray.img(), 0).valid, 0);
  EXPECT_EQ(ReduceImage(gray.img(), 8).valid, 0);
}

TEST(UpDownImage, ReversesRowsAndTwiceIsTheIdentity) {
  for (int height : {1, 4, 5}) {
    Image img = Numbered(5, height, false);
    const std::vector<unsigned char> before(img.img().bits, img.img().bits + 16 * height);
    EXPECT_EQ(UpDownImage(img.img()), 0);
    EXPECT_TRUE(std::equal(img.row(0), img.row(0) + 16, before.end() - 16));
    UpDownImage(img.img());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), img.img().bits)) << "height " << height;
  }
}

// Source rows land 30 bytes into rows 0..height-1, pixels only (the source's
// padding byte is not copied); margins, added rows and padding are white.
TEST(Transform1, LayoutAndWhiteMargin) {
  Image original = Numbered(5, 3, false);
  IMG src{};
  ASSERT_EQ(CopyIMG(original.img(), &src), 0);  // Transform1 releases a library buffer
  Image dst = Image::Adopt(Transform1(src));
  ASSERT_EQ(dst.img().valid, 1);
  EXPECT_EQ(dst.img().width, 25);
  EXPECT_EQ(dst.img().stride, 76);
  EXPECT_EQ(dst.img().height, 23);
  for (int y = 0; y < 23; ++y) {
    for (int i = 0; i < 76; ++i) {
      const bool inside = y < 3 && i >= 30 && i < 45;
      ASSERT_EQ(dst.row(y)[i], inside ? original.row(y)[i - 30] : 255) << "row " << y << " byte " << i;
    }
  }
  Image gray = Image::Gray(4, 4, 77);  // refused, and neither released nor changed
  EXPECT_EQ(Transform1(gray.img()).valid, 0);
  EXPECT_EQ(gray.at(3, 3), 77);
}
