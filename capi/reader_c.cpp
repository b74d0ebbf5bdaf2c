// The C face of the reader: plain records filled from vexolith::Read.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "vexolith/reader.h"
#include "vexolith_reader.h"

namespace {

void Empty(vexolith_reading* r) {
  std::memset(r, 0, sizeof *r);
}

void SetFault(vexolith_reading* r, const std::string& fault) {
  std::strncpy(r->fault, fault.c_str(), sizeof r->fault - 1);
  r->fault[sizeof r->fault - 1] = '\0';
}

bool ToOptions(const vexolith_read_options& in, vexolith::ReaderOptions& out) {
  if (in.rows < 1 || in.rows > 1000 || in.cols < 1 || in.cols > 1000) return false;
  if (in.binarize < VEXOLITH_BINARIZE_AUTO || in.binarize > VEXOLITH_BINARIZE_BLOCK) return false;
  if (in.level < 0 || in.level > 255 || in.window < 0 || in.block < 0 || in.max_side < 16) return false;
  if (!(in.threshold <= 1.0)) return false;  // NaN refused too
  out.rows = in.rows;
  out.cols = in.cols;
  out.binarize = static_cast<vexolith::Binarize>(in.binarize);
  out.level = in.level;
  out.window = in.window;
  out.block = in.block;
  out.threshold = in.threshold;
  out.all = in.all != 0;
  out.max_side = in.max_side;
  return true;
}

template <typename T>
T* CopyOut(const T* from, std::size_t n) {
  T* to = static_cast<T*>(std::malloc(n * sizeof(T)));
  if (to != nullptr) std::memcpy(to, from, n * sizeof(T));
  return to;
}

// 0, or 3 when memory ran out (the reading then holds what was copied and stays releasable).
int Fill(const vexolith::ReadResult& result, vexolith_reading* r) {
  r->ok = result.ok ? 1 : 0;
  SetFault(r, result.fault);
  r->width = result.width;
  r->height = result.height;
  if (result.figures.empty()) return 0;
  r->figures = static_cast<vexolith_figure*>(std::calloc(result.figures.size(), sizeof(vexolith_figure)));
  if (r->figures == nullptr) return 3;
  for (const vexolith::FigureReading& f : result.figures) {
    vexolith_figure& out = r->figures[r->figure_count++];
    for (int k = 0; k < 4; ++k) {
      out.corners[k][0] = f.corners[static_cast<std::size_t>(k)].x;
      out.corners[k][1] = f.corners[static_cast<std::size_t>(k)].y;
    }
    out.rows = f.rows;
    out.cols = f.cols;
    out.threshold = f.threshold;
    out.confidence = f.confidence;
    out.black_count = f.black_count;
    const std::size_t cells = static_cast<std::size_t>(f.rows) * static_cast<std::size_t>(f.cols);
    out.values = CopyOut(f.values.data(), cells);
    out.margins = CopyOut(f.margins.data(), cells);
    out.black = CopyOut(f.black.data(), cells);
    if (out.values == nullptr || out.margins == nullptr || out.black == nullptr) return 3;
  }
  return 0;
}

template <typename ReadCall>
int ReadInto(const vexolith_read_options* options, vexolith_reading* reading, ReadCall read) {
  if (reading == nullptr) return 1;
  Empty(reading);
  if (options == nullptr) return 1;
  vexolith::ReaderOptions o;
  if (!ToOptions(*options, o)) return 2;
  try {
    return Fill(read(o), reading);
  } catch (const std::bad_alloc&) {
    return 3;
  }
}

}  // namespace

extern "C" {

void vexolith_read_options_init(vexolith_read_options* options) {
  if (options == nullptr) return;
  const vexolith::ReaderOptions d;
  options->rows = d.rows;
  options->cols = d.cols;
  options->binarize = static_cast<int>(d.binarize);
  options->level = d.level;
  options->window = d.window;
  options->block = d.block;
  options->threshold = d.threshold;
  options->all = d.all ? 1 : 0;
  options->max_side = d.max_side;
}

int vexolith_read_file(const char* path, const vexolith_read_options* options, vexolith_reading* reading) {
  if (path == nullptr) {
    if (reading != nullptr) Empty(reading);
    return 1;
  }
  return ReadInto(options, reading, [&](const vexolith::ReaderOptions& o) { return vexolith::ReadFile(path, o); });
}

int vexolith_read_image(IMG picture, int top_down, const vexolith_read_options* options,
                        vexolith_reading* reading) {
  return ReadInto(options, reading,
                  [&](const vexolith::ReaderOptions& o) { return vexolith::Read(picture, top_down != 0, o); });
}

void vexolith_reading_free(vexolith_reading* reading) {
  if (reading == nullptr) return;
  for (int i = 0; i < reading->figure_count; ++i) {
    std::free(reading->figures[i].values);
    std::free(reading->figures[i].margins);
    std::free(reading->figures[i].black);
  }
  std::free(reading->figures);
  Empty(reading);
}

}  // extern "C"
