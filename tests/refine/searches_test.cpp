// The edge-line searches: their angle schedules and window rules, the ranges
// of n they refuse, their logs, and end to end on a dashed edge whose true
// line is known.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "refine/search_rules.h"
#include "support/images.h"
#include "support/temp_cwd.h"
#include "vexolith.h"

namespace vxtest {
namespace {

namespace fs = std::filesystem;

constexpr F_LINE Line(int dir, double k, double b) { return F_LINE{3, dir, k, b}; }

// Every test runs in a fresh temporary directory, where the logs land.
class Searches : public InTempDir {
 protected:
  static std::vector<std::string> Log(const char* name) {
    std::vector<std::string> lines;
    std::ifstream in(name);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static double Value(const std::string& line) {
    std::string text = line;
    for (char& c : text)
      if (c == ',') c = '.';
    return std::stod(text);
  }
};

void ExpectSameLine(F_LINE got, F_LINE want, const char* what) {
  EXPECT_EQ(got.type, want.type) << what;
  EXPECT_EQ(got.dir, want.dir) << what;
  EXPECT_EQ(got.k, want.k) << what;
  EXPECT_EQ(got.b, want.b) << what;
}

// A dashed edge along row 45: dashes of 5 black pixels every 10 columns.
Image DashedRow() {
  Image image = Image::Gray(200, 100, 255);
  for (int x = 0; x < 200; ++x)
    if (x % 10 < 5) image.at(x, 45) = 0;
  return image;
}

// Slope, about x = 100, that is 0.04 rad off the dashed edge.
const F_LINE kTilted = MakeLineFromPolar(100, 45, 0.04);

TEST(SearchRules, TiesGoToTheLowestWindow) {
  const double tied[] = {4, 3, 3, 5};
  EXPECT_EQ(vx::LowestWindow(tied, 4), 1);
  const int black[] = {2, 7, 7, 1};
  EXPECT_EQ(vx::LargestWindow(black, 4), 1);
}

TEST(SearchRules, PeakMovesTheBestWindow) {
  struct Case {
    std::vector<double> window;
    int best, want;
  };
  const Case cases[] = {
      {{9, 5, 7, 6, 8}, 1, 2},     // rise 2, fall 1: toward the smaller step
      {{9, 5, 6, 4, 8}, 3, 3},     // window 2 is a peak, but rise 1 < fall 2
      {{9, 5, 6, 4, 8, 9}, 1, 3},  // ... from the other side it moves to j + 2
      {{5, 6, 7, 8, 9}, 0, 0},     // no peak
      {{1, 2, 3, 4, 9, 8}, 0, 0},  // the peak is 4 windows away
      {{1, 2, 2, 1, 1}, 0, 0},     // a flat top is no strict peak
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vx::PeakAdjusted(c.window.data(), static_cast<int>(c.window.size()), c.best), c.want)
        << testing::PrintToString(c.window);
  }
}

TEST(SearchRules, PlateauStopsOneShortOfItsEnd) {
  const double w[] = {9, 1.7, 1.5, 1, 1.79, 1.8, 1};
  EXPECT_EQ(vx::PlateauEnd(w, 7, 3, false), 3) << "1.8 is not below 1.8: stops after one";
  EXPECT_EQ(vx::PlateauEnd(w, 7, 3, true), 2) << "down over 1.5 and 1.7, stops at 9";
}

TEST_F(Searches, DispersionSchedulesAndLogs) {
  const Image white = Image::Gray(100, 100, 255);
  const F_LINE line = Line(1, 0.0, 10.0);

  // n = 2: five angles, one window; the result is the line moved through the
  // pivot by a turn of a(2) = 0.
  ExpectSameLine(AccuracyLine(white.img(), line, 20, 12, 0.2, 2, 30), TurnLine(line, 0.0, 20, 12), "n 2");
  EXPECT_EQ(Log("dd.log").size(), 5u);
  EXPECT_EQ(Log("dd1.log").size(), 1u);

  // Probes that miss the image score worst, never as a perfect 0.
  const F_LINE missed = AccuracyLine(white.img(), line, 500, 500, 0.3, 3, 10);
  ExpectSameLine(missed, TurnLine(line, 0.3 - 2 * 0.3 / 3, 500, 500), "all empty: window 0");
  for (const std::string& v : Log("dd.log")) EXPECT_EQ(v, "10000000,00000");

  // AccuracyLine1 on white: every probe is unreliable, all windows tie, and
  // the plateau walk goes up to 2n - 6 (no black at either end).
  const F_LINE up = AccuracyLine1(white.img(), line, 20, 12, 80, 12, 0.5, 5);
  ExpectSameLine(up, TurnLine(line, -0.5 * 1 / 5, 20, 12), "r = 2n - 6 = 4, angle a(6)");
  EXPECT_EQ(Log("dd.log"), std::vector<std::string>(5, "10000000,00000")) << "the first 2n - 5 scores";
  EXPECT_EQ(Log("dd1.log"), std::vector<std::string>(6, "50000000,00000")) << "2n - 4 windows";
  AccuracyLine1(white.img(), line, 20, 12, 80, 12, 0.5, 3);
  EXPECT_EQ(Log("dd1.log").size(), 2u) << "n 3: the window at 2n - 4 is not formed";
}

TEST_F(Searches, FindTheDashedEdge) {
  const Image image = DashedRow();
  // The rough line is 0.04 off: a(6) turns it back. The black search ends
  // one step past its best window's centre, at a(7) = 0.03.
  const F_LINE dispersion = AccuracyLine(image.img(), kTilted, 100, 45, 0.1, 10, 80);
  const F_LINE runs = AccuracyLine2(image.img(), kTilted, 20, 45, 180, 45, 0.1, 0.0, 10);
  const F_LINE black = AccuracyLineBlack(image.img(), kTilted, 20, 45, 180, 45, 0.1, 0.0, 10);
  EXPECT_NEAR(dispersion.k, 0.0, 1e-6);
  EXPECT_NEAR(dispersion.b, 45.0, 1e-4);
  EXPECT_NEAR(runs.k, 0.0, 1e-6);
  EXPECT_NEAR(black.k, std::tan(0.01), 1e-6);
  EXPECT_EQ(Log("black.log")[6], "81") << "sixteen dashes and the end pixel at the true angle";

  // The window log holds the sums of the score log, five at a time.
  AccuracyLine(image.img(), kTilted, 100, 45, 0.1, 10, 80);
  const std::vector<std::string> scores = Log("dd.log"), windows = Log("dd1.log");
  ASSERT_EQ(scores.size(), 21u);
  ASSERT_EQ(windows.size(), 17u);
  for (int j = 0; j < 17; ++j) {
    double sum = 0;
    for (int i = j; i < j + 5; ++i) sum += Value(scores[i]);
    EXPECT_NEAR(Value(windows[j]), sum, 5e-5) << j;
  }
}

TEST_F(Searches, RunCountSearch) {
  // Row 5 from the pivot x = 10: white 1, then black/white runs of 1, and
  // a last black run. Row 4 (the input line) is white.
  auto row = [](const char* art) {
    Image image = Image::Gray(30, 10, 255);
    for (int x = 0; art[x] != '\0'; ++x)
      if (art[x] == '#') image.at(9 + x, 5) = 0;
    return image;
  };
  const F_LINE line = Line(1, 0.0, 4.0);
  // Used runs (without the white first and the last) cover 6 = 0.6 * 10:
  // not enough, nothing is accepted, the line comes back unchanged.
  const Image exact = row(".#.#.#.#####");
  ExpectSameLine(AccuracyLine2(exact.img(), line, 10, 5, 20, 5, 0.0, 0.0, 1), line, "cover 0.6 L");
  // Cover 7 is accepted at i = 0, which with n < 3 ends the sweep.
  const Image more = row(".#.#.#..####");
  EXPECT_EQ(AccuracyLine2(more.img(), line, 10, 5, 20, 5, 0.0, 0.0, 1).b, 5.0);

  // Stripes two pixels wide give every angle the same regular runs, so the
  // stage rule alone decides: with n < 3 the first accepted angle wins;
  // with n = 9 the next one replaces it and the sweep stops.
  Image stripes = Image::Gray(200, 100, 255);
  for (int y = 0; y < 100; ++y)
    for (int x = 19; x < 200; ++x)
      if ((x - 19) % 4 < 2) stripes.at(x, y) = 0;
  const F_LINE flat = Line(1, 0.0, 50.0);
  ExpectSameLine(AccuracyLine2(stripes.img(), flat, 20, 50, 180, 50, 0.2, 0.0, 2),
                 TurnLine(flat, 0.2, 20, 50), "n 2: a(0)");
  ExpectSameLine(AccuracyLine2(stripes.img(), flat, 20, 50, 180, 50, 0.2, 0.0, 9),
                 TurnLine(flat, 0.2 - 0.2 * 1 / 9, 20, 50), "n 9: a(1)");
}

TEST_F(Searches, BlackLengthSearch) {
  const Image white = Image::Gray(60, 60, 255);
  const F_LINE line = Line(1, 0.0, 10.0);
  // n = 2: one window, r = 3, the line turned by a(3) = -maxAngle / 2.
  ExpectSameLine(AccuracyLineBlack(white.img(), line, 5, 10, 50, 10, 0.4, 0.0, 2),
                 TurnLine(line, -0.2, 5, 10), "n 2");
  EXPECT_EQ(Log("black.log"), std::vector<std::string>(5, "0"));
  EXPECT_EQ(Log("black1.log"), std::vector<std::string>(1, "0"));
}

TEST_F(Searches, OutOfRangeNLeavesLineTableAndLogsAlone) {
  Image image = DashedRow();
  const F_LINE line = kTilted;
  ReturnDifference(image.img(), 0, 45, 12, 45, Line(1, 0.0, 45.0), 0);
  const int before = ReturnNumArray(1);
  struct Case {
    const char* what;
    F_LINE got;
  };
  const Case cases[] = {
      {"dispersion n 1", AccuracyLine(image.img(), line, 100, 45, 0.1, 1, 50)},
      {"dispersion n 101", AccuracyLine(image.img(), line, 100, 45, 0.1, 101, 50)},
      {"plateau n 2", AccuracyLine1(image.img(), line, 20, 45, 180, 45, 0.1, 2)},
      {"plateau n 101", AccuracyLine1(image.img(), line, 20, 45, 180, 45, 0.1, 101)},
      {"run count n 0", AccuracyLine2(image.img(), line, 20, 45, 180, 45, 0.1, 0.0, 0)},
      {"black n 1", AccuracyLineBlack(image.img(), line, 20, 45, 180, 45, 0.1, 0.0, 1)},
      {"black n -3", AccuracyLineBlack(image.img(), line, 20, 45, 180, 45, 0.1, 0.0, -3)},
      {"no equation", AccuracyLine2(image.img(), Line(0, 0.0, 45.0), 20, 45, 180, 45, 0.1, 0.0, 5)},
  };
  for (const Case& c : cases) {
    if (c.got.dir != 0) ExpectSameLine(c.got, line, c.what);
  }
  ExpectSameLine(cases[7].got, Line(0, 0.0, 45.0), "no equation");
  EXPECT_EQ(ReturnNumArray(1), before) << "nothing probed";
  EXPECT_FALSE(fs::exists("dd.log"));
  EXPECT_FALSE(fs::exists("black.log"));
}

TEST_F(Searches, UnwritableLogsChangeNothing) {
  const Image image = DashedRow();
  const F_LINE logged = AccuracyLine(image.img(), kTilted, 100, 45, 0.1, 10, 80);
  const F_LINE black = AccuracyLineBlack(image.img(), kTilted, 20, 45, 180, 45, 0.1, 0.0, 10);
  for (const char* name : {"dd.log", "dd1.log", "black.log", "black1.log"}) {
    fs::remove(name);
    fs::create_directory(name);  // a directory cannot be opened for writing
  }
  ExpectSameLine(AccuracyLine(image.img(), kTilted, 100, 45, 0.1, 10, 80), logged, "dispersion");
  ExpectSameLine(AccuracyLineBlack(image.img(), kTilted, 20, 45, 180, 45, 0.1, 0.0, 10), black, "black");
}

}  // namespace
}  // namespace vxtest
