// Polar forms and line turning: the float steps of the angle, the form a
// direction angle picks, turns about a point, signed inclinations, polygon
// turning and stepping along a line.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "vexolith.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr F_LINE Line(int dir, double k, double b) { return F_LINE{3, dir, k, b}; }

TEST(Polar, AnglesAreSinglePrecision) {
  struct Case {
    float x, y;
    double want;
  };
  // The quadrant offsets are added in double and the sum rounded to float.
  const Case cases[] = {
      {1, 0, 0.0},
      {0, 1, static_cast<float>(kPi / 2)},
      {-1, 0, static_cast<float>(kPi)},
      {0, -1, static_cast<float>(3 * kPi / 2)},
      {0, 0, 0.0},
      {1, 1, static_cast<float>(kPi / 4)},
      {1, -1, static_cast<float>(7 * kPi / 4)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<double>(MakePolarF(c.x, c.y)), c.want) << c.x << ", " << c.y;
  }
  EXPECT_NE(static_cast<double>(MakePolarF(1, 1)), kPi / 4) << "not the double angle";
  EXPECT_EQ(MakePolarR(3, 4), 5.0f);
}

TEST(Polar, LineFromDirectionAngle) {
  struct Case {
    double angle;
    int dir;
    double k;
  };
  const Case cases[] = {
      {0.0, 1, 0.0},
      {kPi / 2, 2, 0.0},
      {3 * kPi / 2, 2, 0.0},            // reduced by pi once
      {kPi / 4, 2, std::tan(kPi / 4)},  // the boundary belongs to the steep form
      {-kPi / 4, 1, -std::tan(kPi / 4)},
      {7.0, 0, 0.0},  // beyond 2pi: no line
      {std::nan(""), 0, 0.0},
  };
  for (const Case& c : cases) {
    const F_LINE l = MakeLineFromPolar(3.0, 2.0, c.angle);
    EXPECT_EQ(l.dir, c.dir) << c.angle;
    EXPECT_EQ(l.k, c.k) << c.angle;
  }
  EXPECT_EQ(MakeLineFromPolar(3.0, 2.0, kPi / 2).b, 3.0) << "x = 3";
  EXPECT_EQ(MakeLineFromPolar(3.0, 2.0, 0.0).b, 2.0) << "y = 2";
}

TEST(Polar, TurnLineAboutAPoint) {
  const F_LINE moved = TurnLine(Line(1, 0.0, 5.0), 0.0, 2.0, 7.0);
  EXPECT_EQ(moved.dir, 1);
  EXPECT_EQ(moved.k, 0.0);
  EXPECT_EQ(moved.b, 7.0);

  // A positive angle turns from +y toward +x: y = 0 turned by -pi/4 is the
  // steep x = k*y with k = tan(pi/4) in double.
  const F_LINE steep = TurnLine(Line(1, 0.0, 5.0), -kPi / 4, 0.0, 0.0);
  EXPECT_EQ(steep.dir, 2);
  EXPECT_EQ(steep.k, 0.9999999999999999);
  EXPECT_EQ(steep.b, 0.0);

  // The slope passes through float on the way: a turn by 0 does not give
  // back a slope that float cannot hold.
  const F_LINE same = TurnLine(Line(1, 0.1, 0.0), 0.0, 0.0, 0.0);
  EXPECT_NE(same.k, 0.1);
  EXPECT_NEAR(same.k, 0.1, 1e-8);

  // A vertical line's angle is pi/2 rounded up to float, so even a turn by
  // 0 leaves it leaning by about 4.4e-8 toward -x.
  const F_LINE vertical = TurnLine(Line(2, 0.0, 4.0), 0.0, 9.0, 1.0);
  EXPECT_LT(vertical.k, -4e-8);
  EXPECT_GT(vertical.k, -5e-8);
  EXPECT_NEAR(vertical.b, 9.0, 1e-7);

  EXPECT_EQ(TurnLine(Line(0, 0.5, 1.0), 0.1, 0.0, 0.0).dir, 0) << "no equation, no turn";
}

TEST(Polar, SignedInclination) {
  const double quarter = static_cast<float>(kPi / 4);
  EXPECT_EQ(FoundInclination(Line(1, 1.0, 0.0), Line(1, 0.0, 0.0)), quarter);
  EXPECT_EQ(FoundInclination(Line(1, 0.0, 0.0), Line(1, 1.0, 0.0)), -quarter);
  EXPECT_EQ(FoundInclination(Line(2, 0.3, 1.0), Line(2, 0.3, 9.0)), 0.0);
  // Across the pi wrap: directions 170 and 10 degrees differ by -20, not 160.
  const F_LINE l170 = MakeLineFromPolar(0, 0, 170 * kPi / 180);
  const F_LINE l10 = MakeLineFromPolar(0, 0, 10 * kPi / 180);
  EXPECT_NEAR(FoundInclination(l170, l10), -20 * kPi / 180, 1e-6);
  EXPECT_NEAR(FoundInclination(l10, l170), 20 * kPi / 180, 1e-6);
  // Perpendicular lines come out positive.
  EXPECT_GT(FoundInclination(Line(1, 0.0, 0.0), Line(2, 0.0, 0.0)), 1.57);
  EXPECT_TRUE(std::isnan(FoundInclination(Line(0, 0, 0), Line(1, 0, 0))));
}

TEST(Polar, DirectPointTurnsOneWay) {
  C_POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  C_POINT reversed[] = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};
  C_POINT straight[] = {{0, 0}, {5, 0}, {10, 0}, {10, 10}};
  EXPECT_TRUE(DirectPoint(square, 4, 2));
  EXPECT_FALSE(DirectPoint(square, 4, 1));
  EXPECT_TRUE(DirectPoint(reversed, 4, 1));
  EXPECT_FALSE(DirectPoint(reversed, 4, 2));
  EXPECT_FALSE(DirectPoint(straight, 4, 2)) << "equal angles fail both tests";
  EXPECT_TRUE(DirectPoint(straight, 4, 0));
  EXPECT_TRUE(DirectPoint(nullptr, 4, 3));
}

TEST(Polar, StepAlongALine) {
  const C_POINTd p1{10, 10}, p2{20, 10};
  const C_POINTd away = FindPointContinue(p1, p2, Line(1, 0.0, 10.0), 5.0);
  const C_POINTd toward = FindPointContinue_(p1, p2, Line(1, 0.0, 10.0), 5.0);
  EXPECT_EQ(away.x, 5.0);
  EXPECT_EQ(away.y, 10.0);
  EXPECT_EQ(toward.x, 15.0);
  EXPECT_EQ(toward.y, 10.0);
  const C_POINTd stay = FindPointContinue(p1, p2, Line(0, 1.0, 0.0), 5.0);
  EXPECT_EQ(stay.x, 10.0) << "no slope: the start point";
}

}  // namespace
