#include "cli/command_options.h"

#include <charconv>
#include <cstdlib>
#include <optional>

namespace vxcli {
namespace {

std::optional<int> ToInt(const std::string& s) {
  int v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<double> ToDouble(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return std::nullopt;
  return v;
}

}  // namespace

std::string Usage() {
  return R"(usage: vexolith read [PICTURE...] [OPTIONS]
       vexolith --help

Finds the figure in each picture -- a dark quadrilateral whose outer ring of
cells is its black border, divided into rows x columns of cells -- and tells
which cells are black. Without a picture it reads the sample picture shipped
with vexolith. Pictures may be BMP, PNG, JPEG, TIFF or GIF.

The grid is read as the picture is seen: row 0 is the band of cells nearest
the top of the picture and column 0 the leftmost. The top edge is the edge of
the figure that points most nearly to the right when the outline is followed
clockwise (on an exact tie, the top corner is the top-left one). Within a
degree or two of 45 (plus a multiple of 90) a pixel decides which edge that
is, so such a figure may be read turned a quarter.

Options:
  --rows R            cell rows as seen, the border ring included (default 10, as
                      the sample): a figure with 6 rows of 8 free cells inside its
                      border ring has --rows 8 --cols 10; turned a quarter, --rows 10
                      --cols 8
  --cols C            cell columns as seen, the border ring included (default 10)
  --threshold T       a cell is black when its darkness (0 paper .. 1 ink) is above
                      T (0..1); default: chosen for each figure from its own cells
  --all               read every figure of the given size in the picture, most
                      confident first (default: the most confident one)
  --binarize METHOD   how the gray picture becomes black and white:
                        auto    one level for the whole picture, chosen to separate
                                dark from light (default)
                        global  one level given by --level
                        local   each pixel against the mean of the square around it
                                (--window)
                        block   each pixel against a level that follows the mean of
                                its square (--block), for uneven lighting
  --level N           level for global: gray values 0..N are black (default 128)
  --window N          side of the local-mean square in working pixels (default: an
                      eighth of the shorter side, at most 25)
  --block N           side of the block-mean squares in working pixels (default: an
                      eighth of the shorter side)
  --max-side N        pictures whose longer side is above N pixels are read at a
                      reduced size, corners mapped back (default 1200)
  --json              one JSON object per picture and line: file, ok, rows, cols,
                      corners (top-left, top-right, bottom-right, bottom-left in
                      picture pixels, y downward), values, margins, verdicts,
                      black, threshold, confidence (with --all in a list
                      "figures"); or file, ok false, error
  --marked OUT        write the picture with the figure's outline (green), the grid
                      (blue) and a cross over each black cell (red) as a bitmap file;
                      with several pictures, OUT-1.bmp, OUT-2.bmp ... in the order given
  --jobs N            pictures read at once (default: one per core)
  --show-contours     copy the library's per-region lines ("N:0 - L:0 - M:-1") to
                      standard error (the reader prints none of its own)
  -h, --help          this text

Output: for each picture, R lines of C characters, '#' black and '.' white,
preceded by a line with the file name when several pictures are read. Results
come in the order the pictures were given; a fault is one line on standard
error naming the file.

Exit status: 0 every picture read, 1 some pictures could not be read,
2 bad command line.
)";
}

std::string MarkedPath(const std::string& path, int index, int count) {
  if (count <= 1) return path;
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool has_ext = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  std::string out = has_ext ? path.substr(0, dot) : path;
  out += '-';
  out += std::to_string(index + 1);
  if (has_ext) out += path.substr(dot);
  return out;
}

Command ParseCommand(const std::vector<std::string>& args) {
  Command c;
  auto bad = [&c](std::string why) {
    c.error = std::move(why);
    return c;
  };
  std::size_t i = 0;
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    c.help = true;
    return c;
  }
  if (args.empty() || args[0] != "read")
    return bad(args.empty() ? "missing command: use 'vexolith read [PICTURE...]'"
                            : "unknown command '" + args[0] + "': use 'vexolith read [PICTURE...]'");
  ++i;
  bool binarize_given = false;
  bool flags_done = false;
  for (; i < args.size(); ++i) {
    std::string a = args[i];
    if (flags_done || a.size() < 2 || a[0] != '-') {
      c.pictures.push_back(a);
      continue;
    }
    if (a == "--") {
      flags_done = true;
      continue;
    }
    if (a == "-h" || a == "--help") {
      c.help = true;
      return c;
    }
    if (a == "--json") {
      c.json = true;
      continue;
    }
    if (a == "--all") {
      c.read.all = true;
      continue;
    }
    if (a == "--show-contours") {
      c.show_contours = true;
      continue;
    }
    std::string value;
    bool has_value = false;
    if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = a.substr(eq + 1);
      a = a.substr(0, eq);
      has_value = true;
    }
    static const char* const kValued[] = {"--rows",   "--cols",  "--threshold", "--binarize", "--level",
                                          "--window", "--block", "--max-side",  "--marked",   "--jobs"};
    bool known = false;
    for (const char* k : kValued) known = known || a == k;
    if (!known) return bad("unknown option '" + a + "'");
    if (!has_value) {
      if (i + 1 >= args.size()) return bad("option '" + a + "' needs a value");
      value = args[++i];
    }
    auto whole = [&](int lo, int hi, int& out) {
      const std::optional<int> v = ToInt(value);
      if (!v || *v < lo || *v > hi) {
        c.error = "option '" + a + "' needs a whole number from " + std::to_string(lo) + " to " +
                  std::to_string(hi) + ", not '" + value + "'";
        return false;
      }
      out = *v;
      return true;
    };
    bool fine = true;
    if (a == "--rows") {
      fine = whole(1, 1000, c.read.rows);
    } else if (a == "--cols") {
      fine = whole(1, 1000, c.read.cols);
    } else if (a == "--level") {
      fine = whole(0, 255, c.read.level);
      if (!binarize_given) c.read.binarize = Binarize::kGlobal;
    } else if (a == "--window") {
      fine = whole(1, 1001, c.read.window);
      if (!binarize_given) c.read.binarize = Binarize::kLocal;
    } else if (a == "--block") {
      fine = whole(2, 100000, c.read.block);
      if (!binarize_given) c.read.binarize = Binarize::kBlock;
    } else if (a == "--max-side") {
      fine = whole(16, 1000000, c.read.max_side);
    } else if (a == "--jobs") {
      fine = whole(1, 1024, c.jobs);
    } else if (a == "--threshold") {
      const std::optional<double> v = ToDouble(value);
      if (!v || !(*v >= 0.0 && *v <= 1.0))
        return bad("option '--threshold' needs a number from 0 to 1, not '" + value + "'");
      c.read.threshold = *v;
    } else if (a == "--marked") {
      if (value.empty()) return bad("option '--marked' needs a file name");
      c.read.marked = value;
    } else if (a == "--binarize") {
      binarize_given = true;
      if (value == "auto")
        c.read.binarize = Binarize::kAuto;
      else if (value == "global")
        c.read.binarize = Binarize::kGlobal;
      else if (value == "local")
        c.read.binarize = Binarize::kLocal;
      else if (value == "block")
        c.read.binarize = Binarize::kBlock;
      else
        return bad("option '--binarize' takes auto, global, local or block, not '" + value + "'");
    }
    if (!fine) return c;
  }
  return c;
}

}  // namespace vxcli
