// Scoring a reading against a test picture's expected answer, and the
// read-rate table of many such readings.
#pragma once

#include <string>
#include <vector>

#include "tools/read_adapter.h"
#include "tools/test_picture.h"

namespace vxgen {

// The picture as the reader takes it: top-down 24-bit rows, each padded to
// a multiple of 4 bytes. `storage` holds a padded copy when the rows need one.
IMG PictureImg(const Picture& picture, std::vector<std::uint8_t>& storage);

// Reads a generated picture through ReadForEval at its first figure's size as seen.
Reading ReadTestPicture(const TestPicture& t, bool all);

// How far a read corner may lie from the true one and still count as right:
// a quarter of the smaller cell side met at that corner, and at least one
// pixel (anti-aliasing and blur blur a corner over about a pixel).
double CornerTolerance(const Truth& truth, int corner);

// How one reading of a one-figure picture compares with the truth.
struct Score {
  bool read = false;         // the reader reported a figure
  bool right = false;        // every verdict right and every corner within tolerance
  int cells = 0;             // cells expected
  int wrong = 0;             // cells read wrongly (every cell when not read or read at another size)
  bool turned = false;       // wrong as read, but right under another quarter turn of the grid
  double corner_error = 0;   // largest distance of a read corner from the true one, pixels
  bool corners_off = false;  // some corner beyond its tolerance
};

// Compares the reading's first (most confident) figure with the truth.
Score ScoreReading(const Truth& truth, const Reading& reading);

// How a reading of every figure on a page compares with the figures there.
struct PageScore {
  int present = 0;        // figures on the page
  int found = 0;          // of them, read wholly right by some reported figure
  int false_figures = 0;  // reported figures whose centre lies inside no figure on the page
};

PageScore ScorePage(const std::vector<Truth>& figures, const Reading& reading);

// One line of the read-rate table, per group of pictures.
struct Tally {
  int pictures = 0;  // pictures in the group
  int right = 0;     // pictures read wholly right
  int wrong_ok = 0;  // pictures reported read but not wholly right: the worst outcome
  int failed = 0;    // pictures the reader gave up on
  int turned = 0;    // of the wrong ones, right under another quarter turn
  int cells = 0;     // cells in the group
  int wrong = 0;     // cells read wrongly (all of an unread picture's)

  void Add(const Score& s) {
    ++pictures;
    right += s.right;
    wrong_ok += s.read && !s.right;
    failed += !s.read;
    turned += s.read && !s.right && s.turned;
    cells += s.cells;
    wrong += s.wrong;
  }
};

// The table's heading and one row: label, pictures, right (with percent),
// wrong but reported ok, failed, turned, cells wrong / cells.
std::string TallyHeader();
std::string TallyRow(const std::string& label, const Tally& t);

}  // namespace vxgen
