// The light across a figure, fitted to the paper round it and its ring: a
// shadow's edge is found where there is one, and clutter beside the figure
// does not shade the cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "reader/light.h"

namespace vx::reader {
namespace {

constexpr int kRows = 10, kCols = 10;
constexpr double kInk = 0.3;  // ink over paper

// Samples of a 10 x 10 figure as the cell reading takes them: paper a third
// of a cell outside the ring, in order round it, `sub` to a cell, and the
// ring cells.
Light Fit(const std::function<double(double, double)>& paper, int sub = 1) {
  std::vector<LightSample> s;
  std::vector<int> round;
  auto add = [&](double x, double y) {
    round.push_back(static_cast<int>(s.size()));
    s.push_back({x, y, paper(x, y), false});
  };
  const double part = 1.0 / sub;
  for (int q = 0; q < kCols * sub; ++q) add((q + 0.5) * part, -0.35);
  for (int q = 0; q < kRows * sub; ++q) add(kCols + 0.35, (q + 0.5) * part);
  for (int q = kCols * sub - 1; q >= 0; --q) add((q + 0.5) * part, kRows + 0.35);
  for (int q = kRows * sub - 1; q >= 0; --q) add(-0.35, (q + 0.5) * part);
  for (int i = 0; i < kRows; ++i)
    for (int j = 0; j < kCols; ++j)
      if (i == 0 || j == 0 || i == kRows - 1 || j == kCols - 1)
        s.push_back({j + 0.5, i + 0.5, kInk * paper(j + 0.5, i + 0.5), true});
  return Light(s, round, kRows, kCols);
}

struct LightCase {
  const char* name;
  std::function<double(double, double)> paper;  // paper gray at (x, y), cell units
  bool shadow;                                  // a shadow edge is expected
};

class LightFit : public testing::TestWithParam<LightCase> {};

// The fitted paper level matches the true one over the cells inside the
// ring (clutter outside them aside), within 6%, a cell or more from a
// sharp edge.
TEST_P(LightFit, PaperLevelOverTheCells) {
  const LightCase& c = GetParam();
  const Light light = Fit(c.paper);
  EXPECT_EQ(light.shadow(), c.shadow);
  EXPECT_NEAR(light.InkShare(), kInk, 0.03);
  for (double y = 1.5; y < kRows - 1; y += 1.0)
    for (double x = 1.5; x < kCols - 1; x += 1.0) {
      if (std::fabs(x + 0.5 * y - 8.0) / std::hypot(1.0, 0.5) < 1.0) continue;
      const double want = c.name == std::string("clutter") ? 200.0 : c.paper(x, y);
      EXPECT_NEAR(light.Paper(x, y), want, 0.06 * want) << "at " << x << ", " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Light, LightFit,
    testing::Values(
        LightCase{"even", [](double, double) { return 200.0; }, false},
        LightCase{"falling", [](double x, double) { return 200.0 * (1.0 - 0.04 * x); }, false},
        // The shaded side (x + y / 2 > 8) at half the light.
        LightCase{"sharp_shadow", [](double x, double y) { return x + 0.5 * y > 8.0 ? 100.0 : 200.0; }, true},
        // Dark marks on the paper beside the top side only.
        LightCase{"clutter", [](double x, double y) { return y < 0 && x > 4 && x < 7 ? 60.0 : 200.0; },
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

// A sharp shadow's edge under light falling across the page, and one that
// only clips a corner of the figure: each is found, kept sharp (a soft edge
// fits the coarse places better than a sharp one between them), and the
// paper level is right half a cell or more from it.
TEST(LightFit, SharpEdgeUnderFallingLightAndInACorner) {
  struct Edge {
    const char* name;
    double a, b, c;  // shaded where a x + b y > c
    double light;    // in the shadow
  };
  // The first edge's ends lie a cell from the places the coarse search tries.
  for (const Edge& e : {Edge{"across", 1.0, 0.374, 7.87, 0.55}, Edge{"corner", 1.0, 1.0, 18.0, 0.85}}) {
    auto paper = [&](double x, double y) {
      return 220.0 * (1.0 - 0.03 * x) * (e.a * x + e.b * y > e.c ? e.light : 1.0);
    };
    const Light light = Fit(paper);
    EXPECT_TRUE(light.shadow()) << e.name;
    EXPECT_TRUE(light.sharp()) << e.name;
    for (double y = 0.5; y < kRows; y += 1.0)
      for (double x = 0.5; x < kCols; x += 1.0) {
        if (std::fabs(e.a * x + e.b * y - e.c) / std::hypot(e.a, e.b) < 0.5) continue;
        EXPECT_NEAR(light.Paper(x, y), paper(x, y), 0.06 * paper(x, y)) << e.name << " at " << x << ", " << y;
      }
  }
}

// A sharp edge sampled four times a cell with no noise is placed closer
// than a tenth of a cell: a tenth at least would put in doubt every small
// cell the edge crosses.
TEST(LightFit, SharpEdgeSeenCloselyIsInDoubtByUnderATenthOfACell) {
  const Light light = Fit([](double x, double y) { return x + 0.5 * y > 8.0 ? 120.0 : 220.0; }, 4);
  ASSERT_TRUE(light.shadow());
  EXPECT_LT(light.doubt_minus(), 0.1);
  EXPECT_LT(light.doubt_plus(), 0.1);
}

// A shadow taking a quarter of the light, seen through noise of a tenth of
// the paper level on every sample (a small figure's patches in a grainy
// photo): with the edge a tenth of a cell further on, it explains less than
// half of what a plane leaves, yet the shadow is as plain as at the other
// places and must be found at each.
TEST(LightFit, DeepShadowFoundThroughHeavyNoise) {
  for (double shift : {0.0, 0.05, 0.1}) {
    auto paper = [&](double x, double y) {
      // Noise from a hash of the place, about normal (a sum of four uniforms).
      std::uint32_t h = static_cast<std::uint32_t>((x + shift) * 1000.0) * 73856093u ^
                        static_cast<std::uint32_t>((y + 10.0) * 1000.0) * 19349663u;
      double g = 0.0;
      for (int k = 0; k < 4; ++k) {
        h = h * 1664525u + 1013904223u;
        g += (h >> 8) / double(1u << 24) - 0.5;
      }
      return 200.0 * (x + 0.5 * y > 8.0 + shift ? 0.75 : 1.0) * (1.0 + 0.1 * g);
    };
    EXPECT_TRUE(Fit(paper).shadow()) << "shift " << shift;
  }
}

// A soft shadow takes light away: the paper beyond its edge is the light
// less a share of it, not the light times a power of it. Its width lies
// between those first tried. On a faint figure (ink a tenth under the
// paper) the paper level must be right to a tenth of that on every cell,
// the edge's ramp included.
TEST(LightFit, SoftShadowTakesItsWidthAndFormFromTheSamples) {
  auto paper = [](double x, double y) {
    const double t = std::clamp((x - 0.3 * y - 4.0) / std::hypot(1.0, 0.3) / 2.6 + 0.5, 0.0, 1.0);
    return 230.0 * (1.0 - 0.02 * x) * (1.0 - 0.45 * t * t * (3.0 - 2.0 * t));
  };
  const Light light = Fit(paper, 4);
  EXPECT_TRUE(light.shadow());
  EXPECT_FALSE(light.sharp());
  for (double y = 0.5; y < kRows; y += 1.0)
    for (double x = 0.5; x < kCols; x += 1.0)
      EXPECT_NEAR(light.Paper(x, y), paper(x, y), 0.01 * paper(x, y)) << "at " << x << ", " << y;
}

}  // namespace
}  // namespace vx::reader
