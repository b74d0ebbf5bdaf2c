// The light across a figure, fitted to the paper round it and its ring: a
// shadow's edge is found where there is one, and clutter beside the figure
// does not shade the cells.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "reader/light.h"

namespace vx::reader {
namespace {

constexpr int kRows = 10, kCols = 10;
constexpr double kInk = 0.3;  // ink over paper

// Samples of a 10 x 10 figure as the cell reading takes them: paper a third
// of a cell outside the ring, in order round it, and the ring cells.
Light Fit(const std::function<double(double, double)>& paper) {
  std::vector<LightSample> s;
  std::vector<int> round;
  auto add = [&](double x, double y) {
    round.push_back(static_cast<int>(s.size()));
    s.push_back({x, y, paper(x, y), false});
  };
  for (int j = 0; j < kCols; ++j) add(j + 0.5, -0.35);
  for (int i = 0; i < kRows; ++i) add(kCols + 0.35, i + 0.5);
  for (int j = kCols - 1; j >= 0; --j) add(j + 0.5, kRows + 0.35);
  for (int i = kRows - 1; i >= 0; --i) add(-0.35, i + 0.5);
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

}  // namespace
}  // namespace vx::reader
