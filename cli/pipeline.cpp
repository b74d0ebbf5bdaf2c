#include "cli/pipeline.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/pipeline_figure.h"
#include "cli/pipeline_image.h"
#include "cli/pipeline_marked.h"
#include "cli/pipeline_perspective.h"

namespace vxcli {
namespace {

ReadResult Fail(ReadResult r, std::string fault) {
  r.ok = false;
  r.fault = std::move(fault);
  return r;
}

// Default square for the local and block thresholds: an eighth of the
// working image's shorter side, so a figure filling the picture spans
// several squares and lighting can change from one to the next.
int DefaultSquare(const GrayImage& work) { return std::max(8, std::min(work.width(), work.height()) / 8); }

// Thresholds the working image in place; black 0, white 255. False when
// the library could not give the images the local mean works through.
bool Threshold(GrayImage& work, const ReadOptions& options) {
  const RECT all{0, 0, work.width(), work.height()};
  switch (options.binarize) {
    case Binarize::kAuto:
      ThresholdImage(work.img(), static_cast<unsigned char>(OtsuLevel(work)), all);
      return true;
    case Binarize::kGlobal:
      ThresholdImage(work.img(), static_cast<unsigned char>(std::clamp(options.level, 0, 255)), all);
      return true;
    case Binarize::kLocal: {
      // The local mean needs a 24-bit source and gives a 24-bit result.
      const int window = options.window > 0 ? options.window : (std::min(DefaultSquare(work), 25) | 1);
      LibraryImage colour(Img8To24(work.img()));
      if (!colour.valid()) return false;
      LibraryImage bw(AdaptiveThresholdImage(colour.img(), window, all, 0));
      if (!bw.valid()) return false;
      LibraryImage gray(Img24To8(bw.img()));
      if (!gray.valid()) return false;
      for (int y = 0; y < work.height(); ++y)
        std::memcpy(work.row(y), gray.img().bits + static_cast<std::size_t>(y) * gray.img().stride,
                    work.width());
      return true;
    }
    case Binarize::kBlock: {
      const int block =
          std::min({options.block > 0 ? options.block : DefaultSquare(work), work.width(), work.height()});
      // Level 128 and gain 64 put each block's threshold halfway between its
      // mean and mid-gray: (m + 128) / 2.
      Adaptive2ThresholdImage(work.img(), 128, 64, all, block);
      return true;
    }
  }
  return false;
}

// A working-image point (pixel centres at whole numbers) in picture pixels.
Pt ToPicture(Pt p, int factor) { return {(p.x + 0.5) * factor - 0.5, (p.y + 0.5) * factor - 0.5}; }

bool WriteMarked(IMG picture, const ReadResult& r, const std::string& path) {
  LibraryImage colour(picture.gray ? Img8To24(picture) : IMG{});
  if (picture.gray && !colour.valid()) return false;
  const IMG canvas = picture.gray ? colour.img() : picture;
  DrawMarked(canvas, r.corners, r.rows, r.cols, r.black);
  UpDownImage(canvas);  // bitmap files keep the bottom line first
  const int written = SaveDF(path.c_str(), canvas);
  UpDownImage(canvas);
  return written == 0;
}

}  // namespace

ReadResult ReadPicture(IMG picture, const ReadOptions& options) {
  ReadResult r;
  r.width = picture.width;
  r.height = picture.height;
  if (options.rows < 1 || options.cols < 1) return Fail(r, "the grid needs at least one row and one column");
  if (picture.width < kMinFigurePixels || picture.height < kMinFigurePixels)
    return Fail(r, "picture too small (" + std::to_string(picture.width) + "x" +
                       std::to_string(picture.height) + " pixels)");

  // A gray picture is used as it is; a 24-bit one is converted.
  LibraryImage converted(picture.gray ? IMG{} : Img24To8(picture));
  if (!picture.gray && !converted.valid()) return Fail(r, "cannot convert the picture to gray");
  const IMG gray = picture.gray ? picture : converted.img();
  // A region the fill may have cut is read again at a coarser size, chosen
  // so the region would hold about 12000 pixels there; a search that filled
  // the store with specks and found no figure is tried again at half the
  // size, where averaging has smoothed the specks away (three tries at most).
  r.reduction = ReductionFactor(picture.width, picture.height, options.max_side);
  GrayImage work;
  Figure figure;
  for (int attempt = 0; attempt < 3; ++attempt) {
    work = ReduceByMean(gray, r.reduction);
    if (!Threshold(work, options)) return Fail(r, "cannot threshold the picture");
    figure = FindFigure(work.img());
    const bool cut = figure.largest >= kRegionMayBeCut;
    const bool specks = figure.store_full && !figure.found;
    if ((!cut && !specks) || attempt == 2) break;
    const int more = cut ? static_cast<int>(std::ceil(std::sqrt(figure.largest / 12000.0))) : 2;
    if (std::min(picture.width, picture.height) / (r.reduction * more) < 4 * kMinFigurePixels) break;
    r.reduction *= more;
  }
  if (!figure.found) return Fail(r, "no figure found (" + figure.fault + ")");
  const std::array<Pt, 4> seen = SeenCorners(figure.outline);

  // The grid's p1 is the cell of row 0, column 0; p3 ends the first column, p4 the first row.
  GRID grid(options.rows, options.cols);
  CreatePerspectiveGrid(grid, seen);
  const int measured = grid.RecogCells(work.img());
  if (measured != 0) return Fail(r, "the cells cannot be measured (code " + std::to_string(measured) + ")");

  r.rows = options.rows;
  r.cols = options.cols;
  const std::size_t cells = static_cast<std::size_t>(r.rows) * r.cols;
  auto column_major = std::make_unique<bool[]>(cells);
  grid.ReturnGrid(options.threshold, column_major[0]);
  r.black_count = grid.ReturnBlackCells(options.threshold);
  r.values.resize(cells);
  r.black.resize(cells);
  for (int i = 0; i < r.rows; ++i) {
    for (int j = 0; j < r.cols; ++j) {
      const std::size_t from = static_cast<std::size_t>(j) * r.rows + i;
      r.values[static_cast<std::size_t>(i) * r.cols + j] = grid.cells[from];
      r.black[static_cast<std::size_t>(i) * r.cols + j] = column_major[from];
    }
  }
  for (int k = 0; k < 4; ++k) r.corners[k] = ToPicture(seen[k], r.reduction);
  r.ok = true;
  if (!options.marked.empty() && !WriteMarked(picture, r, options.marked))
    return Fail(r, "cannot write the marked picture to " + options.marked);
  return r;
}

ReadResult ReadPictureFile(const std::string& path, const ReadOptions& options) {
  ReadResult r;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Fail(r, std::string("cannot open: ") + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return Fail(r, "cannot open: Is a directory");
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    return Fail(r, std::string("cannot open: ") + std::strerror(errno));
  }
  LibraryImage picture(OpenGraphFile(path.c_str()));
  if (!picture.valid()) return Fail(r, "not a picture that can be read (BMP, PNG, JPEG, TIFF or GIF)");
  UpDownImage(picture.img());  // files arrive bottom line first
  return ReadPicture(picture.img(), options);
}

}  // namespace vxcli
