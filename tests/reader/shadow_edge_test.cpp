// A straight shadow's edge across the page is found and lifted out; a dark
// figure's sides, which stop at its corners, are not taken for one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "reader/binarize.h"
#include "reader/shadow_edge.h"

namespace vx::reader {
namespace {

// A 300 x 200 page: paper 220, a block of ink 110 (as light as the shaded
// paper) from (150, 40) to (250, 160), and where `shaded`, the light 0.5
// beyond the line x + 0.3 y = 200 (its pixels shaded in part, as a camera
// sees them).
Plane Page(bool shaded) {
  Plane p(300, 200);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const bool ink = x >= 150 && x < 250 && y >= 40 && y < 160;
      const double share = std::clamp((x + 0.3 * y - 200.0) / 1.5 + 0.5, 0.0, 1.0);
      const double light = shaded ? 1.0 - 0.5 * share : 1.0;
      p.Row(y)[x] = static_cast<std::uint8_t>(std::lround((ink ? 110.0 : 220.0) * light));
    }
  return p;
}

TEST(ShadowEdge, FoundAcrossAnInkBlockAndLiftedOut) {
  const Plane page = Page(true);
  ShadowEdge edge;
  ASSERT_TRUE(FindShadowEdge(page, edge));
  // The line x + 0.3 y = 200, its normal pointing to the lit side (-x).
  const double len = std::hypot(1.0, 0.3);
  EXPECT_NEAR(edge.nx, -1.0 / len, 0.01);
  EXPECT_NEAR(edge.ny, -0.3 / len, 0.01);
  EXPECT_NEAR(edge.rho, -200.0 / len, 1.0);
  EXPECT_NEAR(edge.depth, std::log(221.0 / 111.0), 0.03);
  // Lifted, the shaded paper and ink read as lit ones, away from the edge.
  const Plane lifted = LiftShadow(page, edge, 3.0);
  EXPECT_NEAR(lifted.Row(20)[280], 220, 4) << "shaded paper";
  EXPECT_NEAR(lifted.Row(100)[240], 110, 3) << "shaded ink";
  EXPECT_EQ(lifted.Row(100)[160], 110) << "lit ink";
  EXPECT_EQ(lifted.Row(20)[20], 220) << "lit paper";
  EXPECT_NEAR(lifted.Row(20)[194], 220, 4) << "paper on the edge: no dark seam along it";
  EXPECT_NEAR(lifted.Row(100)[170], 110, 4) << "ink on the edge";
}

TEST(ShadowEdge, NoneOnEvenLightOrATinyPlane) {
  ShadowEdge edge;
  EXPECT_FALSE(FindShadowEdge(Page(false), edge)) << "the block's sides stop at its corners";
  EXPECT_FALSE(FindShadowEdge(Plane(20, 20, 200), edge));
  EXPECT_FALSE(FindShadowEdge(Plane(300, 200, 200), edge)) << "blank";
}

}  // namespace
}  // namespace vx::reader
