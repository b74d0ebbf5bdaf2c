#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

// A heap store whose contours are test-owned point lists; they are detached
// before the store is destroyed, which releases only its own arrays.
class Store {
 public:
  Store() : store_(std::make_unique<CONTOUR>()) { store_->area = RECT{0, 0, 100, 100}; }
  ~Store() { store_->number = 0; }
  int Add(std::vector<C_POINT> points) {
    lists_.push_back(std::move(points));
    CONTOUR_ITEM& item = store_->items[store_->number];
    item.count = static_cast<unsigned int>(lists_.back().size());
    item.points = lists_.back().data();
    item.rect = RECT{0, 0, 0, 0};
    item.mama = -1;
    item.level = 0;
    return store_->number++;
  }
  CONTOUR& operator*() { return *store_; }
  CONTOUR* operator->() { return store_.get(); }

 private:
  std::unique_ptr<CONTOUR> store_;
  std::vector<std::vector<C_POINT>> lists_;
};

// One-pixel-wide ring on the rectangle (x0, y0)-(x1, y1), listed row by row.
std::vector<C_POINT> Ring(int x0, int y0, int x1, int y1) {
  std::vector<C_POINT> points;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (y == y0 || y == y1 || x == x0 || x == x1) points.push_back({x, y});
    }
  }
  return points;
}

void ExpectCorners(const C_POINT (&c)[4], std::vector<std::pair<int, int>> expected) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c[i].x, expected[i].first) << "corner " << i + 1;
    EXPECT_EQ(c[i].y, expected[i].second) << "corner " << i + 1;
  }
}

const std::vector<std::pair<int, int>> kRectCorners = {{10, 10}, {60, 40}, {10, 40}, {60, 10}};

TEST(Return4DistantPoints, RingGivesItsCornersAndRefinesToTheSameOnes) {
  Store store;
  const int ring = store.Add(Ring(10, 10, 60, 40));
  ASSERT_EQ(store->items[ring].count, 160u);
  C_POINT c[4] = {};
  ASSERT_EQ(store->Return4DistantPoints(c[0], ring), 0);
  ExpectCorners(c, kRectCorners);

  C_POINTd cd[4] = {};
  F_LINE lines[4] = {};
  ASSERT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], ring), 0);
  const int dirs[4] = {2, 1, 1, 2};
  const double intercepts[4] = {10, 10, 40, 60};
  const int scores[4] = {31, 51, 51, 31};
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(lines[s].dir, dirs[s]) << "side " << s;
    EXPECT_EQ(lines[s].k, 0.0) << "side " << s;
    EXPECT_EQ(lines[s].b, intercepts[s]) << "side " << s;
    EXPECT_EQ(store->PointsInLine(lines[s], ring), scores[s]) << "side " << s;
  }
  ExpectCorners(c, kRectCorners);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(cd[i].x, kRectCorners[i].first);
    EXPECT_EQ(cd[i].y, kRectCorners[i].second);
  }
}

TEST(Return4DistantPoints, FoundRectangleAndRing) {
  for (bool filled : {true, false}) {
    SCOPED_TRACE(filled ? "filled" : "ring");
    vxtest::Image image = vxtest::Image::Gray(100, 100, 255);
    for (int y = 10; y <= 40; ++y) {
      for (int x = 10; x <= 60; ++x) {
        if (filled || y == 10 || y == 40 || x == 10 || x == 60) image.at(x, y) = 0;
      }
    }
    auto store = std::make_unique<CONTOUR>();
    ASSERT_EQ(store->Find(image.img(), RECT{0, 0, 100, 100}, 0, 0), 0);
    ASSERT_EQ(store->number, 1);
    C_POINT c[4] = {};
    ASSERT_EQ(store->Return4DistantPoints(c[0], 0), 0);
    ExpectCorners(c, kRectCorners);
    if (filled) continue;
    C_POINTd cd[4];
    F_LINE lines[4];
    EXPECT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], 0), 0);
    ExpectCorners(c, kRectCorners);
  }
}

TEST(Return4DistantPoints, DegenerateContoursLeaveCornersAlone) {
  Store store;
  const int dot = store.Add({{5, 5}});
  std::vector<C_POINT> run;
  for (int x = 3; x < 20; ++x) run.push_back({x, 7});
  const int line = store.Add(run);
  C_POINT c[4] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
  EXPECT_EQ(store->Return4DistantPoints(c[0], dot), 1);
  EXPECT_EQ(store->Return4DistantPoints(c[0], line), 2);
  EXPECT_EQ(store->Return4DistantPoints(c[0], 2), -1);  // no such contour
  EXPECT_EQ(store->Return4DistantPoints(c[0], -1), -1);
  ExpectCorners(c, {{1, 1}, {1, 1}, {1, 1}, {1, 1}});
}

