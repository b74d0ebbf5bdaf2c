// CONTOUR::Find: scans a rectangle of an 8-bit image for regions of one
// pixel value and stores each as a contour.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "contour/nesting.h"
#include "contour/point_array.h"
#include "contour/quiet.h"
#include "contour/scratch.h"
#include "image/buffer.h"
#include "vexolith/contour.h"

namespace {

constexpr int kStoreSize = 10000;

// A region's point list holds at most twice the rectangle's pixels (walk and
// fill each list it), and the count is a 32-bit int: rectangles above 2^30
// pixels are refused like an image that cannot be copied.
constexpr std::int64_t kMaxSearchPixels = std::int64_t{1} << 30;

// The collection buffer starts at half the rectangle, as a typical page
// needs, but at most 2 MiB of points (a block the allocator keeps for reuse,
// with its header); it doubles whenever a region needs more.
constexpr std::int64_t kInitialPointsCap = (std::int64_t{2} << 20) / sizeof(C_POINT) - 2;

// The members a copy of the image needs: a valid record with positive sizes,
// rows at least one pixel long, and pixels. An image failing this is refused
// with 1, like a colour image, before anything is stored or printed.
bool Copyable(const IMG& img) {
  return img.valid != 0 && img.width >= 1 && img.height >= 1 && img.stride >= img.width &&
         img.bits != nullptr;
}

// One map row from one image row: the searched colour becomes kFree, any
// other value kOther.
void MarkRow(const unsigned char* src, unsigned char* dst, int width, unsigned char colour) {
  for (int x = 0; x < width; ++x) dst[x] = src[x] == colour ? vx::kFree : vx::kOther;
}

thread_local bool quiet = false;

// Appends v in decimal.
char* PutInt(char* out, int v) {
  const auto r = std::to_chars(out, out + 12, v);
  return r.ptr;
}

// The lines "N:%d - L:%d - M:%d\n" formatted by hand into one buffer and
// written at once: printf per line cost as much as storing a small letter.
void PrintContours(const CONTOUR_ITEM* items, int number) {
  if (quiet) return;
  constexpr int kLineMax = 3 * 11 + 14;  // three ints and the fixed text
  std::string text(static_cast<std::size_t>(number) * kLineMax, '\0');
  char* out = text.data();
  for (int i = 0; i < number; ++i) {
    out = PutInt(std::copy_n("N:", 2, out), i);
    out = PutInt(std::copy_n(" - L:", 5, out), items[i].level);
    out = PutInt(std::copy_n(" - M:", 5, out), items[i].mama);
    *out++ = '\n';
  }
  std::fwrite(text.data(), 1, static_cast<std::size_t>(out - text.data()), stdout);
  std::fflush(stdout);
}

}  // namespace

namespace vx {
QuietFind::QuietFind() : was_quiet_(quiet) { quiet = true; }
QuietFind::~QuietFind() { quiet = was_quiet_; }
}  // namespace vx

int CONTOUR::Find(IMG img, RECT rect, unsigned char colour, unsigned long mode) {
  const bool nest = (mode & 1) != 0;
  const bool walk_first = (mode & 2) != 0;

  if (img.gray != 1) return 1;
  if (!Copyable(img)) return 1;
  const RECT r = vx::ClipRegion(img, rect);  // a rectangle reaching outside is cut to the image
  const bool empty = vx::IsEmpty(r);
  const std::int64_t w = empty ? 0 : std::int64_t{r.right} - r.left;
  const std::int64_t h = empty ? 0 : std::int64_t{r.bottom} - r.top;
  if (w * h > kMaxSearchPixels) return 1;

  area = r;
  cur_count = 0;
  this->colour = colour;
  if (!empty) {
    Scratch s(r, static_cast<std::size_t>(std::clamp<std::int64_t>(w * h / 2, 1, kInitialPointsCap)));
    scratch_ = &s;
    cur_points = s.points.get();
    unsigned char* map = s.map;
    for (std::int64_t y = 0; y < h; ++y) {
      const unsigned char* src = img.bits + (r.top + y) * std::int64_t{img.stride} + r.left;
      MarkRow(src, map + (y + 1) * s.pitch + 1, static_cast<int>(w), colour);
    }
    // The map stands in for the private copy of the image while Find runs.
    work = IMG{map, static_cast<int>(s.pitch), static_cast<int>(s.pitch), static_cast<int>(h + 2), 1, 1};

    bool full = false;
    for (int y = r.top; y < r.bottom && !full; ++y) {
      unsigned char* row = map + s.Index(r.left, y);
      unsigned char* end = row + w;
      for (unsigned char* at = row; (at = static_cast<unsigned char*>(std::memchr(at, vx::kFree, end - at)));
           ++at) {
        if (number == kStoreSize) {
          full = true;
          break;
        }
        const int x = r.left + static_cast<int>(at - row);
        *at = vx::kTaken;
        s.Append(*this, x, y);
        cur_rect = RECT{x, y, x, y};
        if (walk_first) FindBorderPoint1(x, y);
        FindBorderPoint(x, y);

        CONTOUR_ITEM& item = items[number];
        item.count = static_cast<unsigned int>(cur_count);
        item.points = s.TakePoints(static_cast<std::size_t>(cur_count));
        item.rect = cur_rect;
        item.mama = -1;
        item.level = 0;
        ++number;
        cur_count = 0;
        if (number == kStoreSize) {
          full = true;
          break;
        }
      }
    }
    scratch_ = nullptr;
    cur_points = nullptr;
    work = IMG{nullptr, 0, 0, 0, 0, 1};
    // The store filled up: the contours stay with mama -1 and level 0, and
    // nothing is printed.
    if (full) return 2;
  }

  if (nest) vx::NestByBoxes(items, number);
  PrintContours(items, number);
  return 0;
}
