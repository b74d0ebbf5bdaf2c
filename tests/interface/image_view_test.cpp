// The owning image and the view as a host uses them: row order flipped
// without a copy, clipped sub-views, records only where the library can take
// them, and ownership that moves and releases exactly once.
#include <utility>

#include "vexolith.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageView, FlippedAndSubViewsAddressTheSamePixels) {
  vexolith::Image image(5, 4, true, 0);
  ASSERT_FALSE(image.empty());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) image.row(y)[x] = static_cast<unsigned char>(10 * y + x);

  const vexolith::ImageView flipped = image.view().flipped();
  EXPECT_EQ(flipped.row(0)[2], 32) << "row 0 of the flipped view is the last row";
  EXPECT_EQ(flipped.row(3)[2], 2) << "its last row is the first row";
  EXPECT_EQ(flipped.flipped().row(1)[1], 11) << "flipping twice gives the original order";

  const vexolith::ImageView sub = image.view().sub(3, 2, 10, 10);
  EXPECT_EQ(sub.width(), 2) << "clipped at the right edge";
  EXPECT_EQ(sub.height(), 2) << "clipped at the bottom edge";
  EXPECT_EQ(sub.row(1)[0], 33);
  EXPECT_TRUE(image.view().sub(-5, 0, 3, 3).empty()) << "wholly outside on the left";
  EXPECT_TRUE(image.view().sub(5, 0, 1, 1).empty()) << "starting past the right edge";
}

TEST(ImageView, RecordsOnlyForLayoutsTheLibraryTakes) {
  vexolith::Image image(6, 3, false);
  const IMG direct = image.view().record();
  EXPECT_EQ(direct.valid, 1);
  EXPECT_EQ(direct.stride, 20) << "3 * 6 bytes rounded up to whole 4-byte units";
  EXPECT_EQ(image.view().flipped().record().valid, 0) << "a negative stride is not a record";
  unsigned char pixels[8] = {};
  EXPECT_EQ(vexolith::ImageView(pixels, 4, 2, 3, true).record().valid, 0) << "rows overlapping";
}

TEST(Image, OwnershipMovesAndReleasesOnce) {
  unsigned char pixels[4] = {1, 2, 3, 4};
  const IMG source{pixels, 2, 2, 2, 1, 1};
  IMG copy{};
  ASSERT_EQ(CopyIMG(source, &copy), 0);
  vexolith::Image adopted(copy);  // released by DeleteImg when it goes
  vexolith::Image moved(std::move(adopted));
  EXPECT_TRUE(adopted.empty()) << "moved-from image is empty";  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(moved.row(1)[1], 4);
  vexolith::Image assigned;
  assigned = std::move(moved);
  EXPECT_EQ(assigned.width(), 2);
  EXPECT_TRUE(vexolith::Image(IMG{}).empty()) << "a failed record adopts as empty";
  EXPECT_TRUE(vexolith::Image(0, 5, true).empty()) << "no pixels for a zero width";
  EXPECT_TRUE(vexolith::Image::Load("/nonexistent/picture.png").empty());
}

}  // namespace
