// End to end: a dark bordered grid drawn at an angle, thresholded, collected
// by Find and handed to the corner finder, which must give its four corners
// to within a pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

constexpr int kSize = 300;
constexpr double kFigW = 180, kFigH = 140;  // figure size before turning
constexpr int kCols = 5, kRows = 4;         // white cells inside it
constexpr double kBorder = 8, kLine = 5;    // dark frame and inner line widths

// Inside the figure (in its own unturned frame, origin at its centre): dark
// unless in a cell.
bool DarkAt(double u, double v) {
  if (std::abs(u) > kFigW / 2 || std::abs(v) > kFigH / 2) return false;
  const double cell_w = (kFigW - 2 * kBorder - (kCols - 1) * kLine) / kCols;
  const double cell_h = (kFigH - 2 * kBorder - (kRows - 1) * kLine) / kRows;
  const double a = u + kFigW / 2 - kBorder, b = v + kFigH / 2 - kBorder;
  if (a < 0 || b < 0 || a > kFigW - 2 * kBorder || b > kFigH - 2 * kBorder) return true;
  const bool in_col = std::fmod(a, cell_w + kLine) < cell_w;
  const bool in_row = std::fmod(b, cell_h + kLine) < cell_h;
  return !(in_col && in_row);
}

struct Figure {
  Image image;          // thresholded picture: 0 figure and specks, 255 background
  C_POINTd corners[4];  // true corners in pixel coordinates, around the outline
  int figure_pixels;    // black pixels of the figure alone
};

// The picture is rendered with 4 x 4 samples per pixel (pixel (x, y) centred
// on the point (x, y)) into gray 40 .. 230 and thresholded at 128, as a host
// would after Img24To8 and ThresholdImage. A few small specks lie around it.
Figure Draw(double degrees) {
  const double t = degrees * std::numbers::pi / 180, c = std::cos(t), s = std::sin(t);
  const double cx = 150.3, cy = 149.6;
  Figure f{Image::Gray(kSize, kSize), {}, 0};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      int dark = 0;
      for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
          const double px = x - 0.375 + 0.25 * i - cx, py = y - 0.375 + 0.25 * j - cy;
          dark += DarkAt(c * px + s * py, -s * px + c * py);
        }
      }
      const int gray = 230 - (190 * dark) / 16;
      f.image.at(x, y) = gray < 128 ? 0 : 255;
      f.figure_pixels += gray < 128;
    }
  }
  const double u[4] = {-kFigW / 2, kFigW / 2, kFigW / 2, -kFigW / 2};
  const double v[4] = {-kFigH / 2, -kFigH / 2, kFigH / 2, kFigH / 2};
  for (int k = 0; k < 4; ++k) f.corners[k] = C_POINTd{cx + c * u[k] - s * v[k], cy + s * u[k] + c * v[k]};
  for (auto [x, y] : {std::pair{5, 5}, std::pair{290, 12}, std::pair{8, 280}, std::pair{260, 291}}) {
    f.image.at(x, y) = f.image.at(x + 1, y) = f.image.at(x, y + 1) = 0;
  }
  return f;
}

int Nearest(const C_POINTd (&truth)[4], double x, double y) {
  int best = 0;
  for (int k = 1; k < 4; ++k) {
    if (std::hypot(truth[k].x - x, truth[k].y - y) < std::hypot(truth[best].x - x, truth[best].y - y))
      best = k;
  }
  return best;
}

constexpr double kAngles[] = {3.0, 11.0, 20.0, 27.5, 34.0, 41.0, -16.0};

// The figure found as one contour, the largest, with every pixel of it.
int FindFigure(CONTOUR& store, const Figure& f) {
  EXPECT_EQ(FindAll(store, f.image, 1).code, 0);
  EXPECT_EQ(store.ReturnAllContours(), 5);  // the figure and four specks
  int largest = 0;
  for (int i = 1; i < store.ReturnAllContours(); ++i) {
    if (store.AllPoints(i) > store.AllPoints(largest)) largest = i;
  }
  EXPECT_EQ(store.AllPoints(largest), f.figure_pixels);
  return largest;
}

// Which true corner each found corner lies nearest to; p1/p2 and p3/p4 must
// be opposite corners, two apart around the outline.
void ExpectCornerOrder(const Figure& f, const C_POINTd (&found)[4]) {
  int which[4];
  for (int k = 0; k < 4; ++k) which[k] = Nearest(f.corners, found[k].x, found[k].y);
  EXPECT_EQ((which[0] + 2) % 4, which[1]);
  EXPECT_EQ((which[2] + 2) % 4, which[3]);
}

double ChebyshevToNearest(const Figure& f, C_POINTd p) {
  const C_POINTd& t = f.corners[Nearest(f.corners, p.x, p.y)];
  return std::max(std::abs(p.x - t.x), std::abs(p.y - t.y));
}

// The extreme pixels of a turned figure lose the tips of its corners to the
// threshold, by up to 3 pixels at these angles.
TEST(FigureCorners, FindGivesTheFigureWholeWithItsExtremeCorners) {
  for (double degrees : kAngles) {
    SCOPED_TRACE(testing::Message() << degrees << " degrees");
    Figure f = Draw(degrees);
    auto store = NewStore();
    const int figure = FindFigure(*store, f);
    C_POINT corners[4] = {};
    ASSERT_EQ(store->Return4DistantPoints(corners[0], figure), 0);
    C_POINTd found[4];
    for (int k = 0; k < 4; ++k) {
      found[k] = C_POINTd{static_cast<double>(corners[k].x), static_cast<double>(corners[k].y)};
      EXPECT_LE(ChebyshevToNearest(f, found[k]), 3.0) << "corner " << k + 1;
    }
    ExpectCornerOrder(f, found);
  }
}

TEST(FigureCorners, RefinedCornersLieWithinAPixel) {
  for (double degrees : kAngles) {
    SCOPED_TRACE(testing::Message() << degrees << " degrees");
    Figure f = Draw(degrees);
    auto store = NewStore();
    const int figure = FindFigure(*store, f);
    C_POINT corners[4] = {};
    ASSERT_EQ(store->Return4DistantPoints(corners[0], figure), 0);
    C_POINTd exact[4] = {};
    F_LINE lines[4] = {};
    ASSERT_EQ(store->Accuracy4RombPoints(corners[0], exact[0], lines[0], figure), 0);
    for (int k = 0; k < 4; ++k) {
      EXPECT_LE(ChebyshevToNearest(f, exact[k]), 1.0)
          << "corner " << k + 1 << " at " << exact[k].x << "," << exact[k].y;
    }
    ExpectCornerOrder(f, exact);
  }
}

}  // namespace
}  // namespace vxtest
