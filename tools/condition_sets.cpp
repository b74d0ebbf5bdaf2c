#include "tools/condition_sets.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "tools/random_params.h"

namespace vxgen {
namespace {

// The draws for one picture of a set.
class Draw {
 public:
  Draw(std::uint32_t seed, int index, std::uint32_t set)
      : rng_(seed * 2654435761u ^ static_cast<std::uint32_t>(index) * 40503u ^ set * 0x9e3779b9u) {}
  double Uniform(double lo, double hi) { return lo + (hi - lo) * (rng_() / 4294967296.0); }
  double Log(double lo, double hi) { return std::exp(Uniform(std::log(lo), std::log(hi))); }
  int Int(int lo, int hi) { return lo + static_cast<int>(rng_() % static_cast<std::uint32_t>(hi - lo + 1)); }
  bool Chance(double p) { return Uniform(0.0, 1.0) < p; }
  std::uint32_t Raw() { return rng_(); }

 private:
  std::mt19937 rng_;
};

// Pictures of the condition sets stay near a megapixel or two, so thousands
// are made and read in minutes; the "sizes" set alone goes up to 64 MP.
constexpr double kSetPixels = 2e6;

// Figures are seen at least this many degrees from the turn where the
// top edge is a toss-up (45 degrees plus a multiple of 90, for a square
// view), where a reading may fairly come out turned a quarter.
constexpr double kMinAmbiguity = 3.0;

// Smallest cell side, in pixels, in every set.
constexpr double kMinCell = 4.0;

// The clean base every set starts from: 4 to 16 cells a side (border ring
// included), 60 to 700 pixels across with cells of 4 pixels or more, turned
// anywhere but within 3 degrees of a toss-up, square-on, filling 30-90% of
// the picture, sharp, nearly noiseless, white paper and black ink, even light.
FigureParams Clean(Draw& d) {
  FigureParams p;
  p.rows = d.Int(4, 16);
  p.cols = d.Int(4, 16);
  p.size = std::max(d.Log(60.0, 700.0), kMinCell * std::max(p.rows, p.cols));
  p.angle = d.Uniform(0.0, 360.0);
  p.min_ambiguity = kMinAmbiguity;
  p.fill = d.Uniform(0.3, 0.9);
  p.max_pixels = kSetPixels;
  p.blur = d.Uniform(0.0, 0.5);
  p.noise = d.Uniform(0.0, 2.0);
  p.paper = d.Uniform(215.0, 245.0);
  p.ink = d.Uniform(20.0, 50.0);
  p.seed = d.Raw();
  return p;
}

double Cell(const FigureParams& p) { return p.size / std::max(p.rows, p.cols); }

void Tilt(FigureParams& p, Draw& d, double max_tilt) {
  p.tilt = d.Uniform(0.0, max_tilt);
  p.tilt_axis = d.Uniform(0.0, 360.0);
  p.distance = d.Uniform(1.5, 4.0);
}

// Blur up to sigma 2, but no more than 0.4 of a cell: past that a cell's
// own pixels are mostly its neighbours' light.
void Blur(FigureParams& p, Draw& d) { p.blur = std::min(d.Uniform(0.0, 2.0), 0.4 * Cell(p)); }

void Shadow(FigureParams& p, Draw& d) {
  p.shadow = d.Uniform(0.1, 0.5);
  // Half sharp, half soft over up to half a figure.
  p.shadow_soft = d.Chance(0.5) ? 0.0 : d.Uniform(2.0, std::max(2.0, 0.5 * p.size));
}

// Paper and ink 20 to 60 gray levels apart, anywhere in the gray range.
void Contrast(FigureParams& p, Draw& d) {
  const double gap = d.Uniform(20.0, 60.0);
  p.paper = d.Uniform(40.0 + gap, 245.0);
  p.ink = p.paper - gap;
}

// Every condition at once, each drawn over its range (shadow on half the
// pictures, JPEG on seven in ten, clutter on half). Noise is held to half
// the paper-ink gap: beyond that single pixels no longer tell paper from
// ink and only the reading of whole cells could.
void Harsh(FigureParams& p, Draw& d) {
  Tilt(p, d, 55.0);
  Blur(p, d);
  if (d.Chance(0.5)) Shadow(p, d);
  p.lighting = d.Uniform(0.0, 0.5);
  Contrast(p, d);
  p.paper = std::min(245.0, p.ink + d.Uniform(20.0, 200.0));
  p.noise = std::min(d.Uniform(0.0, 18.0), 0.5 * (p.paper - p.ink));
  if (d.Chance(0.7)) p.jpeg = d.Int(35, 95);
  if (d.Chance(0.5)) {
    p.clutter = d.Int(1, 3);
    p.fill = d.Uniform(0.6, 0.98);
  }
}

// The figure sizes of kSetSizes in turn (the longer side of the figure's box
// as seen, so an 8000-pixel figure fits a 64 MP picture at any turn), filling
// 20-98% of the picture (up to 64 MP: bigger pictures are cropped about the
// figure), mild tilt, blur and noise.
void Sizes(FigureParams& p, Draw& d, int index) {
  p.size = kSetSizes[index % kSetSizeCount];
  p.box_size = true;
  const int most = static_cast<int>(std::min(16.0, p.size / kMinCell));
  p.rows = std::min(p.rows, most);
  p.cols = std::min(p.cols, most);
  p.fill = d.Uniform(0.2, 0.98);
  p.max_pixels = 64e6;
  Tilt(p, d, 20.0);
  p.blur = d.Uniform(0.0, 1.0);
  p.noise = d.Uniform(0.0, 4.0);
}

// A set: the clean base, then its own spoiling. Picture `index` of the set
// made from `seed` draws from a stream of its own, numbered by the set's
// place in the table (1 for "clean"), so adding a set changes no other.
struct SetRule {
  const char* name;
  const char* about;  // one line: what varies and over what range
  void (*spoil)(FigureParams& p, Draw& d, int index);
};

constexpr SetRule kRules[] = {
    {"clean", "4-16 cells, 60-700 px, any turn, fill 30-90%, blur <= 0.5, noise <= 2",
     [](FigureParams&, Draw&, int) {}},
    {"tilt", "clean, camera tilted 0-55 deg about any axis, distance 1.5-4 sizes",
     [](FigureParams& p, Draw& d, int) { Tilt(p, d, 55.0); }},
    {"small-cells", "clean, cells of 4-8 px, 10-16 a side",
     [](FigureParams& p, Draw& d, int) {
       p.rows = d.Int(10, 16);
       p.cols = d.Int(10, 16);
       p.size = d.Uniform(kMinCell, 8.0) * std::max(p.rows, p.cols);
       p.blur = d.Uniform(0.0, 0.5);
     }},
    {"blur", "clean, blur sigma 0-2 px (at most 0.4 cell)",
     [](FigureParams& p, Draw& d, int) { Blur(p, d); }},
    {"noise", "clean, noise sigma 2-18 gray levels",
     [](FigureParams& p, Draw& d, int) { p.noise = d.Uniform(2.0, 18.0); }},
    {"shadow", "clean, a sharp or soft shadow edge darkening 10-50%",
     [](FigureParams& p, Draw& d, int) { Shadow(p, d); }},
    {"lighting", "clean, light falling 10-50% across the picture",
     [](FigureParams& p, Draw& d, int) { p.lighting = d.Uniform(0.1, 0.5); }},
    {"contrast", "clean, paper and ink 20-60 gray levels apart",
     [](FigureParams& p, Draw& d, int) { Contrast(p, d); }},
    {"jpeg", "clean, JPEG quality 35-95", [](FigureParams& p, Draw& d, int) { p.jpeg = d.Int(35, 95); }},
    // The picture frames the figure and the marks; marks spread a few figure
    // sizes about the figure, so smaller figures and a larger picture keep
    // most of them in view.
    {"clutter", "clean, 60-400 px, 1-4 blocks larger than the figure, outlined boxes, text",
     [](FigureParams& p, Draw& d, int) {
       p.clutter = d.Int(1, 4);
       p.fill = d.Uniform(0.6, 0.98);
       p.size = std::max(d.Log(60.0, 400.0), kMinCell * std::max(p.rows, p.cols));
       p.max_pixels = 2 * kSetPixels;
     }},
    {"harsh", "every condition above at once, each over its range",
     [](FigureParams& p, Draw& d, int) { Harsh(p, d); }},
    // Square figures of 4 to 12 cells a side, each 60 to 300 pixels.
    {"multi", "2-6 square figures on one page, tilt <= 30 deg",
     [](FigureParams& p, Draw& d, int) {
       p.rows = p.cols = d.Int(4, 12);
       p.size = std::max(d.Log(60.0, 300.0), kMinCell * p.rows);
       p.figures = d.Int(2, 6);
       p.fill = d.Uniform(0.6, 0.95);
       Tilt(p, d, 30.0);
     }},
    {"sizes", "figures 60-8000 px filling 20-98% (pictures up to 64 MP)", Sizes},
};

}  // namespace

const std::vector<ConditionSet>& ConditionSets() {
  static const std::vector<ConditionSet> sets = [] {
    std::vector<ConditionSet> v{
        {"random", "the original mix: 60-1500 px, slight skew, blur <= 1, noise <= 8, gradient <= 0.3",
         [](std::uint32_t seed, int index) { return RandomParams(seed, index); }}};
    for (std::uint32_t id = 1; id <= std::size(kRules); ++id) {
      const SetRule& rule = kRules[id - 1];
      v.push_back({rule.name, rule.about, [id, spoil = rule.spoil](std::uint32_t seed, int index) {
                     Draw d(seed, index, id);
                     FigureParams p = Clean(d);
                     spoil(p, d, index);
                     return p;
                   }});
    }
    return v;
  }();
  return sets;
}

const ConditionSet* FindConditionSet(const std::string& name) {
  for (const ConditionSet& s : ConditionSets())
    if (s.name == name) return &s;
  return nullptr;
}

}  // namespace vxgen
