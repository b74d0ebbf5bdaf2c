// Regions of the 20 x 20 cell grid, drawn as cell maps: '#' a dense cell
// (11 border pixels), '=' exactly 10 (not dense), '+' 3 (non-empty), '.' 0.
// Rows and columns left out of a map are empty.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect/code_regions.h"
#include "support/images.h"

namespace {

vx::CodeCells CellsFromMap(const std::vector<std::string>& map) {
  vx::CodeCells cells{};
  for (size_t r = 0; r < map.size(); ++r)
    for (size_t c = 0; c < map[r].size(); ++c)
      cells[r * vx::kCodeGrid + c] = map[r][c] == '#' ? 11 : map[r][c] == '=' ? 10 : map[r][c] == '+' ? 3 : 0;
  return cells;
}

struct Case {
  const char* name;
  int cell_width, cell_height;
  std::vector<std::string> map;
  std::vector<RECT> expected;
};

}  // namespace

TEST(CodeRegions, FillWidenBoxAndAspect) {
  const Case cases[] = {
      {"empty grid", 10, 10, {}, {}},
      {"10 border pixels are not dense", 10, 10, {"....", ".=.."}, {}},
      {"11 are", 10, 10, {"....", ".#.."}, {{10, 10, 20, 20}}},
      {"the fill runs every way through dense cells", 10, 10, {"#.#", "#.#", "###"}, {{0, 0, 30, 30}}},
      {"a column of empty cells parts two regions",
       10,
       10,
       {"##.##", "##.##"},
       {{0, 0, 20, 20}, {30, 0, 50, 20}}},
      // The sparse cell right of the first area is taken and visited later
      // in the same pass, so it carries the label on into the second area.
      {"a sparse link leading right joins the next area",
       10,
       10,
       {"", "", "..##+##", "..##.##", "..##.##"},
       {{20, 20, 70, 50}}},
      {"a sparse link leading down joins the next area",
       10,
       10,
       {"", "..###", "..###", "...+.", "..###", "..###"},
       {{20, 10, 50, 60}}},
      // The link lies left of the first area: it is taken but never visited,
      // and the second area makes a region of its own.
      {"a sparse link leading left does not",
       10,
       10,
       {"", "", ".....##", "..##+##", "..##.##", "..##..."},
       {{40, 20, 70, 50}, {20, 30, 40, 60}}},
      // Up and left the widening stops after one cell, right and down it runs on.
      {"sparse chains widen one way only",
       10,
       10,
       {"", "", "", ".....+", ".....+", "...++#++", ".....+", ".....+"},
       {{40, 40, 80, 80}}},
      {"three cells by one fail the aspect test", 10, 10, {"###"}, {}},
      {"two by one fail (20 > 18)", 10, 10, {"##"}, {}},
      {"a cell of 14 x 10 passes", 14, 10, {"#"}, {{0, 0, 14, 10}}},
      {"a cell of 20 x 10 fails", 20, 10, {"#"}, {}},
      {"a cell of 0 x 0 passes", 0, 0, {"", ".#"}, {{0, 0, 0, 0}}},
      {"a cell of 0 x 5 fails", 0, 5, {"#"}, {}},
      {"failing regions leave no gap", 10, 10, {"###.#"}, {{40, 0, 50, 10}}},
  };
  for (const Case& c : cases) {
    vx::CodeCells cells = CellsFromMap(c.map);
    std::vector<RECT> rects(vx::kMaxCodeRegions);
    rects.resize(vx::CodeRegions(cells, c.cell_width, c.cell_height, rects.data()));
    EXPECT_EQ(vxtest::Corners(rects), vxtest::Corners(c.expected)) << c.name;
  }
}

// A checkerboard of dense cells: 200 regions, every one returned.
TEST(CodeRegions, CheckerboardFillsTheCallersArray) {
  vx::CodeCells cells{};
  for (int k = 0; k < vx::kCodeCells; ++k) cells[k] = (k % 20 + k / 20) % 2 ? 0 : 50;
  std::vector<RECT> rects(vx::kMaxCodeRegions);
  EXPECT_EQ(vx::CodeRegions(cells, 10, 10, rects.data()), 200);
  EXPECT_EQ(rects[199].left, 190);
  EXPECT_EQ(rects[199].top, 190);
}
