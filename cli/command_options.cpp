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
       vexolith detect [PICTURE...] [OPTIONS]
       vexolith segment [PICTURE...] [OPTIONS]
       vexolith histogram [PICTURE...] [OPTIONS]
       vexolith --help | --version

vexolith read finds the figure in each picture -- a dark quadrilateral whose
outer ring of cells is its black border, divided into rows x columns of
cells -- and tells which cells are black. Without a picture it reads the sample picture shipped
with vexolith. Pictures may be BMP, PNG, JPEG, TIFF or GIF, in regular files
(a FIFO or a device is refused, as is one for --marked).

The grid is read as the picture is seen: row 0 is the band of cells nearest
the top of the picture and column 0 the leftmost. The top edge is the edge of
the figure that points most nearly to the right when the outline is followed
clockwise (on an exact tie, the top corner is the top-left one). Within a
degree or two of 45 (plus a multiple of 90) a pixel decides which edge that
is, so such a figure may be read turned a quarter.

Options of read:
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
  --max-side N        the figure is searched for with the picture reduced to at
                      most N pixels a side; cells are measured on the full
                      picture (default 1200)
  --refine HOW        refine each side of the figure found on a black-and-white
                      copy of the picture, meet the refined sides for new
                      corners and read the cells again on them:
                        none     keep the reader's corners (default)
                        contour  fit each side to the figure's black region
                        image    the image search that serves best (line2)
                        line, line1, line2, black
                                 one search by name: AccuracyLine, AccuracyLine1,
                                 AccuracyLine2, AccuracyLineBlack
                      A figure whose refined corners fail the reader's checks
                      keeps its first reading. On generated pictures every
                      refinement leaves the corners further from the true ones
                      than the reader's own, so none is the default
  --logs DIR          keep the searches' logs in DIR, an existing folder, as
                      N-F-SIDE-LOG: picture N in the order given, figure F (1 the
                      most confident), SIDE top, right, bottom or left, LOG
                      dd.log and dd1.log (line, line1) or black.log and
                      black1.log (black); contour and image keep none. Without
                      it no log is written anywhere. Needs --refine
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
  --version           print "vexolith" and the version, and stop

vexolith detect finds the areas that look like 2-D codes (dense, roughly
square) in each picture and prints one line "LEFT TOP RIGHT BOTTOM" per area,
in picture pixels, y downward, right and bottom exclusive.
  --level N           gray values 0..N are black (default: the level that best
                      splits the picture into dark and light)
  --factor N          the search works on the picture reduced N times (default:
                      the longer side brought to at most 800 pixels)
  --marked OUT        write the picture with each area outlined in red
  --json              one JSON object per picture and line: file, ok, width,
                      height, factor, level, regions [[left, top, right, bottom]]

vexolith segment cuts each picture into square blocks, joins neighbouring
blocks of like gray histograms into segments, marks the blocks with two clear
levels (text- or code-like) and prints "S segments, C x R blocks, M marked"
and one line "LEFT TOP RIGHT BOTTOM" (inclusive) per segment with marked
blocks.
  --block N           block side in pixels, 2..1024 (default 16)
  --bins N            histogram bins per block, 1..256 (default 16)
  --join D            neighbours join at a histogram distance up to D, 0..1
                      (default 0.25)
  --share S           share of a block's pixels its two levels must hold for a
                      mark, 0..1 (default 0.5)
  --min-marked N      marked blocks a segment needs to be listed (default 1)
  --no-fold           leave blocks without a like neighbour alone (default: they
                      join their most similar neighbour)
  --best              only the segment with the most marked blocks
  --marked OUT        write the picture with every segment painted in its colour
  --json              one JSON object per picture and line: file, ok, segments,
                      blockCols, blockRows, marked, rects

vexolith histogram counts the gray levels of each picture (24-bit pictures
are taken in gray) and prints "total T, largest bin L" and a line of the
counts.
  --bins N            number of bins, 1..256 (default 16); bin i holds the gray
                      values v with v * N / 256 = i
  --area L,T,R,B      count only this rectangle (inclusive, y downward)
  --chart OUT         write the bar chart as a bitmap file (512 x 256)
  --json              one JSON object per picture and line: file, ok, total,
                      largest, bins

