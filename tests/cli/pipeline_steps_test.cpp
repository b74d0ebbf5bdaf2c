#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cli/pipeline.h"
#include "cli/pipeline_figure.h"
#include "cli/pipeline_image.h"
#include "cli/pipeline_marked.h"
#include "cli/pipeline_perspective.h"
#include "tests/cli/run_command.h"
#include "tools/sample_params.h"

namespace {

using vxcli::Pt;

TEST(PipelineSteps, PerspectiveGridRowsCrowdTowardTheFarSide) {
  // Unit square corners go to the figure's, its centre to the diagonals' crossing.
  const std::array<Pt, 4> c{{{0, 0}, {10, 0}, {12, 8}, {0, 10}}};
  const double cases[][4] = {{0, 0, 0, 0}, {1, 0, 10, 0}, {1, 1, 12, 8}, {0, 1, 0, 10}, {.5, .5, 6, 4}};
  for (const auto& t : cases) {
    EXPECT_NEAR(vxcli::FigurePoint(c, t[0], t[1]).x, t[2], 1e-9);
    EXPECT_NEAR(vxcli::FigurePoint(c, t[0], t[1]).y, t[3], 1e-9);
  }
  // Seen steeply from below (top side 0.6 of the bottom): each row line meets
  // the left side within 1.5 pixels of the map's point, the first above 22.
  const std::array<Pt, 4> seen{{{40, 0}, {160, 0}, {200, 150}, {0, 150}}};
  GRID grid(6, 6);
  vxcli::CreatePerspectiveGrid(grid, seen);
  for (int i = 0; i < 5; ++i) {
    double x = 0, y = 0;
    ASSERT_EQ(Intersection(grid.GetLine(i), grid.sides[0], &x, &y), 0);
    EXPECT_NEAR(y, vxcli::FigurePoint(seen, 0, (i + 1) / 6.0).y, 1.5) << i;
    EXPECT_TRUE(i > 0 || y < 22.0) << y;  // equal division puts the first at 25
  }
}

// A dark ring-bordered square beside a larger dark disc that has no quadrilateral outline.
TEST(PipelineSteps, FigureIsTheQuadrilateralNotTheLargestBlob) {
  vxcli::GrayImage g(200, 120);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool ring = x >= 20 && x < 70 && y >= 30 && y < 80 && !(x >= 30 && x < 60 && y >= 40 && y < 70);
      g.row(y)[x] = ring || std::hypot(x - 140.0, y - 60.0) < 45.0 ? 0 : 255;
    }
  }
  const vxcli::Figure f = vxcli::FindFigure(g.img());
  ASSERT_TRUE(f.found) << f.fault;
  EXPECT_EQ(f.candidates, 2);
  double minx = 1e9, maxx = -1e9;
  for (const Pt& p : f.outline) minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
  EXPECT_TRUE(std::abs(minx - 20) <= 1 && std::abs(maxx - 69) <= 1) << minx << " " << maxx;
  EXPECT_FALSE(vxcli::FindFigure(vxcli::GrayImage(50, 50).img()).found);
}

// In-process: colour and gray give the truth, pixels stay untouched, gray is marked in colour.
TEST(PipelineRead, ColourAndGrayGiveTheTruthAndLeaveThePixels) {
  const vxgen::Truth truth = vxgen::Render(vxgen::SampleParams()).truth;
  IMG colour = OpenDF(VEXOLITH_SAMPLE_PICTURE);
  ASSERT_TRUE(colour.valid);
  UpDownImage(colour);  // files arrive bottom line first
  IMG gray = Img24To8(colour);
  ASSERT_TRUE(gray.valid && gray.gray);
  const std::string marked = vxclitest::TestDir() + "/gray-marked.bmp";
  for (const IMG& picture : {colour, gray}) {
    SCOPED_TRACE(picture.gray ? "gray" : "colour");
    const std::vector<unsigned char> before(picture.bits, picture.bits + picture.stride * picture.height);
    vxcli::ReadOptions options;
    if (picture.gray) options.marked = marked;
    const vxcli::ReadResult r = vxcli::ReadPicture(picture, options);
    ASSERT_TRUE(r.ok) << r.fault;
    EXPECT_EQ(r.black, truth.black);
    EXPECT_EQ(r.black_count, std::count(truth.black.begin(), truth.black.end(), true));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), picture.bits));
  }
  IMG m = OpenDF(marked.c_str());
  EXPECT_TRUE(m.valid && !m.gray && m.width == colour.width);
  DeleteImg(m);
  DeleteImg(gray);
  DeleteImg(colour);
}

}  // namespace
