// vexolith-refine-eval: corner accuracy of the figure's corners as the read
// pipeline finds them, and after refining the four sides by the contour fit
// and by each image search.
//   vexolith-refine-eval [--count N] [--seed S] [--min-blur B] [--min-noise N]
//                        [--inset PX] [--end-shift PX] [--steps N]
// Pictures come from the random test set, with at least the given blur
// (default 0.3 pixels) and noise (default 2 gray levels). The error of a
// picture is the mean distance, in picture pixels, from each true corner to
// the nearest corner found. Only pictures whose figure was found count.
// --inset, --end-shift and --steps set the image searches' probes (see
// refine/figure_sides.h; a negative inset probes outside the figure).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/pipeline_figure.h"
#include "cli/pipeline_image.h"
#include "refine/figure_sides.h"
#include "tools/random_params.h"

namespace {

struct Method {
  const char* name;
  bool refine;
  vx::SideSearch search;
  std::vector<double> errors;
  int improved = 0;  // pictures whose error went down by more than 0.05 px
  int worse = 0;     // ... and up by more than 0.05 px
};

constexpr double kWrongFigure = 10.0;

double MeanCornerError(const std::array<vxcli::Pt, 4>& truth, const std::array<vxcli::Pt, 4>& found) {
  double sum = 0;
  for (const vxcli::Pt& t : truth) {
    double nearest = 1e300;
    for (const vxcli::Pt& f : found) nearest = std::min(nearest, std::hypot(f.x - t.x, f.y - t.y));
    sum += nearest;
  }
  return sum / 4;
}

// Working-image points (pixel centres at whole numbers) in picture pixels.
std::array<vxcli::Pt, 4> ToPicture(const std::array<vxcli::Pt, 4>& q, int factor) {
  std::array<vxcli::Pt, 4> out{};
  for (int k = 0; k < 4; ++k) out[k] = {(q[k].x + 0.5) * factor - 0.5, (q[k].y + 0.5) * factor - 0.5};
  return out;
}

double Arg(int argc, char** argv, const char* flag, double fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], flag) == 0) return std::atof(argv[i + 1]);
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = static_cast<int>(Arg(argc, argv, "--count", 300));
  const auto seed = static_cast<std::uint32_t>(Arg(argc, argv, "--seed", 11));
  const double min_blur = Arg(argc, argv, "--min-blur", 0.3);
  const double min_noise = Arg(argc, argv, "--min-noise", 2.0);
  vx::SideRefineOptions defaults;
  defaults.inset = Arg(argc, argv, "--inset", defaults.inset);
  defaults.end_shift = Arg(argc, argv, "--end-shift", defaults.end_shift);
  defaults.steps = static_cast<int>(Arg(argc, argv, "--steps", defaults.steps));

  // CONTOUR::Find prints a line per region: keep standard output for the table.
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  close(null);

  std::vector<Method> methods = {
      {"none", false, vx::SideSearch::kContour, {}},
      {"contour", true, vx::SideSearch::kContour, {}},
      {"image: AccuracyLine", true, vx::SideSearch::kDispersion, {}},
      {"image: AccuracyLine1", true, vx::SideSearch::kDispersionFromCorner, {}},
      {"image: AccuracyLine2", true, vx::SideSearch::kRunCount, {}},
      {"image: AccuracyLineBlack", true, vx::SideSearch::kBlack, {}},
  };
  int unread = 0, wrong_figure = 0;
  for (int i = 0; i < count; ++i) {
    vxgen::FigureParams params = vxgen::RandomParams(seed, i);
    params.blur = std::max(params.blur, min_blur);
    params.noise = std::max(params.noise, min_noise);
    const vxgen::TestPicture t = vxgen::Render(params);

    // The picture as the pipeline sees it: gray, reduced, thresholded.
    const int w = t.picture.width, h = t.picture.height;
    const int stride = (w * 3 + 3) / 4 * 4;
    std::vector<unsigned char> bgr(static_cast<std::size_t>(stride) * h);
    for (int y = 0; y < h; ++y)
      std::memcpy(&bgr[static_cast<std::size_t>(y) * stride],
                  &t.picture.bgr[static_cast<std::size_t>(y) * w * 3], static_cast<std::size_t>(w) * 3);
    vxcli::LibraryImage gray(Img24To8(IMG{bgr.data(), w, stride, h, 1, 0}));
    if (!gray.valid()) {
      ++unread;
      continue;
    }
    // The pipeline's search: a region the fill may have cut is searched again
    // at a coarser size, a store full of specks at half the size.
    int factor = vxcli::ReductionFactor(w, h, 1200);
    vxcli::GrayImage work;
    vxcli::Figure figure;
    for (int attempt = 0; attempt < 3; ++attempt) {
      work = vxcli::ReduceByMean(gray.img(), factor);
      ThresholdImage(work.img(), static_cast<unsigned char>(vxcli::OtsuLevel(work)),
                     RECT{0, 0, work.width(), work.height()});
      figure = vxcli::FindFigure(work.img());
      const bool cut = figure.largest >= vxcli::kRegionMayBeCut;
      const bool specks = figure.store_full && !figure.found;
      if ((!cut && !specks) || attempt == 2) break;
      const int more = cut ? static_cast<int>(std::ceil(std::sqrt(figure.largest / 12000.0))) : 2;
      if (std::min(w, h) / (factor * more) < 4 * vxcli::kMinFigurePixels) break;
      factor *= more;
    }
    if (!figure.found) {
      ++unread;
      continue;
    }
    const RECT all{0, 0, work.width(), work.height()};
    auto store = std::make_unique<CONTOUR>();
    store->Find(work.img(), all, 0, 0);

    const std::array<vxcli::Pt, 4>& o = figure.outline;  // p1, p3, p2, p4
    // A picture whose found corners are far from the truth shows a wrong
    // figure, not a corner's accuracy: counted apart.
    if (MeanCornerError(t.truth.corners, ToPicture(o, factor)) > kWrongFigure) {
      ++wrong_figure;
      continue;
    }
    double baseline = 0;
    for (Method& m : methods) {
      std::array<vxcli::Pt, 4> outline = o;
      if (m.refine) {
        FOUR_FIG_Pd c{{o[0].x, o[0].y}, {o[2].x, o[2].y}, {o[1].x, o[1].y}, {o[3].x, o[3].y}};
        vx::SideRefineOptions options = defaults;
        options.search = m.search;
        vx::RefineFigureSides(work.img(), c, options, store.get(), figure.region);
        outline = {vxcli::Pt{c.p1.x, c.p1.y}, vxcli::Pt{c.p3.x, c.p3.y}, vxcli::Pt{c.p2.x, c.p2.y},
                   vxcli::Pt{c.p4.x, c.p4.y}};
      }
      const double e = MeanCornerError(t.truth.corners, ToPicture(outline, factor));
      if (!m.refine) baseline = e;
      m.errors.push_back(e);
      m.improved += e < baseline - 0.05;
      m.worse += e > baseline + 0.05;
    }
  }

  std::fflush(stdout);
  dup2(saved_stdout, 1);
  close(saved_stdout);
  std::printf(
      "%d pictures (seed %u, blur >= %.2f px, noise >= %.1f levels): %d without a figure, %d with a "
      "figure off by more than %.0f px, %d measured\n",
      count, seed, min_blur, min_noise, unread, wrong_figure, kWrongFigure,
      static_cast<int>(methods[0].errors.size()));
  std::printf("%-26s %10s %10s %10s %8s %8s\n", "refinement", "mean px", "median px", "90% px", "better",
              "worse");
  for (Method& m : methods) {
    std::vector<double> e = m.errors;
    std::sort(e.begin(), e.end());
    double sum = 0;
    for (double v : e) sum += v;
    const std::size_t n = e.size();
    std::printf("%-26s %10.3f %10.3f %10.3f %8d %8d\n", m.name, n ? sum / n : 0.0, n ? e[n / 2] : 0.0,
                n ? e[n * 9 / 10] : 0.0, m.improved, m.worse);
  }
  return 0;
}
