#include "tools/corner_accuracy.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "tools/read_rate.h"
#include "vexolith/refine_reading.h"

namespace vxgen {
namespace {

using vexolith::EdgeRefine;

struct Mode {
  const char* name;
  EdgeRefine how;
  const char* about;
};
constexpr Mode kModes[] = {
    {"none", EdgeRefine::kNone, "the reader's corners"},
    {"contour", EdgeRefine::kContour, "CONTOUR::AccuracyLine"},
    {"image", EdgeRefine::kImage, "the command's --refine image"},
    {"line", EdgeRefine::kDispersion, "AccuracyLine"},
    {"line1", EdgeRefine::kDispersionFromCorner, "AccuracyLine1"},
    {"line2", EdgeRefine::kImage, "AccuracyLine2"},
    {"black", EdgeRefine::kBlack, "AccuracyLineBlack"},
};

// Per mode: every corner's error as refined and as kept, and counts.
struct Errors {
  std::vector<double> refined, kept;
  int fell_back = 0;      // figures whose reading kept the reader's corners
  int verdicts_lost = 0;  // figures read right before and wrong after
};

double Mean(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return v.empty() ? 0.0 : s / v.size();
}

// The q-quantile by the nearest rank.
double Quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const std::size_t rank = static_cast<std::size_t>(std::ceil(q * v.size()));
  return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

double CornerError(const Truth& truth, const std::array<vexolith::Point, 4>& c, int k) {
  return std::hypot(c[k].x - truth.corners[k].x, c[k].y - truth.corners[k].y);
}

}  // namespace

int PrintCornerAccuracy(std::FILE* out, const std::vector<const ConditionSet*>& sets, int count,
                        std::uint32_t seed, const SetLimits& limits, int jobs, const std::string& modes) {
  std::vector<const Mode*> chosen;
  for (std::size_t at = 0; at <= modes.size();) {
    const std::size_t end = std::min(modes.find(',', at), modes.size());
    const std::string name = modes.substr(at, end - at);
    const Mode* m = nullptr;
    for (const Mode& x : kModes)
      if (name == x.name) m = &x;
    if (!m) {
      std::fprintf(
          stderr,
          "vexolith-eval: unknown refinement '%s' (none, contour, image, line, line1, line2, black)\n",
          name.c_str());
      return 2;
    }
    chosen.push_back(m);
    at = end + 1;
  }

  for (const ConditionSet* set : sets) {
    std::vector<std::vector<Errors>> per_picture(count, std::vector<Errors>(chosen.size()));
    std::vector<char> measured(count, 0);
    std::atomic<int> next{0};
    auto work = [&] {
      for (int k = next++; k < count; k = next++) {
        const FigureParams params =
            set->name == "random" ? RandomParams(seed, k, limits) : set->make(seed, k);
        const TestPicture t = Render(params);
        std::vector<std::uint8_t> storage;
        const IMG picture = PictureImg(t.picture, storage);
        vexolith::ReaderOptions options;
        options.rows = t.truth.rows;
        options.cols = t.truth.cols;
        const vexolith::ReadResult r = vexolith::Read(picture, true, options);
        if (!r.ok) continue;
        const vexolith::FigureReading& found = r.figures[0];
        // Only figures read wholly right are measured: a figure read turned
        // or elsewhere has no true corners to compare with.
        bool right = std::vector<bool>(found.black.begin(), found.black.end()) == t.truth.black;
        for (int c = 0; c < 4 && right; ++c)
          right = CornerError(t.truth, found.corners, c) <= CornerTolerance(t.truth, c);
        if (!right) continue;
        measured[k] = 1;
        for (std::size_t m = 0; m < chosen.size(); ++m) {
          vexolith::FigureReading figure = found;
          vexolith::RefineOptions how;
          how.how = chosen[m]->how;
          const vexolith::RefineOutcome o = vexolith::RefineFigure(picture, true, figure, how);
          Errors& e = per_picture[k][m];
          const auto& refined = o.tried_valid ? o.tried : found.corners;
          for (int c = 0; c < 4; ++c) {
            e.refined.push_back(CornerError(t.truth, refined, c));
            e.kept.push_back(CornerError(t.truth, figure.corners, c));
          }
          e.fell_back += chosen[m]->how != EdgeRefine::kNone && !o.refined;
          e.verdicts_lost += std::vector<bool>(figure.black.begin(), figure.black.end()) != t.truth.black;
        }
      }
    };
    std::vector<std::thread> threads;
    for (int w = 0; w < std::clamp(jobs, 1, std::max(count, 1)); ++w) threads.emplace_back(work);
    for (std::thread& th : threads) th.join();

    const int pictures = static_cast<int>(std::count(measured.begin(), measured.end(), 1));
    std::fprintf(
        out,
        "corner error in pixels against the generator's corners, set %s (seed %u): %d of %d pictures\n"
        "read wholly right, 4 corners each; refined: the corners the refinement gave; kept: the\n"
        "corners the reading kept after the reader's checks\n",
        set->name.c_str(), seed, pictures, count);
    std::fprintf(out, "%-8s %8s %8s %8s   %8s %8s   %9s %9s  %s\n", "refine", "mean", "median", "p95",
                 "kept mean", "kept p95", "kept old", "verdicts", "search");
    for (std::size_t m = 0; m < chosen.size(); ++m) {
      Errors all;
      for (int k = 0; k < count; ++k) {
        const Errors& e = per_picture[k][m];
        all.refined.insert(all.refined.end(), e.refined.begin(), e.refined.end());
        all.kept.insert(all.kept.end(), e.kept.begin(), e.kept.end());
        all.fell_back += e.fell_back;
        all.verdicts_lost += e.verdicts_lost;
      }
      std::fprintf(out, "%-8s %8.3f %8.3f %8.3f   %9.3f %8.3f   %9d %9d  %s\n", chosen[m]->name,
                   Mean(all.refined), Quantile(all.refined, 0.5), Quantile(all.refined, 0.95), Mean(all.kept),
                   Quantile(all.kept, 0.95), all.fell_back, all.verdicts_lost, chosen[m]->about);
    }
    std::fprintf(out,
                 "kept old: figures whose reading kept the reader's corners; verdicts: figures read wrong\n"
                 "after the refinement\n");
  }
  return 0;
}

}  // namespace vxgen
