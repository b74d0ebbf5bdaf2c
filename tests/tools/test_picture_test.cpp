// The test-picture generator: its truth against the drawn pixels (corners,
// covered area, cells as seen), the condition sets' ranges, the spoiling
// steps, and one picture per seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/camera.h"
#include "tools/condition_sets.h"
#include "tools/jpeg_round_trip.h"
#include "tools/spoil.h"
#include "tools/test_picture.h"

namespace {

using vxgen::Pt;

// Paper 250 and ink 10, no blur or noise: the green channel is the gray
// level, so (250 - g) / 240 is the share of the pixel the ink covers.
vxgen::FigureParams Plain(double angle, double tilt, double axis, double distance) {
  vxgen::FigureParams p{.rows = 7, .cols = 9, .black = {}, .size = 240, .angle = angle, .seed = 7};
  p.tilt = tilt, p.tilt_axis = axis, p.distance = distance;
  p.fill = 0.6, p.paper = 250, p.ink = 10;
  return p;
}

int Green(const vxgen::Picture& p, int x, int y) {
  return p.bgr[(static_cast<std::size_t>(y) * p.width + x) * 3 + 1];
}

double Area(const std::array<Pt, 4>& q) { return std::fabs(vxcli::TwiceSignedArea(q)) / 2; }

// Centre of mass of a quadrilateral, from its two triangles.
Pt Centroid(const std::array<Pt, 4>& q) {
  auto tri = [](const Pt& a, const Pt& b, const Pt& c) {
    return std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2;
  };
  const double a1 = tri(q[0], q[1], q[2]), a2 = tri(q[0], q[2], q[3]);
  return {((q[0].x + q[1].x + q[2].x) * a1 + (q[0].x + q[2].x + q[3].x) * a2) / 3 / (a1 + a2),
          ((q[0].y + q[1].y + q[2].y) * a1 + (q[0].y + q[2].y + q[3].y) * a2) / 3 / (a1 + a2)};
}

struct View {
  double angle, tilt, axis, distance;
};

class DrawnTruth : public testing::TestWithParam<View> {};

// An all-black figure covers exactly the area of its true corners, and its
// farthest-reaching dark pixels sit at those corners.
TEST_P(DrawnTruth, AllBlackFigureCoversTheTrueQuadrilateral) {
  const View v = GetParam();
  vxgen::FigureParams p = Plain(v.angle, v.tilt, v.axis, v.distance);
  p.black.assign(p.rows * p.cols, true);
  const vxgen::TestPicture t = vxgen::Render(p);
  const vxgen::Picture& pic = t.picture;
  double cover = 0.0, mx = 0.0, my = 0.0;
  // Outward along each corner's bisector: no other point of the figure reaches as far.
  std::array<Pt, 4> out{};
  for (int k = 0; k < 4; ++k) {
    const Pt& v = t.truth.corners[k];
    const Pt& a = t.truth.corners[(k + 3) % 4];
    const Pt& b = t.truth.corners[(k + 1) % 4];
    const double la = std::hypot(a.x - v.x, a.y - v.y), lb = std::hypot(b.x - v.x, b.y - v.y);
    out[k] = {-(a.x - v.x) / la - (b.x - v.x) / lb, -(a.y - v.y) / la - (b.y - v.y) / lb};
  }
  std::array<double, 4> best{-1e9, -1e9, -1e9, -1e9};
  std::array<Pt, 4> extreme{};
  for (int y = 0; y < pic.height; ++y) {
    for (int x = 0; x < pic.width; ++x) {
      const int g = Green(pic, x, y);
      cover += (250 - g) / 240.0;
      mx += x * (250 - g) / 240.0, my += y * (250 - g) / 240.0;
      if (g > 130) continue;
      for (int k = 0; k < 4; ++k) {
        const double reach = x * out[k].x + y * out[k].y;
        if (reach > best[k]) best[k] = reach, extreme[k] = {double(x), double(y)};
      }
    }
  }
  EXPECT_NEAR(cover, Area(t.truth.corners), 0.002 * Area(t.truth.corners)) << "covered area";
  // The ink's centre of mass is the quadrilateral's: pixel centres at whole numbers.
  const Pt centroid = Centroid(t.truth.corners);
  EXPECT_NEAR(mx / cover, centroid.x, 0.05);
  EXPECT_NEAR(my / cover, centroid.y, 0.05);
  for (int k = 0; k < 4; ++k)
    EXPECT_LT(std::hypot(extreme[k].x - t.truth.corners[k].x, extreme[k].y - t.truth.corners[k].y), 2.0)
        << "corner " << k;
}

// The centre of every cell as seen, found through the true corners, shows
// the truth's verdict: corners, orientation and cells agree.
TEST_P(DrawnTruth, CellCentresAsSeenShowTheTruthsVerdicts) {
  const View v = GetParam();
  const vxgen::TestPicture t = vxgen::Render(Plain(v.angle, v.tilt, v.axis, v.distance));
  const vxgen::Homography h = vxgen::Homography::FromSquare(t.truth.corners);
  for (int i = 0; i < t.truth.rows; ++i) {
    for (int j = 0; j < t.truth.cols; ++j) {
      const Pt c = h.Apply((j + 0.5) / t.truth.cols, (i + 0.5) / t.truth.rows);
      const bool dark = Green(t.picture, int(std::lround(c.x)), int(std::lround(c.y))) < 130;
      EXPECT_EQ(dark, bool(t.truth.black[i * t.truth.cols + j])) << "cell " << i << "," << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Views, DrawnTruth,
                         testing::Values(View{0, 0, 0, 3}, View{33, 0, 0, 3}, View{100, 30, 20, 2},
                                         View{200, 55, 135, 1.5}, View{300, 55, 260, 4},
                                         View{44, 50, 0, 1.5}));

// Figures and marks keep apart: several all-black figures cover the sum of
// their areas (none overlaps another), and a band just outside each figure
// is paper even with clutter on the page.
TEST(Page, FiguresDoNotOverlapAndClutterKeepsClear) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    vxgen::FigureParams p = Plain(seed * 37.0, 20, seed * 50.0, 2);
    p.black.assign(p.rows * p.cols, true);
    p.size = 90, p.figures = 6, p.clutter = 4, p.seed = seed;
    const vxgen::TestPicture t = vxgen::Render(p);
    EXPECT_EQ(t.figures.size(), 6u);
    double areas = 0.0;
    for (const vxgen::Truth& f : t.figures) areas += Area(f.corners);
    p.clutter = 0;
    const vxgen::TestPicture bare = vxgen::Render(p);
    double cover = 0.0;
    for (std::size_t i = 1; i < bare.picture.bgr.size(); i += 3) cover += (250 - bare.picture.bgr[i]) / 240.0;
    EXPECT_NEAR(cover, areas, 0.003 * areas) << "figures overlap";
    for (const vxgen::Truth& f : t.figures) {
      Pt c{0, 0};
      for (const Pt& q : f.corners) c = {c.x + q.x / 4, c.y + q.y / 4};
      for (const Pt& q : f.corners) {
        // Beyond each corner, 2 to 5 pixels out along the diagonal.
        const double len = std::hypot(q.x - c.x, q.y - c.y);
        for (double out = 2; out <= 5; out += 1) {
          const int x = int(std::lround(q.x + (q.x - c.x) / len * out)),
                    y = int(std::lround(q.y + (q.y - c.y) / len * out));
          if (x < 0 || y < 0 || x >= t.picture.width || y >= t.picture.height) continue;
          EXPECT_GE(Green(t.picture, x, y), 240) << "mark at " << x << "," << y;
        }
      }
    }
  }
}

// Every set stays within the conditions' ranges, and each set's own
// condition reaches into the top of its range.
TEST(ConditionSets, StayWithinTheirRangesAndReachTheirEnds) {
  for (const vxgen::ConditionSet& set : vxgen::ConditionSets()) {
    SCOPED_TRACE(set.name);
    double most_tilt = 0, most_blur = 0, most_noise = 0, most_shadow = 0, least_gap = 255, least_cell = 1e9;
    int least_jpeg = 101, most_figures = 0;
    for (int k = 0; k < 300; ++k) {
      const vxgen::FigureParams p = set.make(1, k);
      const double cell = p.size / std::max(p.rows, p.cols), gap = p.paper - p.ink;
      if (set.name != "random") {
        EXPECT_GE(cell, 4.0) << k;
        EXPECT_GE(gap, 20.0) << k;
        EXPECT_GE(p.fill, 0.2) << k;
        EXPECT_LE(p.fill, 0.98) << k;
      }
      EXPECT_LE(p.tilt, 55.0) << k;
      EXPECT_LE(p.blur, 2.0) << k;
      EXPECT_LE(p.noise, 18.0) << k;
      EXPECT_LE(p.shadow, 0.5) << k;
      EXPECT_LE(p.lighting, 0.5) << k;
      if (p.jpeg != 0) {
        EXPECT_GE(p.jpeg, 35) << k;
        EXPECT_LE(p.jpeg, 95) << k;
      }
      EXPECT_GE(p.figures, 1) << k;
      EXPECT_LE(p.figures, 6) << k;
      EXPECT_GE(std::min(p.rows, p.cols), 4) << k;
      EXPECT_LE(std::max(p.rows, p.cols), 16) << k;
      most_tilt = std::max(most_tilt, p.tilt), most_blur = std::max(most_blur, p.blur);
      most_noise = std::max(most_noise, p.noise), most_shadow = std::max(most_shadow, p.shadow);
      least_gap = std::min(least_gap, p.paper - p.ink), least_cell = std::min(least_cell, cell);
      if (p.jpeg > 0) least_jpeg = std::min(least_jpeg, p.jpeg);
      most_figures = std::max(most_figures, p.figures);
    }
    if (set.name == "tilt" || set.name == "harsh") {
      EXPECT_GT(most_tilt, 50.0);
    }
    if (set.name == "blur" || set.name == "harsh") {
      EXPECT_GT(most_blur, 1.8);
    }
    if (set.name == "noise" || set.name == "harsh") {
      EXPECT_GT(most_noise, 16.0);
    }
    if (set.name == "shadow" || set.name == "harsh") {
      EXPECT_GT(most_shadow, 0.45);
    }
    if (set.name == "contrast" || set.name == "harsh") {
      EXPECT_LT(least_gap, 22.0);
    }
    if (set.name == "small-cells") {
      EXPECT_LT(least_cell, 4.2);
    }
    if (set.name == "jpeg" || set.name == "harsh") {
      EXPECT_LT(least_jpeg, 38);
    }
    if (set.name == "multi") {
      EXPECT_EQ(most_figures, 6);
    }
  }
}

// The sizes set runs through every listed size, and a picture framed by
// `fill` is cropped to the pixel cap about its figure, never into it.
TEST(ConditionSets, SizesCoverTheListAndPicturesKeepToTheCap) {
  const vxgen::ConditionSet* sizes = vxgen::FindConditionSet("sizes");
  ASSERT_NE(sizes, nullptr);
  for (int k = 0; k < vxgen::kSetSizeCount; ++k) EXPECT_EQ(sizes->make(3, k).size, vxgen::kSetSizes[k]);
  vxgen::FigureParams p = Plain(20, 10, 0, 3);
  p.fill = 0.2, p.max_pixels = 300 * 300, p.box_size = true;
  const vxgen::TestPicture t = vxgen::Render(p);
  EXPECT_LE(double(t.picture.width) * t.picture.height, 300.0 * 301);
  double minx = 1e9, maxx = -1e9;
  for (const Pt& c : t.truth.corners) minx = std::min(minx, c.x), maxx = std::max(maxx, c.x);
  EXPECT_NEAR(maxx - minx, 240.0, 1e-6) << "the box as seen";
  EXPECT_GE(minx, 1.5);
  EXPECT_LE(maxx, t.picture.width - 2.5);
}

// Same settings, same bytes; another seed, another picture.
TEST(ConditionSets, OnePicturePerSeed) {
  for (const char* name : {"harsh", "multi"}) {
    const vxgen::FigureParams p = vxgen::FindConditionSet(name)->make(5, 2);
    EXPECT_EQ(vxgen::Render(p).picture.bgr, vxgen::Render(p).picture.bgr) << name;
    EXPECT_NE(vxgen::Render(p).picture.bgr,
              vxgen::Render(vxgen::FindConditionSet(name)->make(6, 2)).picture.bgr)
        << name;
  }
}

// A blurred step follows the normal distribution: 1.5 pixels past the edge
// (between pixels 99 and 100) at sigma 2 it reads 0.7734; the shadowed side is darker by its share; JPEG
// keeps the size and loses more at lower quality.
TEST(Spoiling, BlurShadowAndJpegDoWhatTheySay) {
  vxgen::Plane step(200, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 100; ++x) step.Row(y)[x] = 0.0f;
  vxgen::GaussianBlur(step, 2.0);
  EXPECT_NEAR(step.Row(1)[101], 0.7734, 0.01);
  EXPECT_NEAR(step.Row(1)[99] + step.Row(1)[100], 1.0, 0.01) << "symmetric about the edge";

  vxgen::Plane paper(100, 10);
  vxgen::Light light{.paper = 200, .ink = 20, .shadow = 0.5, .shadow_at = {50, 0}, .shadow_normal = {1, 0}};
  const vxgen::Picture shaded = vxgen::Spoil(paper, light, 0.0, 0.0, 1);
  EXPECT_EQ(Green(shaded, 10, 5), 200);
  EXPECT_EQ(Green(shaded, 90, 5), 100);

  const vxgen::TestPicture t = vxgen::Render(Plain(10, 0, 0, 3));
  auto loss = [&](int quality) {
    const vxgen::Picture back = vxgen::DecodeJpeg(vxgen::EncodeJpeg(t.picture, quality));
    EXPECT_EQ(back.width, t.picture.width);
    EXPECT_EQ(back.height, t.picture.height);
    double sum = 0;
    for (std::size_t i = 0; i < back.bgr.size() && back.bgr.size() == t.picture.bgr.size(); ++i)
      sum += std::abs(back.bgr[i] - t.picture.bgr[i]);
    return sum / back.bgr.size();
  };
  const double fine = loss(95), coarse = loss(35);
  EXPECT_LT(fine, 2.0);
  EXPECT_GT(coarse, fine);
  EXPECT_EQ(vxgen::DecodeJpeg({1, 2, 3}).width, 0) << "not a JPEG";
}

}  // namespace
