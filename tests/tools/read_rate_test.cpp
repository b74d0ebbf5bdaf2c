// Scoring readings against the truth, and the read rate of each condition
// set through the reader adapter, held above a floor so a drop fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "tools/condition_sets.h"
#include "tools/read_rate.h"

namespace {

using vxgen::Pt;

// A 3 x 4 truth seen square-on, cells of 10 pixels, top-left at (5, 5).
vxgen::Truth Square() {
  vxgen::Truth t;
  t.rows = 3, t.cols = 4;
  t.black = {1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1};
  t.corners = {{{5, 5}, {45, 5}, {45, 35}, {5, 35}}};
  return t;
}

vxgen::Reading Read(const vxgen::Truth& t) {
  return vxgen::Reading{.ok = true, .fault = "", .figures = {{t.corners, t.black, 1.0}}};
}

struct Outcome {
  const char* name;
  void (*spoil)(vxgen::Reading&);
  bool read, right, turned;
  int wrong;
};

class Scoring : public testing::TestWithParam<Outcome> {};

// What counts as right, as wrong but reported read, and as failed.
TEST_P(Scoring, SortsTheReading) {
  const Outcome& o = GetParam();
  vxgen::Reading r = Read(Square());
  o.spoil(r);
  const vxgen::Score s = vxgen::ScoreReading(Square(), r);
  EXPECT_EQ(s.read, o.read);
  EXPECT_EQ(s.right, o.right);
  EXPECT_EQ(s.turned, o.turned);
  EXPECT_EQ(s.wrong, o.wrong);
  vxgen::Tally t;
  t.Add(s);
  EXPECT_EQ(t.right + t.wrong_ok + t.failed, 1) << "one outcome per picture";
  EXPECT_EQ(t.wrong_ok, o.read && !o.right);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, Scoring,
    testing::Values(
        Outcome{"exact", [](vxgen::Reading&) {}, true, true, false, 0},
        // The tolerance is a quarter cell (2.5 pixels here).
        Outcome{"corner_within", [](vxgen::Reading& r) { r.figures[0].corners[2].x += 2.4; }, true, true,
                false, 0},
        Outcome{"corner_beyond", [](vxgen::Reading& r) { r.figures[0].corners[2].y += 2.6; }, true, false,
                false, 0},
        Outcome{"one_cell", [](vxgen::Reading& r) { r.figures[0].black[5] = true; }, true, false, false, 1},
        Outcome{"turned_half",
                [](vxgen::Reading& r) { r.figures[0].black = {1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1}; }, true,
                false, true, 2},
        Outcome{"wrong_size", [](vxgen::Reading& r) { r.figures[0].black.pop_back(); }, true, false, false,
                12},
        Outcome{"not_ok", [](vxgen::Reading& r) { r.ok = false; }, false, false, false, 12},
        Outcome{"ok_but_empty", [](vxgen::Reading& r) { r.figures.clear(); }, false, false, false, 12}),
    [](const testing::TestParamInfo<Outcome>& info) { return std::string(info.param.name); });

// Tiny figures still get a pixel of tolerance; each corner uses the cells of its own two sides.
TEST(Scoring, CornerToleranceFollowsTheCellsAtEachCorner) {
  vxgen::Truth t = Square();
  EXPECT_DOUBLE_EQ(vxgen::CornerTolerance(t, 0), 2.5);
  t.corners = {{{0, 0}, {8, 0}, {8, 60}, {0, 60}}};  // 2-pixel columns, 20-pixel rows
  EXPECT_DOUBLE_EQ(vxgen::CornerTolerance(t, 1), 1.0);
  t.corners = {{{0, 0}, {80, 0}, {80, 60}, {0, 60}}};
  EXPECT_DOUBLE_EQ(vxgen::CornerTolerance(t, 3), 5.0);
}

// On a page of two figures: a figure counts as found only when read wholly
// right, else misread; a reading on no figure, or on one already reported,
// is false.
TEST(Scoring, PageCountsFiguresFoundAndFalseFigures) {
  vxgen::Truth a = Square(), b = Square();
  for (Pt& p : b.corners) p.x += 100;
  vxgen::Reading r = Read(a);
  r.figures.push_back(r.figures[0]);  // the same figure twice
  vxgen::FoundFigure wrong_b{b.corners, b.black, 0.5};
  wrong_b.black[5] = true;
  r.figures.push_back(wrong_b);
  vxgen::FoundFigure nowhere{{{{200, 200}, {240, 200}, {240, 230}, {200, 230}}}, a.black, 0.2};
  r.figures.push_back(nowhere);
  const vxgen::PageScore s = vxgen::ScorePage({a, b}, r);
  EXPECT_EQ(s.present, 2);
  EXPECT_EQ(s.found, 1);
  EXPECT_EQ(s.misread, 1);
  EXPECT_EQ(s.false_figures, 2) << "the repeat and the one on no figure";
  const vxgen::Score page = vxgen::PageAsScore({a, b}, s);
  EXPECT_EQ(page.read, true) << "reported wrong, not merely missed";
  EXPECT_EQ(page.right, false);
  EXPECT_EQ(page.wrong, 12);
  const vxgen::Score missed = vxgen::PageAsScore({a, b}, {.present = 2, .found = 1});
  EXPECT_EQ(missed.read, false) << "a missed figure is a failure, not a wrong report";
}

// The library prints a line per region; keep them out of the test log.
class Quiet {
 public:
  Quiet() : saved_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    close(null_fd);
  }
  ~Quiet() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

struct Floor {
  const char* set;
  int count, minimum;  // pictures of seed 1, and how many must be read wholly right
};

class ReadRateFloor : public testing::TestWithParam<Floor> {};

// The first pictures of each set, read through the adapter: no fewer right
// than the floor (raise it as the reader improves), and none reported read
// while wrong.
TEST_P(ReadRateFloor, KeepsItsFloor) {
  const Floor& f = GetParam();
  const vxgen::ConditionSet* set = vxgen::FindConditionSet(f.set);
  ASSERT_NE(set, nullptr);
  vxgen::Tally tally;
  {
    Quiet quiet;  // only while reading: the test's own messages must show
    for (int k = 0; k < f.count; ++k) {
      const vxgen::TestPicture t = vxgen::Render(set->make(1, k));
      tally.Add(vxgen::ScoreReading(t.truth, vxgen::ReadTestPicture(t, false)));
    }
  }
  EXPECT_GE(tally.right, f.minimum) << vxgen::TallyRow(f.set, tally);
  EXPECT_EQ(tally.wrong_ok, 0) << vxgen::TallyRow(f.set, tally);
}

INSTANTIATE_TEST_SUITE_P(Sets, ReadRateFloor,
                         testing::Values(Floor{"random", 12, 12}, Floor{"sizes", 9, 9},
                                         Floor{"clean", 12, 12}, Floor{"tilt", 12, 12},
                                         Floor{"small-cells", 12, 12}, Floor{"blur", 12, 12},
                                         Floor{"noise", 12, 12}, Floor{"shadow", 12, 12},
                                         Floor{"lighting", 12, 12}, Floor{"contrast", 12, 12},
                                         Floor{"jpeg", 12, 12}, Floor{"clutter", 12, 12},
                                         Floor{"harsh", 12, 8}),
                         [](const testing::TestParamInfo<Floor>& info) {
                           std::string name = info.param.set;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
