// A straight shadow's edge seen on the reduced plane is taken out of the
// picture at full size: its full step measured past a soft ramp, its line
// carried to the picture's pixels, and the light across it divided out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "reader/lifted_look.h"
#include "reader/shadow_edge.h"

namespace vx::reader {
namespace {

// A 600 x 400 page: paper 230, a block of ink 120 (lighter than the shaded
// paper) from (300, 120) to (420, 280), and beyond the line x = 360 the
// light falling by `depth` over a smooth ramp `soft` pixels wide.
Plane Page(double depth, double soft) {
  Plane p(600, 400);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const bool ink = x >= 300 && x < 420 && y >= 120 && y < 280;
      const double t = std::clamp((x - 360.0) / std::max(1.0, soft) + 0.5, 0.0, 1.0);
      const double light = 1.0 - depth * t * t * (3.0 - 2.0 * t);
      p.Row(y)[x] = static_cast<std::uint8_t>(std::lround((ink ? 120.0 : 230.0) * light));
    }
  return p;
}

TEST(ShadowEdge, FullStepMeasuredPastASoftRamp) {
  ShadowEdge edge;
  ASSERT_TRUE(FindShadowEdge(Page(0.4, 24.0), edge));
  const double step = std::log(231.0 / 139.0);
  // At 8 pixels either side the ramp, 12 pixels each way, is not yet past.
  EXPECT_LT(edge.depth, step - 0.05);
  EXPECT_NEAR(edge.full, step, 0.02);
  EXPECT_GE(edge.ramp, 12.0);
  ASSERT_TRUE(FindShadowEdge(Page(0.4, 0.0), edge));
  EXPECT_NEAR(edge.full, edge.depth, 0.01) << "a sharp edge is past its blur at 8 pixels";
  EXPECT_EQ(edge.ramp, 8.0);
}

TEST(ShadowEdge, ScaledUpToThePicturesPixels) {
  // The line x = 100.25 on a plane reduced 4 fold is x = 4 (100.25 + 0.5) - 0.5 = 402.5.
  const ShadowEdge edge{-1.0, 0.0, -100.25, 0.3, 0.3, 8.0};
  const ShadowEdge up = ScaledUp(edge, 4);
  EXPECT_DOUBLE_EQ(up.rho, -402.5);
  EXPECT_DOUBLE_EQ(up.nx, -1.0);
  EXPECT_DOUBLE_EQ(up.ramp, 32.0);
  EXPECT_DOUBLE_EQ(up.depth, 0.3);
}

// The page as a host's gray record, top line first.
struct Record {
  Plane page;
  IMG img;
  explicit Record(Plane p)
      : page(std::move(p)), img{page.px.data(), page.width, page.width, page.height, 1, 1} {}
};

TEST(LiftedPicture, ShadowTakenOutAtFullSize) {
  for (double soft : {0.0, 16.0, 120.0}) {
    const Record record(Page(0.45, soft));
    const Plane lifted = LiftedPicture(PictureView(record.img, true), 2);
    ASSERT_EQ(lifted.width, 600) << "soft " << soft;
    ASSERT_EQ(lifted.height, 400);
    // Shaded paper and ink read as lit ones away from the edge.
    EXPECT_NEAR(lifted.Row(50)[550], 230, 8) << "shaded paper, soft " << soft;
    for (int x : {330, 360, 390})
      EXPECT_NEAR(lifted.Row(50)[x], 230, 10) << "paper by the edge at x " << x << ", soft " << soft;
    EXPECT_NEAR(lifted.Row(200)[400], 120, 6) << "shaded ink, soft " << soft;
    EXPECT_EQ(lifted.Row(200)[310], 120) << "lit ink, soft " << soft;
    EXPECT_EQ(lifted.Row(50)[50], 230) << "lit paper, soft " << soft;
  }
}

TEST(LiftedPicture, NoneWithoutAShadowsEdge) {
  const Record record(Page(0.0, 0.0));
  EXPECT_EQ(LiftedPicture(PictureView(record.img, true), 1).width, 0);
}

}  // namespace
}  // namespace vx::reader
