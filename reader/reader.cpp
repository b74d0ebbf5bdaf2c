// The reader's entry points: checks, the search at a working size (and a
// finer one when nothing was found), the choice among the figures found.
#include "vexolith/reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "image/buffer.h"
#include "reader/cell_checks.h"
#include "reader/lifted_look.h"
#include "reader/search.h"
#include "vexolith/image.h"

namespace vexolith {
namespace {

using vx::reader::Accepted;

ReadResult Fail(ReadResult r, std::string fault) {
  r.ok = false;
  r.fault = std::move(fault);
  r.figures.clear();
  return r;
}

// Two figures overlap when a corner or the centre of one lies inside the other.
bool Overlap(const vx::reader::Quad& a, const vx::reader::Quad& b) {
  for (int pass = 0; pass < 2; ++pass) {
    const vx::reader::Quad& p = pass ? a : b;
    const vx::reader::Quad& q = pass ? b : a;
    Point c{0, 0};
    for (const Point& x : p) {
      if (vx::reader::Contains(q, x)) return true;
      c.x += x.x / 4, c.y += x.y / 4;
    }
    if (vx::reader::Contains(q, c)) return true;
  }
  return false;
}

FigureReading ToReading(const Accepted& a, int rows, int cols) {
  FigureReading f;
  f.corners = a.seen;
  f.rows = rows;
  f.cols = cols;
  f.values = a.cells.values;
  f.margins = a.cells.margins;
  f.black = a.cells.black;
  f.threshold = a.cells.threshold;
  f.confidence = a.cells.confidence;
  f.black_count = static_cast<int>(std::count(f.black.begin(), f.black.end(), 1));
  return f;
}

}  // namespace

ReadResult Read(const IMG& picture, bool top_down, const ReaderOptions& options) {
  ReadResult r;
  if (!vx::HasPixels(picture)) return Fail(r, "not an image with pixels");
  r.width = picture.width;
  r.height = picture.height;
  if (options.rows < 1 || options.cols < 1 || options.rows > 1000 || options.cols > 1000)
    return Fail(r, "the grid needs 1 to 1000 rows and columns");
  if (picture.width < 12 || picture.height < 12)
    return Fail(r, "picture too small (" + std::to_string(picture.width) + "x" +
                       std::to_string(picture.height) + " pixels)");
  const vx::reader::PictureView view(picture, top_down);
  std::vector<Accepted> found;
  std::string fault;
  std::vector<vx::reader::Quad> others, in_doubt;
  auto figure_found = [&] {
    return std::any_of(found.begin(), found.end(), [](const Accepted& a) { return !a.cells.filled; });
  };
  int factor = vx::reader::ReductionFactor(picture.width, picture.height, options.max_side);
  const int working = factor;
  vx::reader::SearchAt(view, factor, options, !options.all, found, fault, others, in_doubt);
  // Nothing at the working size: small figures may have been lost in the
  // reduction; look again at a third of the factor, as long as the search
  // plane stays within 16 megapixels (its labels take 4 bytes a pixel).
  while (!figure_found() && factor > 1) {
    const int finer = std::max(1, factor / 3);
    if (static_cast<double>(picture.width / finer) * (picture.height / finer) > 16e6) break;
    factor = finer;
    vx::reader::SearchAt(view, factor, options, !options.all, found, fault, others, in_doubt);
  }
  // Still nothing: noise may have frayed every outline at the working
  // size. Reduced twice and four times as much, a pixel is the mean of
  // four and sixteen times as many, and a figure of cells 8 pixels or more
  // keeps cells of 2 or more. (The outline found there is refined on the
  // picture itself, as at any size.) A filled block read already is judged
  // on what the usual look saw beside it.
  for (int coarser : {2 * working, 4 * working}) {
    if (!found.empty() || std::min(picture.width, picture.height) / coarser < 24) break;
    const std::size_t before = found.size();
    vx::reader::SearchAt(view, coarser, options, !options.all, found, fault, others, in_doubt);
    // What only the coarser look finds lies in noise strong enough to fray
    // it: it is taken only with a clear margin (confidence 0.4). A reading
    // by the cells' colours has been held to tests of its own (the chance
    // that a cell is wrong, the misfit left, each corner's doubt) and its
    // confidence is no window's margin: it stands as it is.
    const auto weak = std::remove_if(
        found.begin() + static_cast<std::ptrdiff_t>(before), found.end(), [](const Accepted& a) {
          return !a.cells.labelled && a.cells.confidence < vx::reader::kCoarserConfidence;
        });
    if (weak != found.end() && fault.empty()) fault = "cells not clearly black or white";
    found.erase(weak, found.end());
  }
  // A shadow's edge across the page may have kept every look from the
  // figure: the picture with the shadow taken out is searched once more.
  if (!figure_found()) vx::reader::SearchLifted(view, working, options, found);
  // A filled dark block reads as a figure whose cells are all black, and
  // nothing in the picture can say which it is. It is taken only when
  // nothing better exists: no figure read, no other dark thing beside it
  // large enough to be tried as a figure (a figure the search could not
  // read, another block, a box, text), and its corners 2 pixels or more
  // inside the picture (a shadow or a dark area running out of the picture
  // is cut off by the picture's edge, its corners on it).
  if (figure_found()) {
    std::erase_if(found, [](const Accepted& a) { return a.cells.filled; });
  } else if (!found.empty()) {
    const vx::reader::Quad& block = found.front().seen;
    const bool alone =
        std::all_of(block.begin(), block.end(), [&](const Point& p) { return view.Inside(p.x, p.y, 2.0); }) &&
        std::all_of(found.begin(), found.end(), [&](const Accepted& a) { return Overlap(a.seen, block); }) &&
        std::none_of(others.begin(), others.end(),
                     [&](const vx::reader::Quad& q) { return !Overlap(q, block); });
    if (!alone) return Fail(r, "no figure found (every cell reads black (a filled block, not a figure))");
  }
  if (found.empty())
    return Fail(r,
                "no figure found (" +
                    (fault.empty() ? std::string("no dark quadrilateral large enough for a figure") : fault) +
                    ")");
  std::stable_sort(found.begin(), found.end(), [](const Accepted& a, const Accepted& b) {
    if (a.cells.confidence != b.cells.confidence) return a.cells.confidence > b.cells.confidence;
    return a.area > b.area;
  });
  std::vector<const Accepted*> kept;
  for (const Accepted& a : found) {
    bool clear = true;
    for (const Accepted* k : kept) clear = clear && !Overlap(k->seen, a.seen);
    if (!clear) continue;
    kept.push_back(&a);
    if (!options.all) break;
  }
  for (const Accepted* k : kept) r.figures.push_back(ToReading(*k, options.rows, options.cols));
  r.ok = true;
  return r;
}

ReadResult ReadFile(const std::string& path, const ReaderOptions& options) {
  ReadResult r;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Fail(r, std::string("cannot open: ") + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return Fail(r, "cannot open: Is a directory");
  // A FIFO or a device would block the opening (or never end): only regular
  // files are read, and the access check opens without waiting.
  if (!S_ISREG(st.st_mode)) return Fail(r, "cannot open: not a regular file");
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(r, std::string("cannot open: ") + std::strerror(errno));
  ::close(fd);
  const IMG picture = OpenGraphFile(path.c_str());
  if (!picture.valid) return Fail(r, "not a picture that can be read (BMP, PNG, JPEG, TIFF or GIF)");
  const std::unique_ptr<unsigned char[], void (*)(unsigned char*)> owner(picture.bits, vx::FreeBytes);
  return Read(picture, false, options);  // files arrive bottom line first
}

}  // namespace vexolith
