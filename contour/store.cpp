// The contour store's lifecycle and its read-only accessors.
#include <cstddef>

#include "contour/point_array.h"
#include "vexolith/contour.h"

namespace {

bool Stored(int index, int number) { return index >= 0 && index < number; }

}  // namespace

// The 10000 records stay uninitialised until Find fills them; the working
// members are set to empty so that nothing points anywhere outside Find.
CONTOUR::CONTOUR()
    : number(0),
      cur_count(0),
      cur_points(nullptr),
      cur_rect{0, 0, 0, 0},
      colour(0),
      area{0, 0, 0, 0},
      work{nullptr, 0, 0, 0, 0, 1},
      scratch_(nullptr) {}

CONTOUR::~CONTOUR() {
  for (int i = 0; i < number; ++i) vx::FreePoints(items[i].points);
}

CONTOUR& CONTOUR::operator=(const CONTOUR& source) {
  if (this == &source) return *this;
  for (int i = 0; i < number; ++i) vx::FreePoints(items[i].points);
  number = source.number;
  for (int i = 0; i < number; ++i) {
    items[i] = source.items[i];
    items[i].points = vx::DuplicatePoints(source.items[i].points, source.items[i].count);
  }
  // The search rectangle goes along so that corner finding on the copy
  // measures from the same image corners.
  area = source.area;
  return *this;
}

// The first contour of the deepest level and how many share that level. An
// empty store answers as if it held one contour: index 0, one of them; its
// level is then meaningless, and 0 is given rather than reading an item.
void CONTOUR::ReturnMaxLevel(int& level, int& index, int& howMany) {
  if (number == 0) {
    level = 0;
    index = 0;
    howMany = 1;
    return;
  }
  int best = 0;
  howMany = 1;
  for (int i = 1; i < number; ++i) {
    if (items[i].level == items[best].level) {
      ++howMany;
    } else if (items[i].level > items[best].level) {
      best = i;
      howMany = 1;
    }
  }
  level = items[best].level;
  index = best;
}

C_POINT CONTOUR::ReturnCenterContour(int index) {
  if (!Stored(index, number)) return C_POINT{-1, -1};
  const RECT& r = items[index].rect;
  return C_POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool CONTOUR::ReturnPointInContour(C_POINT point, int index) {
  if (!Stored(index, number)) return false;
  const CONTOUR_ITEM& item = items[index];
  for (unsigned int i = 0; i < item.count; ++i) {
    if (item.points[i].x == point.x && item.points[i].y == point.y) return true;
  }
  return false;
}

// Unknown indices read as "no enclosing contour".
int CONTOUR::GetMama(int index) { return Stored(index, number) ? items[index].mama : -1; }

// Unknown indices read as an empty contour.
int CONTOUR::AllPoints(int index) { return Stored(index, number) ? static_cast<int>(items[index].count) : 0; }

int CONTOUR::ReturnAllContours() { return number; }

// Unknown indices give a rectangle of four -1s (left -1 is the mark).
RECT CONTOUR::ReturnRectContour(int index) {
  if (!Stored(index, number)) return RECT{-1, -1, -1, -1};
  return items[index].rect;
}
