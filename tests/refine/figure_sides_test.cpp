// Side refinement for the reader: the searches leave no logs behind and the
// current directory as it was, copy logs on request, serialise concurrent
// callers, and refuse what they cannot refine without touching the corners.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "refine/figure_sides.h"
#include "support/images.h"
#include "support/temp_cwd.h"
#include "vexolith.h"

namespace vxtest {
namespace {

namespace fs = std::filesystem;

// A dark ring 8 pixels wide on the square (20, 20)-(119, 119), white inside
// and around, with a cross of thin lines inside like a grid's.
Image Figure() {
  Image image = Image::Gray(140, 140, 255);
  for (int y = 20; y < 120; ++y)
    for (int x = 20; x < 120; ++x)
      if (x < 28 || x >= 112 || y < 28 || y >= 112 || x == 70 || y == 70) image.at(x, y) = 0;
  return image;
}

// The square's corners on its outer edge, a little off.
FOUR_FIG_Pd Rough() { return FOUR_FIG_Pd{{19.5, 19.5}, {119.5, 119.5}, {119.0, 19.5}, {19.5, 120.5}}; }

using FigureSides = InTempDir;

TEST_F(FigureSides, LogsStayPrivateUnlessAskedFor) {
  const Image image = Figure();
  FOUR_FIG_Pd corners = Rough();
  vx::SideRefineOptions options;
  options.search = vx::SideSearch::kDispersion;
  options.inset = 1.5;
  EXPECT_EQ(vx::RefineFigureSides(image.img(), corners, options).sides, 4);
  EXPECT_EQ(fs::current_path(), dir_) << "back where it was";
  EXPECT_TRUE(Listing(dir_).empty()) << "no log in the caller's directory";
  EXPECT_NE(corners.p3.x, Rough().p3.x) << "the corners were recomputed";

  options.logs_prefix = "logs/a-";  // relative to the caller's directory
  fs::create_directory(dir_ / "logs");
  corners = Rough();
  EXPECT_TRUE(vx::RefineFigureSides(image.img(), corners, options).logs_kept);
  const std::set<std::string> logs = Listing(dir_ / "logs");
  EXPECT_EQ(logs.size(), 8u);
  EXPECT_EQ(logs.count("a-top-dd.log"), 1u);
  EXPECT_EQ(logs.count("a-left-dd1.log"), 1u);

  options.logs_prefix = "missing/a-";
  corners = Rough();
  EXPECT_FALSE(vx::RefineFigureSides(image.img(), corners, options).logs_kept) << "no such directory";
  EXPECT_EQ(Listing(dir_), (std::set<std::string>{"logs"}));
}

TEST_F(FigureSides, RefinedCornersStayNearTheSquare) {
  const Image image = Figure();
  const FOUR_FIG_Pd truth{{19.5, 19.5}, {119.5, 119.5}, {119.5, 19.5}, {19.5, 119.5}};
  struct Case {
    vx::SideSearch search;
    double inset;
  };
  const Case cases[] = {{vx::SideSearch::kDispersion, 1.5}, {vx::SideSearch::kBlack, 1.5}, {{}, -1.0}};
  for (const Case& c : cases) {
    FOUR_FIG_Pd corners = Rough();
    vx::SideRefineOptions options;
    if (c.inset > 0) options.search = c.search;  // the last case: the defaults
    options.inset = c.inset;
    vx::RefineFigureSides(image.img(), corners, options);
    const C_POINTd got[4] = {corners.p1, corners.p2, corners.p3, corners.p4};
    const C_POINTd want[4] = {truth.p1, truth.p2, truth.p3, truth.p4};
    for (int k = 0; k < 4; ++k) {
      EXPECT_LT(LengthLine(got[k].x, got[k].y, want[k].x, want[k].y), 3.0)
          << "search " << static_cast<int>(options.search) << " corner " << k;
    }
  }
}

TEST_F(FigureSides, ConcurrentCallersGetTheSerialResult) {
  const Image image = Figure();
  vx::SideRefineOptions options;
  options.search = vx::SideSearch::kBlack;
  FOUR_FIG_Pd serial = Rough();
  vx::RefineFigureSides(image.img(), serial, options);
  std::vector<FOUR_FIG_Pd> results(4, Rough());
  std::vector<std::thread> threads;
  for (FOUR_FIG_Pd& r : results)
    threads.emplace_back([&] {
      for (int i = 0; i < 3; ++i) {
        r = Rough();
        vx::RefineFigureSides(image.img(), r, options);
      }
    });
  for (std::thread& t : threads) t.join();
  for (const FOUR_FIG_Pd& r : results) {
    EXPECT_EQ(r.p3.x, serial.p3.x);
    EXPECT_EQ(r.p4.y, serial.p4.y);
  }
  EXPECT_TRUE(Listing(dir_).empty());
}

TEST_F(FigureSides, RefusalsLeaveCornersAlone) {
  const Image image = Figure();
  vx::SideRefineOptions contour;
  contour.search = vx::SideSearch::kContour;
  FOUR_FIG_Pd corners = Rough();
  EXPECT_EQ(vx::RefineFigureSides(Image::Color(140, 140).img(), corners, {}).sides, 0) << "24-bit image";
  EXPECT_EQ(vx::RefineFigureSides(image.img(), corners, contour).sides, 0) << "contour fit without a store";
  EXPECT_EQ(corners.p3.x, Rough().p3.x);
  FOUR_FIG_Pd degenerate{{10, 10}, {50, 50}, {10, 10}, {10, 50}};
  EXPECT_EQ(vx::RefineFigureSides(image.img(), degenerate, {}).sides, 0) << "two equal corners";
  EXPECT_EQ(degenerate.p3.x, 10.0);
}

}  // namespace
}  // namespace vxtest