TEST(PointsInLine, EvaluatesAtPixelCentresAndTruncates) {
  Store store;
  const int rows = store.Add({{0, 4}, {1, 4}, {2, 5}, {3, 5}, {4, 5}, {9, 9}});
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 1, 0.0, 5.0}, rows), 3);
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 1, 0.0, 4.9}, rows), 2);
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 2, 0.0, 9.0}, rows), 1);
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 1, std::nan(""), 5.0}, rows), 0);
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 1, 1e300, 5.0}, rows), 0);
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 0, 0.0, 5.0}, rows), 0);
  EXPECT_EQ(store->PointsInLine(F_LINE{3, 1, 0.0, 5.0}, 1), 0);  // no such contour
}

TEST(Accuracy4RombPoints, ShortSidesAndSparseBoxesStopAtThatSide) {
  Store store;
  const int ring = store.Add(Ring(10, 10, 60, 40));
  C_POINT c[4] = {{10, 10}, {60, 40}, {16, 16}, {60, 10}};  // side 0 spans 6 by 6
  C_POINTd cd[4] = {};
  F_LINE lines[4] = {};
  EXPECT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], ring), 1);
  EXPECT_EQ(lines[0].type, 0);  // nothing fitted
  // An L of two sides: side 2 (p2 to p3) finds no points in its box.
  std::vector<C_POINT> ell = Ring(10, 10, 60, 40);
  std::erase_if(ell, [](C_POINT p) { return p.y == 40 && p.x > 10; });
  const int open = store.Add(ell);
  C_POINT open_c[4] = {{10, 10}, {60, 40}, {10, 40}, {60, 10}};
  EXPECT_EQ(store->Accuracy4RombPoints(open_c[0], cd[0], lines[0], open), 2);
  EXPECT_EQ(lines[0].b, 10.0);  // sides 0 and 1 were written, side 2 not
  EXPECT_EQ(lines[1].b, 10.0);
  EXPECT_EQ(lines[2].type, 0);
  ExpectCorners(open_c, kRectCorners);
  EXPECT_EQ(store->Accuracy4RombPoints(open_c[0], cd[0], lines[0], 5), -1);  // no such contour
}

TEST(Accuracy4RombPoints, EqualScoresKeepTheEarlierCandidate) {
  // Side 0 from (0, 10) to (40, 10) gathers exactly eight points, alternating
  // between rows 10 and 11: the chords (0, 4) and (1, 5) both score 4, and
  // side 1 is too short, which leaves side 0's line to look at.
  Store store;
  const int zigzag =
      store.Add({{10, 10}, {12, 11}, {14, 10}, {16, 11}, {20, 10}, {22, 11}, {24, 10}, {26, 11}});
  ASSERT_EQ(store->PointsInLine(MakeLine(C_POINT{12, 11}, C_POINT{22, 11}), zigzag), 4);
  C_POINT c[4] = {{0, 10}, {50, 50}, {40, 10}, {3, 12}};
  C_POINTd cd[4];
  F_LINE lines[4] = {};
  EXPECT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], zigzag), 1);
  EXPECT_EQ(lines[0].dir, 1);
  EXPECT_EQ(lines[0].k, 0.0);
  EXPECT_EQ(lines[0].b, 10.0);
}

TEST(Accuracy4RombPoints, UndefinedCornersLeaveCornersUnchanged) {
  // Sides 0 and 1 both lie on the row y = 10, so p1 has no intersection.
  Store store;
  std::vector<C_POINT> points;
  for (int x = 0; x <= 100; ++x) points.push_back({x, 10});
  for (int i = 0; i <= 40; ++i) points.push_back({10 + i, 10 + i}), points.push_back({90 - i, 10 + i});
  const int vee = store.Add(points);
  C_POINT c[4] = {{50, 10}, {50, 50}, {10, 10}, {90, 10}};
  C_POINTd cd[4] = {};
  F_LINE lines[4] = {};
  EXPECT_EQ(store->Accuracy4RombPoints(c[0], cd[0], lines[0], vee), 3);
  EXPECT_EQ(lines[3].type, 3);  // all four sides were fitted
  ExpectCorners(c, {{50, 10}, {50, 50}, {10, 10}, {90, 10}});

  // Side 0's box holds one pixel listed many times: every candidate line
  // goes through two equal points and is not a number.
  std::vector<C_POINT> ring = Ring(10, 10, 60, 40);
  std::erase_if(ring, [](C_POINT p) { return p.x <= 12 && p.y >= 12 && p.y <= 38; });
  ring.insert(ring.end(), 20, C_POINT{10, 20});
  const int doubled = store.Add(ring);
  C_POINT r[4] = {{10, 10}, {60, 40}, {10, 40}, {60, 10}};
  EXPECT_EQ(store->Accuracy4RombPoints(r[0], cd[0], lines[0], doubled), 4);
  EXPECT_TRUE(std::isnan(lines[0].k));
  ExpectCorners(r, kRectCorners);
  EXPECT_EQ(cd[0].x, 0.0);
}

}  // namespace
