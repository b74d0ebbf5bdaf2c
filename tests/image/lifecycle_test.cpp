// Copying, clearing and allocating image buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/buffer.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

TEST(CopyIMG, EntryChecksInOrder) {
  unsigned char byte = 0;
  IMG dst{nullptr, 7, 7, 7, 7, 7};
  EXPECT_EQ(CopyIMG(IMG{nullptr, 0, 0, 0, 0, 0}, &dst), 1);  // valid first, whatever the rest
  EXPECT_EQ(CopyIMG(IMG{nullptr, 0, 4, 1, 1, 1}, &dst), 2);  // sizes before the pointer
  EXPECT_EQ(CopyIMG(IMG{&byte, 1, 4, 0, 1, 1}, &dst), 2);
  EXPECT_EQ(CopyIMG(IMG{nullptr, 1, 4, 1, 1, 1}, &dst), 3);
  EXPECT_EQ(CopyIMG(IMG{&byte, 1, 1, 1, 1, 1}, nullptr), 4);
  EXPECT_EQ(dst.width, 7);  // untouched on failure
}

// Copying and clearing cover every byte, padding included, of either format.
TEST(Lifecycle, CopyAndClearCoverPadding) {
  for (bool gray : {false, true}) {
    Image src = gray ? Image::Gray(5, 3) : Image::Color(5, 3);
    const size_t bytes = static_cast<size_t>(src.img().stride) * 3;
    for (size_t i = 0; i < bytes; ++i) src.img().bits[i] = static_cast<unsigned char>(i * 7 + 1);
    IMG raw{};
    ASSERT_EQ(CopyIMG(src.img(), &raw), 0);
    Image copy = Image::Adopt(raw);
    EXPECT_TRUE(raw.bits != src.img().bits && raw.gray == gray && raw.stride == (gray ? 8 : 16));
    EXPECT_EQ(std::memcmp(raw.bits, src.img().bits, bytes), 0);
    ClearImage(raw);
    EXPECT_EQ(std::count(raw.bits, raw.bits + bytes, 0), static_cast<long>(bytes));
  }
  DeleteImg(IMG{nullptr, 3, 12, 3, 1, 0});  // null bits are accepted
}

// Sizes are computed in 64 bits: a stride of 3e9 is refused, not wrapped.
// Signed zeros: -0.0 is not below 0, and equal arguments give the second.
TEST(Numeric, WideStridesAndSignedZeros) {
  EXPECT_EQ(vx::NewImage(1'000'000'000, 1, false).valid, 0);
  EXPECT_EQ(vx::NewImage(5, 0, true).valid, 0);
  EXPECT_TRUE(std::signbit(absf(-0.0)) && std::signbit(max_(0.0, -0.0)) && std::signbit(min_(0.0, -0.0)));
}
