// An outlined box whose frame reads two cells thick: its inner black cells
// are whole lines along the ring and nothing else, which no figure's
// pattern of six cells a side or more is taken for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/cell_checks.h"

namespace vx::reader {
namespace {

// Verdicts from rows of '#' (black) and '.' (white).
std::vector<unsigned char> Cells(const std::vector<std::string>& rows) {
  std::vector<unsigned char> black;
  for (const std::string& r : rows)
    for (char c : r) black.push_back(c == '#');
  return black;
}

bool Frame(const std::vector<std::string>& rows) {
  return InnerFrameOnly(Cells(rows), static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
}

TEST(InnerFrame, ThickFramesAreToldFromPatterns) {
  // Two rows thick at the top and bottom, one column at the sides.
  EXPECT_TRUE(Frame({"######", "######", "#....#", "#....#", "######", "######"}));
  // Two cells thick all round.
  EXPECT_TRUE(Frame({"#######", "#######", "##...##", "##...##", "##...##", "#######", "#######"}));
  // One whole line along the ring is no frame.
  EXPECT_FALSE(Frame({"######", "######", "#....#", "#....#", "#....#", "######"}));
  // A frame with a cell marked inside is a pattern.
  EXPECT_FALSE(Frame({"######", "######", "#..#.#", "#....#", "######", "######"}));
  // Nothing black inside: the white figure is judged elsewhere.
  EXPECT_FALSE(Frame({"######", "#....#", "#....#", "#....#", "#....#", "######"}));
  // Under 6 cells a side every inner cell but the middle lies on a line
  // along the ring: such small figures are not judged so.
  EXPECT_FALSE(Frame({"#####", "#####", "#...#", "#####", "#####"}));
}

}  // namespace
}  // namespace vx::reader
