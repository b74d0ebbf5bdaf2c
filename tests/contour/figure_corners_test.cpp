// End to end: a dark bordered grid drawn at an angle, thresholded, collected
// by Find and handed to the corner finder.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

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

// The figure's outer outline as a picture of its own: the figure pixels with
// a 4-neighbour reached from the picture's border through background.
Image OuterOutline(const Image& picture, const std::vector<Pixel>& figure) {
  const IMG img = picture.img();
  Image outside = Image::Gray(img.width, img.height, 0);
  std::vector<Pixel> pending;
  auto reach = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
    if (picture.at(x, y) == 0 || outside.at(x, y) != 0) return;
    outside.at(x, y) = 1;
    pending.emplace_back(x, y);
  };
  for (int i = 0; i < img.width; ++i) reach(i, 0), reach(i, img.height - 1);
  for (int i = 0; i < img.height; ++i) reach(0, i), reach(img.width - 1, i);
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    reach(x + 1, y), reach(x - 1, y), reach(x, y + 1), reach(x, y - 1);
  }
  auto is_outside = [&](int x, int y) {
    return x < 0 || y < 0 || x >= img.width || y >= img.height || outside.at(x, y) != 0;
  };
  Image ring = Image::Gray(img.width, img.height, 255);
  for (auto [x, y] : figure) {
    if (is_outside(x + 1, y) || is_outside(x - 1, y) || is_outside(x, y + 1) || is_outside(x, y - 1)) {
      ring.at(x, y) = 0;
    }
  }
  return ring;
}

int Nearest(const C_POINTd (&truth)[4], C_POINTd p) {
  int best = 0;
  for (int k = 1; k < 4; ++k) {
    if (std::hypot(truth[k].x - p.x, truth[k].y - p.y) <
        std::hypot(truth[best].x - p.x, truth[best].y - p.y)) {
      best = k;
    }
  }
  return best;
}

// Chebyshev distance of each corner to the nearest true corner; p1/p2 and
// p3/p4 must be opposite corners, two apart around the outline.
void ExpectCorners(const Figure& f, const C_POINTd (&found)[4], double tolerance, const char* stage) {
  int which[4];
  for (int k = 0; k < 4; ++k) {
    which[k] = Nearest(f.corners, found[k]);
    const C_POINTd& t = f.corners[which[k]];
    EXPECT_LE(std::max(std::abs(found[k].x - t.x), std::abs(found[k].y - t.y)), tolerance)
        << stage << " corner " << k + 1 << " at " << found[k].x << "," << found[k].y << ", true corner "
        << t.x << "," << t.y;
  }
  EXPECT_EQ((which[0] + 2) % 4, which[1]) << stage;
  EXPECT_EQ((which[2] + 2) % 4, which[3]) << stage;
}

// The figure is one contour, the largest, holding every one of its pixels.
// Its extreme pixels lose the tips of the corners to the threshold (up to 3
// pixels at these angles); corners refined on its outline come closer.
TEST(FigureCorners, TurnedGridGivesItsFourCorners) {
  for (double degrees : {3.0, 11.0, 20.0, 27.5, 34.0, 41.0, -16.0}) {
    SCOPED_TRACE(testing::Message() << degrees << " degrees");
    Figure f = Draw(degrees);
    auto store = NewStore();
    ASSERT_EQ(FindAll(*store, f.image, 1).code, 0);
    ASSERT_EQ(store->ReturnAllContours(), 5);  // the figure and four specks
    int figure = 0;
    for (int i = 1; i < 5; ++i) figure = store->AllPoints(i) > store->AllPoints(figure) ? i : figure;
    EXPECT_EQ(store->AllPoints(figure), f.figure_pixels);

    C_POINT corners[4] = {};
    ASSERT_EQ(store->Return4DistantPoints(corners[0], figure), 0);
    C_POINTd extreme[4], refined[4];
    for (int k = 0; k < 4; ++k) extreme[k] = C_POINTd{double(corners[k].x), double(corners[k].y)};
    ExpectCorners(f, extreme, 3.0, "extreme");
    // Refinement scores a line by the region pixels it passes through. In a
    // filled frame every line parallel to an edge inside the band scores about
    // the same (180 or 139 here at every depth), so the side lines are fitted
    // to the figure's outer outline: its pixels with a 4-neighbour outside.
    Image ring = OuterOutline(f.image, PointsOf(*store, figure));
    auto outline = NewStore();
    ASSERT_EQ(FindAll(*outline, ring, 1).code, 0);
    ASSERT_EQ(outline->ReturnAllContours(), 1);  // the outline is one 8-connected ring
    ASSERT_EQ(outline->Return4DistantPoints(corners[0], 0), 0);
    F_LINE lines[4] = {};
    ASSERT_EQ(outline->Accuracy4RombPoints(corners[0], refined[0], lines[0], 0), 0);
    // Lines through outline pixel centres run up to half a pixel inside the
    // true edge and meet at right angles, so a corner lands within 2 pixels.
    ExpectCorners(f, refined, 2.0, "refined");
  }
}

}  // namespace
}  // namespace vxtest
