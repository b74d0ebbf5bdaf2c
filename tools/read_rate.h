// Scoring a reading against a test picture's expected answer, and the
// read-rate table of many such readings.
#pragma once

#include <string>
#include <vector>

#include "tools/test_picture.h"
#include "vexolith/reader.h"

namespace vxgen {

// How one reading compares with the truth.
struct Score {
  bool read = false;        // the command read the picture (found a figure, measured every cell)
  int cells = 0;            // cells expected
  int wrong = 0;            // cells read wrongly (every cell when not read)
  bool turned = false;      // wrong as read, but right under another quarter turn of the grid
  double corner_error = 0;  // largest distance of a read corner from the true one, pixels
};

// Compares a reading with the truth.
// The reading's first (most confident) figure is compared.
Score ScoreReading(const Truth& truth, const vexolith::ReadResult& result);

// One line of the read-rate table, per group of pictures.
struct Tally {
  int pictures = 0;  // pictures in the group
  int right = 0;     // pictures read wholly right
  int unread = 0;    // pictures not read at all
  int cells = 0;     // cells in the group
  int wrong = 0;     // cells read wrongly (all of an unread picture's)

  void Add(const Score& s) {
    ++pictures;
    right += s.read && s.wrong == 0;
    unread += !s.read;
    cells += s.cells;
    wrong += s.wrong;
  }
};

// "label  pictures  right  unread  cells-wrong/cells" as a table row.
std::string TallyRow(const std::string& label, const Tally& t);

}  // namespace vxgen
