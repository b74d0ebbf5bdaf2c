// Refinement of a figure read: whatever a search does, the figure either
// keeps its reading untouched (with a reason) or takes refined corners near
// the first ones whose cells still read right.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/random_params.h"
#include "tools/test_picture.h"
#include "vexolith/refine_reading.h"

namespace {

using vexolith::EdgeRefine;

TEST(RefineFigure, KeepsTheReadingOrRefinesItWithinTheChecks) {
  const EdgeRefine ways[] = {EdgeRefine::kContour, EdgeRefine::kImage, EdgeRefine::kDispersion,
                             EdgeRefine::kDispersionFromCorner, EdgeRefine::kBlack};
  int refined = 0, kept = 0;
  for (int k = 0; k < 4; ++k) {
    vxgen::FigureParams params = vxgen::RandomParams(11, k);
    params.size = 200;
    params.blur = 0.8;
    params.noise = 6;
    const vxgen::TestPicture t = vxgen::Render(params);
    const IMG picture{const_cast<unsigned char*>(t.picture.bgr.data()),
                      t.picture.width,
                      t.picture.width * 3,
                      t.picture.height,
                      1,
                      0};
    vexolith::ReaderOptions options;
    options.rows = t.truth.rows;
    options.cols = t.truth.cols;
    const vexolith::ReadResult first = vexolith::Read(picture, true, options);
    ASSERT_TRUE(first.ok) << k << ": " << first.fault;
    const vexolith::FigureReading& before = first.figures[0];
    const double cell =
        std::hypot(before.corners[1].x - before.corners[0].x, before.corners[1].y - before.corners[0].y) /
        before.cols;
    for (EdgeRefine how : ways) {
      SCOPED_TRACE(testing::Message() << "picture " << k << " way " << static_cast<int>(how));
      vexolith::FigureReading figure = before;
      vexolith::RefineOptions o;
      o.how = how;
      testing::internal::CaptureStdout();
      const vexolith::RefineOutcome out = vexolith::RefineFigure(picture, true, figure, o);
      EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the host's standard output was written to";
      EXPECT_EQ(std::vector<bool>(figure.black.begin(), figure.black.end()), t.truth.black);
      if (!out.refined) {
        ++kept;
        EXPECT_FALSE(out.kept_because.empty());
        for (int c = 0; c < 4; ++c) EXPECT_EQ(figure.corners[c].x, before.corners[c].x) << "corner " << c;
        EXPECT_EQ(figure.confidence, before.confidence);
        continue;
      }
      ++refined;
      for (int c = 0; c < 4; ++c)
        EXPECT_LE(
            std::hypot(figure.corners[c].x - before.corners[c].x, figure.corners[c].y - before.corners[c].y),
            cell / 3 + 1e-9)
            << "corner " << c;
    }
  }
  EXPECT_GT(refined, 0) << "no figure took refined corners";
  EXPECT_GT(kept, 0) << "no figure kept its reading";
  vexolith::FigureReading nothing;
  EXPECT_FALSE(vexolith::RefineFigure(IMG{}, true, nothing, {}).refined) << "no picture";
}

}  // namespace
