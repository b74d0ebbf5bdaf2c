// Corner finding and refinement: corners, side lines, result codes and what
// survives failures.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

using Points = std::vector<C_POINT>;

// Test-owned point lists in a heap store, detached before it is destroyed.
struct Store {
  std::unique_ptr<CONTOUR> s = std::make_unique<CONTOUR>();
  std::vector<Points> lists;
  ~Store() { s->number = 0; }
  int Add(Points points) {
    lists.push_back(std::move(points));
    s->items[s->number] = CONTOUR_ITEM{unsigned(lists.back().size()), lists.back().data(), {}, -1, 0};
    s->area = RECT{0, 0, 100, 100};
    return s->number++;
  }
};

// One-pixel-wide ring on the rectangle (x0, y0)-(x1, y1).
Points Ring(int x0, int y0, int x1, int y1) {
  Points points;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (y == y0 || y == y1 || x == x0 || x == x1) points.push_back({x, y});
  return points;
}

Pixels Of(const C_POINT* c) {
  return {{c[0].x, c[0].y}, {c[1].x, c[1].y}, {c[2].x, c[2].y}, {c[3].x, c[3].y}};
}

const C_POINT kRect[4] = {{10, 10}, {60, 40}, {10, 40}, {60, 10}};

// Refined, each side line of a ring runs along one side through all of its pixels.
TEST(CornerFinding, RingCornersAndSideLines) {
  Image image = Image::Gray(100, 100, 255);
  for (C_POINT p : Ring(10, 10, 60, 40)) image.at(p.x, p.y) = 0;
  auto store = Found(image, 0);
  C_POINT c[4] = {};
  C_POINTd cd[4];
  F_LINE lines[4];
  ASSERT_EQ(store->Return4DistantPoints(c[0], 0), 0);
  EXPECT_EQ(Of(c), Of(kRect));
  ASSERT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], 0), 0);
  const int dirs[4] = {2, 1, 1, 2}, scores[4] = {31, 51, 51, 31}, intercepts[4] = {10, 10, 40, 60};
  for (int s = 0; s < 4; ++s) {
    EXPECT_TRUE(lines[s].dir == dirs[s] && lines[s].b == intercepts[s]) << "side " << s;
    EXPECT_EQ(store->PointsInLine(lines[s], 0), scores[s]);
  }
  EXPECT_EQ(Of(c), Of(kRect));
  EXPECT_EQ(cd[3].x, 60.0);
}

TEST(CornerFinding, DegenerateContoursAndBadIndices) {
  Store store;
  const int dot = store.Add({{5, 5}});
  const int run = store.Add({{3, 7}, {4, 7}, {5, 7}, {6, 7}, {5, 5}});  // nothing below the diagonal
  const int rows = store.Add({{0, 4}, {1, 4}, {2, 5}, {3, 5}, {4, 5}});
  C_POINT c[4] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
  EXPECT_EQ(store.s->Return4DistantPoints(c[0], dot), 1);
  EXPECT_EQ(store.s->Return4DistantPoints(c[0], run), 2);
  EXPECT_EQ(store.s->Return4DistantPoints(c[0], 3), -1);
  EXPECT_EQ(Of(c), Pixels(4, {1, 1}));
  EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, 0.0, 5.0}, rows), 3);
  EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, 0.0, 4.9}, rows), 2);
  EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, std::nan(""), 5.0}, rows), 0);
}

TEST(Accuracy4RombPoints, FailuresKeepTheCornersAndEarlierLines) {
  Store store;
  // An L: side 2 (p2 to p3, along y = 40) finds no points in its box.
  Points ell = Ring(10, 10, 60, 40);
  std::erase_if(ell, [](C_POINT p) { return p.y == 40 && p.x > 10; });
  // Side 0's box holds one pixel listed 20 times: every candidate is 0/0.
  Points doubled = Ring(10, 10, 60, 40);
  std::erase_if(doubled, [](C_POINT p) { return p.x == 10 && p.y >= 12 && p.y <= 38; });
  doubled.insert(doubled.end(), 20, C_POINT{10, 20});
  // Sides 0 and 1 both run along y = 10: p1 has no intersection.
  Points vee;
  for (int i = 0; i <= 40; ++i) vee.insert(vee.end(), {{10 + 2 * i, 10}, {10 + i, 10 + i}, {90 - i, 10 + i}});
  const struct {
    int index;
    Points corners;
    int result;
  } cases[] = {{store.Add(ell), {{10, 10}, {60, 40}, {16, 16}, {60, 10}}, 1},  // side 0 spans 6 by 6
               {store.Add(ell), {kRect, kRect + 4}, 2},
               {store.Add(doubled), {kRect, kRect + 4}, 4},
               {store.Add(vee), {{50, 10}, {50, 50}, {10, 10}, {90, 10}}, 3},
               {9, {kRect, kRect + 4}, -1}};
  for (const auto& t : cases) {
    Points c = t.corners;
    C_POINTd cd[4] = {};
    F_LINE lines[4] = {};
    EXPECT_EQ(store.s->Accuracy4RombPoints(c[0], cd[0], lines[0], t.index), t.result);
    EXPECT_EQ(Of(c.data()), Of(t.corners.data()));
    EXPECT_TRUE(cd[0].x == 0.0 && lines[1].type == (t.result >= 2 ? 3 : 0) &&
                lines[2].type == (t.result > 2 ? 3 : 0))
        << t.result;
  }
}

}  // namespace
}  // namespace vxtest
