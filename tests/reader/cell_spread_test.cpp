// How many inner cells a reading may have on the wrong side of its split,
// going by the spread of its own cells' values.
#include <gtest/gtest.h>

#include <vector>

#include "reader/cell_checks.h"

namespace vx::reader {
namespace {

// A 6 x 6 figure: the ring black (1.0), the 16 inner cells alternating
// white and black, each colour's values `white` and `black` in turn.
struct Cells {
  std::vector<double> values;
  std::vector<unsigned char> black;
};

Cells Figure(const std::vector<double>& white, const std::vector<double>& black) {
  Cells c{std::vector<double>(36, 1.0), std::vector<unsigned char>(36, 1)};
  std::size_t w = 0, b = 0;
  for (int i = 1; i < 5; ++i)
    for (int j = 1; j < 5; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * 6 + j;
      const bool is_black = (i + j) % 2 == 1;
      c.black[k] = is_black;
      c.values[k] = is_black ? black[b++ % black.size()] : white[w++ % white.size()];
    }
  return c;
}

TEST(CellSpread, CellsSplitWellApartExpectNoneWrong) {
  const Cells c = Figure({-0.03, 0.02, 0.0, 0.04}, {0.97, 1.02, 1.0, 0.95});
  EXPECT_LT(ExpectedWrongCells(c.values, c.black, 6, 6), 1e-6);
}

TEST(CellSpread, ValuesScatteredAsWidelyAsTheirMarginsExpectCellsWrong) {
  // Every cell at least 0.15 from a threshold of 0.45, as a reading's
  // margins allow, but each colour scattered over a range of a unit and more.
  const Cells c =
      Figure({-0.9, 0.3, -0.4, 0.28, 0.1, -1.3, 0.2, -0.6}, {0.6, 1.5, 0.62, 1.2, 0.9, 1.6, 0.65, 0.7});
  EXPECT_GT(ExpectedWrongCells(c.values, c.black, 6, 6), 0.5);
}

TEST(CellSpread, AColourWithOneInnerCellGivesNoSpreadToGoBy) {
  // Every inner cell white (0.0 or 0.3) but one black at 0.35.
  Cells c = Figure({0.0, 0.3}, {0.0, 0.3});
  for (unsigned char& b : c.black) b = 0;
  c.black[7] = 1, c.values[7] = 0.35;
  EXPECT_EQ(ExpectedWrongCells(c.values, c.black, 6, 6), 0.0);
}

}  // namespace
}  // namespace vx::reader
