// Enlarging, reducing, flipping and adding a margin.
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

// A factor below 1, or one that leaves no pixel, gives no image.
TEST(Resize, ReduceSubsamplesAndIncreaseReplicates) {
  Image gray = Numbered(10, 7, true), color = Numbered(3, 2, false);
  Image small = Image::Adopt(ReduceImage(gray.img(), 3)), big = Image::Adopt(IncreaseImg(color.img(), 2));
  ASSERT_TRUE(small.img().width == 3 && small.img().height == 2 && small.img().stride == 4);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(small.img().bits[i], i % 4 == 3 ? 0 : gray.at(3 * (i % 4), 3 * (i / 4)));
  ASSERT_TRUE(big.img().width == 6 && big.img().height == 4 && big.img().stride == 20);  // 18 rounded up
  for (int y = 0; y < 4; ++y)
    for (int i = 0; i < 20; ++i) EXPECT_EQ(big.row(y)[i], i < 18 ? color.at(i / 6, y / 2, i % 3) : 0);
  EXPECT_EQ(
      IncreaseImg(gray.img(), 0).valid + ReduceImage(gray.img(), 0).valid + ReduceImage(gray.img(), 8).valid,
      0);
}

TEST(UpDownImage, ReversesRowsWithTheirPadding) {
  for (int height : {1, 4, 5}) {
    Image img = Numbered(5, height, false);
    const std::vector<unsigned char> before(img.img().bits, img.img().bits + 16 * height);
    EXPECT_EQ(UpDownImage(img.img()), 0);
    for (int y = 0; y < height; ++y)
      EXPECT_TRUE(std::equal(img.row(y), img.row(y) + 16, &before[16 * (height - 1 - y)]))
          << height << " " << y;
  }
}

// Source rows land 30 bytes into rows 0..height-1, pixels only (the source's
// padding byte is not copied); margins, added rows and padding are white. A
// gray source is refused, and neither released nor changed.
TEST(Transform1, LayoutAndWhiteMargin) {
  Image original = Numbered(5, 3, false);
  IMG src{};
  ASSERT_EQ(CopyIMG(original.img(), &src), 0);  // Transform1 releases a library buffer
  Image dst = Image::Adopt(Transform1(src));
  ASSERT_TRUE(dst.img().width == 25 && dst.img().height == 23 && dst.img().stride == 76);
  for (int y = 0; y < 23; ++y)
    for (int i = 0; i < 76; ++i)
      ASSERT_EQ(dst.row(y)[i], y < 3 && i >= 30 && i < 45 ? original.row(y)[i - 30] : 255) << y << " " << i;
  Image gray = Image::Gray(4, 4, 77);
  EXPECT_EQ(Transform1(gray.img()).valid, 0);
  EXPECT_EQ(gray.at(3, 3), 77);
}