Every command takes --jobs N and --show-contours as read does, works on the
sample picture when none is given, and numbers its output file (OUT-1.bmp,
OUT-2.bmp ...) when given several pictures.

Output: for each picture, what its command prints (read: R lines of C
characters, '#' black and '.' white), preceded by a line with the file name
when several pictures are given. Results come in the order the pictures were
given; a fault is one line on standard error naming the file.

Exit status: 0 every picture read (or analysed), 1 some pictures could not be
read or analysed, or the results could not be written, 2 bad command line.
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

namespace {

constexpr unsigned kRead = 1u << static_cast<int>(Verb::kRead);
constexpr unsigned kDetect = 1u << static_cast<int>(Verb::kDetect);
constexpr unsigned kSegment = 1u << static_cast<int>(Verb::kSegment);
constexpr unsigned kHistogram = 1u << static_cast<int>(Verb::kHistogram);
constexpr unsigned kEvery = kRead | kDetect | kSegment | kHistogram;

struct Word {
  const char* name;
  Verb verb;
};
constexpr Word kVerbs[] = {{"read", Verb::kRead},
                           {"detect", Verb::kDetect},
                           {"segment", Verb::kSegment},
                           {"histogram", Verb::kHistogram}};

// Every flag, the commands that take it and whether it takes a value.
struct Flag {
  const char* name;
  unsigned verbs;
  bool valued;
};
constexpr Flag kFlags[] = {
    {"--json", kEvery, false},
    {"--show-contours", kEvery, false},
    {"--jobs", kEvery, true},
    {"--all", kRead, false},
    {"--rows", kRead, true},
    {"--cols", kRead, true},
    {"--threshold", kRead, true},
    {"--binarize", kRead, true},
    {"--window", kRead, true},
    {"--max-side", kRead, true},
    {"--refine", kRead, true},
    {"--logs", kRead, true},
    {"--level", kRead | kDetect, true},
    {"--block", kRead | kSegment, true},
    {"--marked", kRead | kDetect | kSegment, true},
    {"--factor", kDetect, true},
    {"--bins", kSegment | kHistogram, true},
    {"--join", kSegment, true},
    {"--share", kSegment, true},
    {"--min-marked", kSegment, true},
    {"--no-fold", kSegment, false},
    {"--best", kSegment, false},
    {"--area", kHistogram, true},
    {"--chart", kHistogram, true},
};

// "L,T,R,B", four whole numbers.
std::optional<RECT> ToRect(const std::string& s) {
  int v[4];
  std::size_t from = 0;
  for (int k = 0; k < 4; ++k) {
    const std::size_t comma = k < 3 ? s.find(',', from) : s.size();
    if (comma == std::string::npos) return std::nullopt;
    const std::optional<int> n = ToInt(s.substr(from, comma - from));
    if (!n) return std::nullopt;
    v[k] = *n;
    from = comma + 1;
  }
  return RECT{v[0], v[1], v[2], v[3]};
}

}  // namespace

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
  if (!args.empty() && args[0] == "--version") {
    c.version = true;
    return c;
  }
  const Word* word = nullptr;
  for (const Word& w : kVerbs)
    if (!args.empty() && args[0] == w.name) word = &w;
  if (word == nullptr)
    return bad(args.empty()
                   ? "missing command: use 'vexolith read [PICTURE...]' (or detect, segment, histogram)"
                   : "unknown command '" + args[0] + "': use read, detect, segment or histogram");
  c.verb = word->verb;
  const unsigned mine = 1u << static_cast<int>(c.verb);
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
    if (a == "--version") {
      c.version = true;
      return c;
    }
    std::string value;
    bool has_value = false;
    if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = a.substr(eq + 1);
      a = a.substr(0, eq);
      has_value = true;
    }
    const Flag* flag = nullptr;
    for (const Flag& f : kFlags)
      if (a == f.name) flag = &f;
    if (flag == nullptr) return bad("unknown option '" + a + "'");
    if (!(flag->verbs & mine))
      return bad("option '" + a + "' does not apply to 'vexolith " + word->name + "'");
    if (!flag->valued) {
      if (has_value) return bad("option '" + a + "' takes no value");
      if (a == "--json")
        c.json = true;
      else if (a == "--all")
        c.read.all = true;
      else if (a == "--show-contours")
        c.show_contours = true;
      else if (a == "--no-fold")
        c.segment.fold = false;
      else if (a == "--best")
        c.segment.best_only = true;
      continue;
    }
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
    auto share = [&](double& out) {
      const std::optional<double> v = ToDouble(value);
      if (!v || !(*v >= 0.0 && *v <= 1.0)) {
        c.error = "option '" + a + "' needs a number from 0 to 1, not '" + value + "'";
        return false;
      }
      out = *v;
      return true;
    };
    auto file = [&](std::string& out) {
      if (value.empty()) {
        c.error = "option '" + a + "' needs a file name";
        return false;
      }
      out = value;
      return true;
    };
    bool fine = true;
    if (a == "--rows") {
      fine = whole(1, 1000, c.read.rows);
    } else if (a == "--cols") {
      fine = whole(1, 1000, c.read.cols);
    } else if (a == "--level") {
      fine = whole(0, 255, c.verb == Verb::kDetect ? c.detect.level : c.read.level);
      if (c.verb == Verb::kRead && !binarize_given) c.read.binarize = Binarize::kGlobal;
    } else if (a == "--window") {
      fine = whole(1, 1001, c.read.window);
      if (!binarize_given) c.read.binarize = Binarize::kLocal;
    } else if (a == "--block" && c.verb == Verb::kSegment) {
      fine = whole(2, 1024, c.segment.block);
    } else if (a == "--block") {
      fine = whole(2, 100000, c.read.block);
      if (!binarize_given) c.read.binarize = Binarize::kBlock;
    } else if (a == "--max-side") {
      fine = whole(16, 1000000, c.read.max_side);
    } else if (a == "--jobs") {
      fine = whole(1, 1024, c.jobs);
    } else if (a == "--factor") {
      fine = whole(1, 1 << 20, c.detect.factor);
    } else if (a == "--bins") {
      fine = whole(1, 256, c.verb == Verb::kSegment ? c.segment.bins : c.histogram.bins);
    } else if (a == "--min-marked") {
      fine = whole(1, 1 << 20, c.segment.min_marked);
    } else if (a == "--join") {
      fine = share(c.segment.join);
    } else if (a == "--share") {
      fine = share(c.segment.share);
    } else if (a == "--threshold") {
      const std::optional<double> v = ToDouble(value);
      if (!v || !(*v >= 0.0 && *v <= 1.0))
        return bad("option '--threshold' needs a number from 0 to 1, not '" + value + "'");
      c.read.threshold = *v;
    } else if (a == "--marked") {
      fine = file(c.verb == Verb::kDetect    ? c.detect.marked
                  : c.verb == Verb::kSegment ? c.segment.marked
                                             : c.read.marked);
    } else if (a == "--refine") {
      struct Way {
        const char* name;
        EdgeRefine refine;
      };
      static constexpr Way kWays[] = {{"none", EdgeRefine::kNone},
                                      {"contour", EdgeRefine::kContour},
                                      {"image", EdgeRefine::kImage},
                                      {"line", EdgeRefine::kDispersion},
                                      {"line1", EdgeRefine::kDispersionFromCorner},
                                      {"line2", EdgeRefine::kImage},
                                      {"black", EdgeRefine::kBlack}};
      const Way* way = nullptr;
      for (const Way& w : kWays)
        if (value == w.name) way = &w;
      if (way == nullptr)
        return bad("option '--refine' takes none, contour, image, line, line1, line2 or black, not '" + value +
                   "'");
      c.read.refine = way->refine;
    } else if (a == "--logs") {
      fine = file(c.read.logs);
    } else if (a == "--chart") {
      fine = file(c.histogram.chart);
    } else if (a == "--area") {
      const std::optional<RECT> r = ToRect(value);
      if (!r || r->left < 0 || r->top < 0 || r->right < r->left || r->bottom < r->top)
        return bad(
            "option '--area' needs LEFT,TOP,RIGHT,BOTTOM, whole numbers with LEFT <= RIGHT and TOP <= "
            "BOTTOM, not '" +
            value + "'");
      c.histogram.whole = false;
      c.histogram.area = *r;
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
  // The logs are the refinement's: without one there are none to keep.
  if (!c.read.logs.empty() && c.read.refine == EdgeRefine::kNone)
    return bad("option '--logs' needs --refine (the logs are those of the refinement's searches)");
  return c;
}

}  // namespace vxcli
