#include "tools/test_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tools/bmp_file.h"
#include "tools/random_params.h"

namespace {

int GrayAt(const vxgen::Picture& p, double x, double y) {
  const std::size_t i = (static_cast<std::size_t>(std::lround(y)) * p.width + std::lround(x)) * 3;
  return (p.bgr[i] + p.bgr[i + 1] + p.bgr[i + 2]) / 3;
}

// The picture is dark at the centre of exactly the cells the truth calls
// black, found by walking the true corners as seen.
void ExpectCellsMatchTruth(const vxgen::TestPicture& t) {
  const auto& c = t.truth.corners;
  for (int i = 0; i < t.truth.rows; ++i) {
    for (int j = 0; j < t.truth.cols; ++j) {
      const double u = (j + 0.5) / t.truth.cols, v = (i + 0.5) / t.truth.rows;
      const double x =
          (1 - u) * (1 - v) * c[0].x + u * (1 - v) * c[1].x + u * v * c[2].x + (1 - u) * v * c[3].x;
      const double y =
          (1 - u) * (1 - v) * c[0].y + u * (1 - v) * c[1].y + u * v * c[2].y + (1 - u) * v * c[3].y;
      SCOPED_TRACE(testing::Message() << "cell " << i << "," << j);
      EXPECT_EQ(GrayAt(t.picture, x, y) < 128, t.truth.black[static_cast<std::size_t>(i) * t.truth.cols + j]);
    }
  }
}

TEST(TestPicture, BorderRingIsBlackAndGivenCellsAreKept) {
  vxgen::FigureParams params;
  params.rows = 4;
  params.cols = 5;
  params.black = std::vector<bool>(20, false);
  params.black[1 * 5 + 2] = true;
  const std::vector<bool> cells = vxgen::FigureCells(params);
  const std::vector<std::string> rows = vxgen::VerdictRows(4, 5, cells);
  EXPECT_EQ(rows, (std::vector<std::string>{"#####", "#.#.#", "#...#", "#####"}));
}

TEST(TestPicture, TruthMatchesPixelsAtEveryQuarterTurnAndBetween) {
  for (double angle : {0.0, 17.0, 90.0, 100.0, 200.0, 271.0, 330.0}) {
    SCOPED_TRACE(angle);
    vxgen::FigureParams params;
    params.rows = 6;
    params.cols = 9;
    params.size = 180;
    params.angle = angle;
    params.skew = 0.02;
    params.seed = 7;
    const vxgen::TestPicture t = vxgen::Render(params);
    // A quarter turn swaps what is seen as rows and columns.
    const bool swapped = (angle > 45 && angle < 135) || (angle > 225 && angle < 315);
    EXPECT_EQ(t.truth.rows, swapped ? 9 : 6);
    EXPECT_EQ(t.truth.cols, swapped ? 6 : 9);
    ExpectCellsMatchTruth(t);
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
  vxgen::Picture p;
  p.width = 5;
  p.height = 3;
  p.bgr.resize(45);
  for (int y = 0; y < 3; ++y) p.bgr[y * 15] = static_cast<std::uint8_t>(10 + y);  // blue of the first pixel
  const std::vector<std::uint8_t> f = vxgen::EncodeBmp(p);
  ASSERT_EQ(f.size(), 54u + 16 * 3);  // 15 bytes of pixels padded to 16 per row
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  std::int32_t w, h;
  std::uint16_t bpp;
  std::memcpy(&w, &f[18], 4);
  std::memcpy(&h, &f[22], 4);
  std::memcpy(&bpp, &f[28], 2);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(bpp, 24);
  // The file's first row is the picture's bottom row.
  EXPECT_EQ(f[54], 12);
  EXPECT_EQ(f[54 + 16], 11);
  EXPECT_EQ(f[54 + 32], 10);
}

}  // namespace
