#include "cli/seen_orientation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using vxcli::Pt;

// A w x h rectangle centred at (100, 100) turned `deg` counter-clockwise, corners TL TR BR BL.
std::array<Pt, 4> Turned(double w, double h, double deg) {
  const double a = deg * std::numbers::pi / 180.0;
  std::array<Pt, 4> q{{{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}}};
  for (Pt& p : q)
    p = {100 + p.x * std::cos(a) + p.y * std::sin(a), 100 - p.x * std::sin(a) + p.y * std::cos(a)};
  return q;
}

TEST(SeenOrientation, TopLeftFollowsTheTurnInQuarterSteps) {
  // Up to 45 degrees either way the own top-left stays top-left; past it the next corner.
  const struct {
    double deg;
    int top_left;
  } cases[] = {{0, 0},   {30, 0},  {-30, 0}, {44, 0},  {46, 1},  {90, 1},
               {134, 1}, {136, 2}, {180, 2}, {270, 3}, {314, 3}, {316, 0}};
  for (const auto& c : cases) EXPECT_EQ(vxcli::SeenTopLeft(Turned(60, 40, c.deg)), c.top_left) << c.deg;
}

// Any start and either direction of the outline give `expected`.
void ExpectSameFromAnyStart(const std::array<Pt, 4>& q, const std::array<Pt, 4>& expected) {
  for (int start = 0; start < 4; ++start) {
    for (int step : {1, 3}) {
      std::array<Pt, 4> outline{};
      for (int k = 0; k < 4; ++k) outline[k] = q[(start + step * k) % 4];
      const std::array<Pt, 4> seen = vxcli::SeenCorners(outline);
      for (int k = 0; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(seen[k].x, expected[k].x) << start << " " << step << " " << k;
        EXPECT_DOUBLE_EQ(seen[k].y, expected[k].y) << start << " " << step << " " << k;
      }
    }
  }
}

TEST(SeenOrientation, AnyStartAndDirectionGiveTheSameCorners) {
  // Turned 20 degrees counter-clockwise: the top-left corner is the leftmost one.
  const std::array<Pt, 4> q = Turned(50, 30, 20);
  ExpectSameFromAnyStart(q, q);
  // A diamond, edges at exactly +-45 degrees: the top corner is top-left.
  ExpectSameFromAnyStart({{{60, 0}, {100, 40}, {60, 80}, {20, 40}}},
                         {{{60, 0}, {100, 40}, {60, 80}, {20, 40}}});
}

}  // namespace
