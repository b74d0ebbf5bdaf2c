// A shadow's edge with a penumbra tens of pixels wide is found on the
// coarser plane and the light across it divided out, ink kept as ink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "reader/soft_shadow.h"

namespace vx::reader {
namespace {

// A 480 x 360 page: paper 230, a block of ink 130 (lighter than the shaded
// paper) from (240, 90) to (340, 270), and where `shaded`, the light falling
// by 0.45 beyond the line x = 200 over a smooth ramp 60 pixels wide.
Plane Page(bool shaded) {
  Plane p(480, 360);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const bool ink = x >= 240 && x < 340 && y >= 90 && y < 270;
      const double t = std::clamp((x - 200.0) / 60.0 + 0.5, 0.0, 1.0);
      const double light = shaded ? 1.0 - 0.45 * t * t * (3.0 - 2.0 * t) : 1.0;
      p.Row(y)[x] = static_cast<std::uint8_t>(std::lround((ink ? 130.0 : 230.0) * light));
    }
  return p;
}

TEST(SoftShadow, FoundAndItsLightDividedOut) {
  const Plane page = Page(true);
  SoftShadow shadow;
  ASSERT_TRUE(FindSoftShadow(page, shadow));
  // The line x = 200, its normal pointing to the lit side (-x), to the
  // coarse plane's pixel (10 here) and degree.
  EXPECT_NEAR(shadow.edge.nx, -1.0, 0.001);
  EXPECT_NEAR(std::fabs(shadow.edge.ny), 0.0, 0.03);
  EXPECT_NEAR(-shadow.edge.rho, 200.0, 10.0);
  const Plane lifted = LiftSoftShadow(page, shadow);
  // Paper reads as lit paper on both sides and across the ramp; the block
  // of ink, lighter than the shaded paper before, is as dark as lit ink.
  for (int x : {20, 180, 200, 220, 400}) EXPECT_NEAR(lifted.Row(40)[x], 230, 6) << "paper at x " << x;
  for (int x : {250, 330}) EXPECT_NEAR(lifted.Row(180)[x], 130, 6) << "ink at x " << x;
}

TEST(SoftShadow, NoneOnEvenLightOrASmallPlane) {
  SoftShadow shadow;
  EXPECT_FALSE(FindSoftShadow(Page(false), shadow)) << "the block's sides stop at its corners";
  EXPECT_FALSE(FindSoftShadow(Plane(80, 60, 200), shadow)) << "no coarser plane to look on";
}

}  // namespace
}  // namespace vx::reader
