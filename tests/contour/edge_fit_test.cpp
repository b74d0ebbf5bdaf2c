// Contour edge fitting: the fitted line, its extent, support and spread on
// straight and ring contours; every failure code; the straightness check of
// a point list read as a closed path.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

Points RowRun(int x0, int x1, int y) {
  Points points;
  for (int x = x0; x <= x1; ++x) points.push_back({x, y});
  return points;
}

struct Fit {
  int code;
  C_POINTd ends[2]{{-9, -9}, {-9, -9}};
  F_LINE line{-9, -9, -9, -9};
  int tally = -9;
  double measure = -9;
};

Fit FitEdge(CONTOUR& store, int index, C_POINT a, C_POINT b, unsigned long mode = 0) {
  Fit f{};
  C_POINT ends[2] = {a, b};
  f.code = store.AccuracyLine(ends[0], f.ends[0], f.line, index, f.tally, f.measure, mode);
  return f;
}

double PopulationVariance(const std::vector<int>& v) {
  const double mean = std::accumulate(v.begin(), v.end(), 0.0) / v.size();
  double sum = 0;
  for (int x : v) sum += (x - mean) * (x - mean);
  return sum / v.size();
}

TEST(EdgeFit, StraightRunIsItsOwnLine) {
  Store store;
  const int i = store.Add(RowRun(10, 69, 10));
  const Fit f = FitEdge(*store.s, i, {10, 10}, {69, 10});
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.line.b, 10.0);
  EXPECT_EQ(f.ends[0].x, 10.0);
  EXPECT_EQ(f.ends[1].x, 69.0);
  EXPECT_EQ(f.tally, 60);
  EXPECT_EQ(f.measure, 0.0) << "one pixel in every one of the 60 cells";
}

TEST(EdgeFit, RingSideWithItsCornerPixels) {
  Store store;
  const int i = store.Add(Ring(10, 10, 60, 40));
  const Fit f = FitEdge(*store.s, i, {10, 10}, {60, 10});
  ASSERT_EQ(f.code, 0);
  EXPECT_EQ(f.line.b, 10.0);
  EXPECT_EQ(f.tally, 59) << "51 of the top row, 4 of each side";
  // Side pixels within 2 of the line lie farther from the opposite end than
  // the corners do.
  EXPECT_EQ(f.ends[0].x, 10.0);
  EXPECT_EQ(f.ends[0].y, 12.0);
  EXPECT_EQ(f.ends[1].x, 60.0);
  EXPECT_EQ(f.ends[1].y, 12.0);
  std::vector<int> spread(51, 1);
  for (int c = 1; c <= 4; ++c) spread[c] = 2;
  spread[50] = 5;
  EXPECT_DOUBLE_EQ(f.measure, PopulationVariance(spread));
}

TEST(EdgeFit, FailuresWriteNothing) {
  Store store;
  // Seven pixels near the segment (0, 0)-(40, 0), the rest far away.
  Points few = RowRun(0, 6, 0);
  for (const C_POINT p : RowRun(0, 40, 30)) few.push_back(p);
  const int seven = store.Add(few);
  const int fifteen = store.Add(RowRun(0, 14, 0));
  // 50 pixels near a 100-long segment, scattered over rows 46 .. 54 so no
  // line through two of them passes 10.
  Points scatter;
  for (unsigned x = 0; x < 100; x += 2) scatter.push_back({int(x), int(50 + (x * 2654435761u >> 7) % 9) - 4});
  const int weak = store.Add(scatter);
  // A diagonal band crossing the segment (0, 20)-(20, 20) at 45 degrees, and
  // its mirror image: turned too far either way.
  Points diagonal, mirrored;
  for (int d = -4; d <= 4; ++d) {
    for (int w = 0; w < 2; ++w) {
      diagonal.push_back({10 + d + w, 20 + d});
      mirrored.push_back({10 - d + w, 20 + d});
    }
  }
  const int down = store.Add(diagonal);
  const int up = store.Add(mirrored);

  struct Case {
    const char* what;
    int index;
    C_POINT a, b;
    int code;
  };
  const Case cases[] = {
      {"seven near pixels", seven, {0, 0}, {40, 0}, 2},
      {"15 near pixels, length 40", fifteen, {0, 0}, {40, 0}, 5},
      {"no line supported by 10", weak, {0, 50}, {100, 50}, 3},
      {"turned -pi/4 (inclination negative)", down, {0, 20}, {20, 20}, 4},
      {"turned +pi/4", up, {0, 20}, {20, 20}, 4},
      {"equal ends: no segment, no near pixel", fifteen, {3, 0}, {3, 0}, 2},
      {"no such contour", 7, {0, 0}, {40, 0}, -1},
  };
  for (const Case& c : cases) {
    const Fit f = FitEdge(*store.s, c.index, c.a, c.b);
    EXPECT_EQ(f.code, c.code) << c.what;
    EXPECT_EQ(f.tally, -9) << c.what;
    EXPECT_EQ(f.measure, -9) << c.what;
    EXPECT_EQ(f.ends[0].x, -9) << c.what;
  }
}

TEST(EdgeFit, StraightnessOfThePath) {
  Store store;
  // 100 points; the ends sit at list positions 0, 30, 31 and 90, and are 20
  // apart in x and 5 in y.
  Points path(100, C_POINT{0, 99});
  for (int k = 0; k < 100; ++k) path[k] = C_POINT{200 + k, 300};
  path[0] = {0, 0};
  const int i = store.Add(path);
  struct Case {
    int at;
    int code;
  };
  const Case cases[] = {{30, 0}, {31, 12}, {90, 11}};
  for (const Case& c : cases) {
    store.lists[0][c.at] = C_POINT{20, 5};
    const Fit f = FitEdge(*store.s, i, {0, 0}, {20, 5}, 2);
    EXPECT_EQ(f.code, c.code) << "position " << c.at;
    if (c.code == 0) {
      EXPECT_EQ(f.tally, 30);
      EXPECT_EQ(f.measure, 1.5) << "exactly 1.5 passes";
    }
    store.lists[0][c.at] = C_POINT{200 + c.at, 300};
  }
  EXPECT_EQ(FitEdge(*store.s, i, {0, 0}, {0, 300}, 2).code, 6) << "shares a column, not a contour point";
  EXPECT_EQ(FitEdge(*store.s, i, {0, 0}, {0, 0}, 2).code, 7) << "equal ends have no straight path";
}

}  // namespace
}  // namespace vxtest
