#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

using Points = std::vector<C_POINT>;

// A heap store holding test-owned point lists, detached before the store is
// destroyed (it releases only arrays of its own).
struct Store {
  std::unique_ptr<CONTOUR> s = std::make_unique<CONTOUR>();
  std::vector<Points> lists;
  ~Store() { s->number = 0; }
  int Add(Points points) {
    lists.push_back(std::move(points));
    s->items[s->number] =
        CONTOUR_ITEM{static_cast<unsigned>(lists.back().size()), lists.back().data(), {}, -1, 0};
    s->area = RECT{0, 0, 100, 100};
    return s->number++;
  }
};

// One-pixel-wide ring on the rectangle (x0, y0)-(x1, y1), or the filled one.
Points Rect(int x0, int y0, int x1, int y1, bool filled = false) {
  Points points;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (filled || y == y0 || y == y1 || x == x0 || x == x1) points.push_back({x, y});
    }
  }
  return points;
}

void ExpectCorners(const C_POINT* c, const Points& expected) {
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(c[i].x == expected[i].x && c[i].y == expected[i].y) << "corner " << i;
}

const Points kRect = {{10, 10}, {60, 40}, {10, 40}, {60, 10}};

TEST(CornerFinding, FoundRectangleAndRing) {
  for (bool filled : {true, false}) {
    vxtest::Image image = vxtest::Image::Gray(100, 100, 255);
    for (C_POINT p : Rect(10, 10, 60, 40, filled)) image.at(p.x, p.y) = 0;
    auto store = std::make_unique<CONTOUR>();
    ASSERT_EQ(store->Find(image.img(), RECT{0, 0, 100, 100}, 0, 0), 0);
    C_POINT c[4] = {};
    ASSERT_EQ(store->Return4DistantPoints(c[0], 0), 0);
    ExpectCorners(c, kRect);
    if (filled) continue;
    C_POINTd cd[4];
    F_LINE lines[4];
    ASSERT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], 0), 0);
    const int dirs[4] = {2, 1, 1, 2}, scores[4] = {31, 51, 51, 31}, intercepts[4] = {10, 10, 40, 60};
    for (int s = 0; s < 4; ++s) {
      EXPECT_TRUE(lines[s].dir == dirs[s] && lines[s].b == intercepts[s]) << "side " << s;
      EXPECT_EQ(store->PointsInLine(lines[s], 0), scores[s]);
    }
    ExpectCorners(c, kRect);
    EXPECT_EQ(cd[3].x, 60.0);
  }
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
  ExpectCorners(c, Points(4, {1, 1}));
  EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, 0.0, 5.0}, rows), 3);
  EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, 0.0, 4.9}, rows), 2);
  EXPECT_EQ(store.s->PointsInLine(F_LINE{3, 1, std::nan(""), 5.0}, rows), 0);
}

TEST(Accuracy4RombPoints, FailuresKeepTheCornersAndEarlierLines) {
  Store store;
  // An L: side 2 (p2 to p3, along y = 40) finds no points in its box.
  Points ell = Rect(10, 10, 60, 40);
  std::erase_if(ell, [](C_POINT p) { return p.y == 40 && p.x > 10; });
  // Side 0's box holds one pixel listed 20 times: every candidate is 0/0.
  Points doubled = Rect(10, 10, 60, 40);
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
               {store.Add(ell), kRect, 2},
               {store.Add(doubled), kRect, 4},
               {store.Add(vee), {{50, 10}, {50, 50}, {10, 10}, {90, 10}}, 3},
               {9, kRect, -1}};
  for (const auto& t : cases) {
    Points c = t.corners;
    C_POINTd cd[4] = {};
    F_LINE lines[4] = {};
    EXPECT_EQ(store.s->Accuracy4RombPoints(c[0], cd[0], lines[0], t.index), t.result);
    ExpectCorners(c.data(), t.corners);
    EXPECT_EQ(cd[0].x, 0.0);
    EXPECT_EQ(lines[1].type, t.result >= 2 ? 3 : 0) << t.result;
    EXPECT_EQ(lines[2].type, t.result > 2 ? 3 : 0) << t.result;
  }
}

TEST(Accuracy4RombPoints, SamplingAndTies) {
  // Fifteen points in side 0's box: sample 4 is point floor(15 * 4 / 8) = 7.
  // Sixty more beyond the box lie on the line through points 0 and 7, so the
  // chord of samples 0 and 4 wins only when they are those points.
  Points spread;
  for (int i = 0; i < 15; ++i) spread.push_back({5 + 5 * i, 48 + (i * i + 2) % 5});
  const F_LINE target = MakeLine(spread[0], spread[7]);
  for (int x = 100; x < 160; ++x) spread.push_back({x, static_cast<int>(target.k * (x + 0.5) + target.b)});
  // Rows 10 and 11 alternate: the chords (0, 4) and (1, 5) both score 4, and
  // the earlier, y = 10, is kept.
  const Points zigzag = {{10, 10}, {12, 11}, {14, 10}, {16, 11}, {20, 10}, {22, 11}, {24, 10}, {26, 11}};
  Store store;
  const int indices[2] = {store.Add(spread), store.Add(zigzag)};
  const F_LINE expected[2] = {target, F_LINE{3, 1, 0.0, 10.0}};
  for (int i = 0; i < 2; ++i) {
    const int row = i == 0 ? 50 : 10;
    Points c = {{0, row}, {90, 90}, {100, row}, {3, row + 3}};  // side 1 too short: only side 0 is fitted
    C_POINTd cd[4];
    F_LINE lines[4];
    EXPECT_EQ(store.s->Accuracy4RombPoints(c[0], cd[0], lines[0], indices[i]), 1);
    EXPECT_TRUE(lines[0].k == expected[i].k && lines[0].b == expected[i].b) << i;
  }
}

}  // namespace
