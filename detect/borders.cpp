// Marking the borders of dark areas with the value 128.
//
// Marking in place in row order gives the same result as marking from an
// untouched copy: only non-white pixels change, and only white neighbours
// decide whether a pixel is marked.
#include "detect/borders.h"

#include "image/buffer.h"
#include "vexolith/detect.h"

namespace vx {
namespace {

constexpr unsigned char kWhite = 255;
constexpr unsigned char kBlack = 0;

// Mode bit 0: mark the white pixels next to black ones instead of the black pixels.
constexpr unsigned char kOuterBorder = 1;

// Row y of the image with its rows above and below (null at the image's
// edges), kBytes per pixel; byte 0 of each pixel is the one tested.
template <int kBytes>
struct RowView {
  unsigned char* row;
  unsigned char* above;
  unsigned char* below;
  int width;

  RowView(const IMG& img, int y)
      : row(RowAt(img, y)),
        above(y > 0 ? RowAt(img, y - 1) : nullptr),
        below(y < img.height - 1 ? RowAt(img, y + 1) : nullptr),
        width(img.width) {}

  // Calls visit(byte 0 of neighbour) for each 4-neighbour of x inside the image.
  template <class Visit>
  void ForNeighbours(int x, Visit visit) const {
    const int at = kBytes * x;
    if (above) visit(above[at]);
    if (below) visit(below[at]);
    if (x > 0) visit(row[at - kBytes]);
    if (x < width - 1) visit(row[at + kBytes]);
  }

  bool TouchesWhite(int x) const {
    bool white = false;
    ForNeighbours(x, [&](unsigned char& v) { white |= v == kWhite; });
    return white;
  }
};

template <int kBytes>
void MarkInner(const IMG& img) {
  for (int y = 0; y < img.height; ++y) {
    const RowView<kBytes> view(img, y);
    for (int x = 0; x < img.width; ++x) {
      unsigned char* px = view.row + kBytes * x;
      if (px[0] == kWhite || !view.TouchesWhite(x)) continue;
      px[0] = kBorderMark;
      if constexpr (kBytes == 3) px[1] = px[2] = 0;
    }
  }
}

template <int kBytes>
void MarkRect(const IMG& img, const RECT& r, bool outer) {
  for (int y = r.top; y < r.bottom; ++y) {
    const RowView<kBytes> view(img, y);
    for (int x = r.left; x < r.right; ++x) {
      unsigned char* px = view.row + kBytes * x;
      if (px[0] != kBlack) continue;
      if (outer) {
        view.ForNeighbours(x, [](unsigned char& v) {
          if (v == kWhite) v = kBorderMark;
        });
      } else if (view.TouchesWhite(x)) {
        px[0] = kBorderMark;
      }
    }
  }
}

}  // namespace

bool Markable(const IMG& img) { return img.valid != 0 && HasPixels(img); }

void MarkInnerBorders(const IMG& img) {
  if (img.gray) {
    MarkInner<1>(img);
  } else {
    MarkInner<3>(img);
  }
}

}  // namespace vx

void AllocationBorders(IMG img) {
  if (vx::Markable(img)) vx::MarkInnerBorders(img);
}

void AllocationBordersRect(IMG img, RECT r, unsigned char mode) {
  if (!vx::Markable(img)) return;
  const RECT inside = vx::ClipRegion(img, r);
  if (vx::IsEmpty(inside)) return;
  const bool outer = (mode & vx::kOuterBorder) != 0;
  if (img.gray) {
    vx::MarkRect<1>(img, inside, outer);
  } else {
    vx::MarkRect<3>(img, inside, outer);
  }
}
