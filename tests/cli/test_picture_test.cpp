#include "tools/test_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tools/bmp_file.h"
#include "tools/random_params.h"

namespace {

// The picture is dark at the centre of exactly the cells the truth calls
// black, found by walking the true corners as seen.
TEST(TestPicture, TruthMatchesPixelsAtEveryQuarterTurnAndBetween) {
  for (double angle : {0.0, 17.0, 90.0, 100.0, 200.0, 271.0, 330.0}) {
    SCOPED_TRACE(angle);
    const vxgen::TestPicture t = vxgen::Render(
        {.rows = 6, .cols = 9, .black = {}, .size = 180, .angle = angle, .skew = 0.02, .seed = 7});
    // A quarter turn swaps what is seen as rows and columns.
    const bool swapped = (angle > 45 && angle < 135) || (angle > 225 && angle < 315);
    ASSERT_EQ(t.truth.rows, swapped ? 9 : 6);
    ASSERT_EQ(t.truth.cols, swapped ? 6 : 9);
    const auto& c = t.truth.corners;
    for (int i = 0; i < t.truth.rows; ++i) {
      for (int j = 0; j < t.truth.cols; ++j) {
        const double u = (j + 0.5) / t.truth.cols, v = (i + 0.5) / t.truth.rows;
        const double w[4] = {(1 - u) * (1 - v), u * (1 - v), u * v, (1 - u) * v};
        const long x = std::lround(w[0] * c[0].x + w[1] * c[1].x + w[2] * c[2].x + w[3] * c[3].x);
        const long y = std::lround(w[0] * c[0].y + w[1] * c[1].y + w[2] * c[2].y + w[3] * c[3].y);
        const std::uint8_t* px = &t.picture.bgr[(y * t.picture.width + x) * 3];
        EXPECT_EQ((px[0] + px[1] + px[2]) / 3 < 128, t.truth.black[i * t.truth.cols + j]) << i << "," << j;
      }
    }
  }
}

TEST(TestPicture, SameSeedSamePictureOtherSeedOtherCells) {
  const vxgen::FigureParams params = vxgen::RandomParams(3, 5);
  EXPECT_EQ(vxgen::Render(params).picture.bgr, vxgen::Render(params).picture.bgr);
  vxgen::FigureParams other = params;
  other.seed += 1;
  EXPECT_NE(vxgen::FigureCells(params), vxgen::FigureCells(other));
}

TEST(BmpFile, HeaderAndBottomUpPaddedRows) {
  vxgen::Picture p{5, 3, std::vector<std::uint8_t>(45)};
  for (int y = 0; y < 3; ++y)
    p.bgr[y * 15] = static_cast<std::uint8_t>(10 + y);  // blue of each row's first pixel
  const std::vector<std::uint8_t> f = vxgen::EncodeBmp(p);
  ASSERT_EQ(f.size(), 54u + 16 * 3);  // 15 bytes of pixels padded to 16 per row
  std::int32_t size[2];
  std::uint16_t bpp;
  std::memcpy(size, &f[18], 8);
  std::memcpy(&bpp, &f[28], 2);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 2), "BM");
  EXPECT_EQ((std::vector<int>{size[0], size[1], bpp}), (std::vector<int>{5, 3, 24}));
  EXPECT_EQ((std::vector<int>{f[54], f[54 + 16], f[54 + 32]}),
            (std::vector<int>{12, 11, 10}));  // bottom row first
}

}  // namespace
