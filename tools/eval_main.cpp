// vexolith-eval: the read rate of the reader over generated pictures.
//   vexolith-eval [--set NAME[,NAME...]|all] [--count N] [--seed S] [--jobs N] [--list] [--dir DIR]
//                 [--render-only] [--max-skew S] [--max-blur B] [--max-noise N] [--max-gradient G]
//                 [--refine MODE[,MODE...]]
// Draws N pictures of each named condition set (default "random", the
// original mixed set) and reads each in memory through ReadForEval with the
// expected rows and columns, on --jobs threads. Prints per set: pictures,
// wholly right (every verdict right and every corner within a quarter cell),
// wrong but reported read (the worst outcome, counted apart), failed. The
// "random" set adds its table by size, cells and nearness to the ambiguous
// 45-degree turns; "sizes" a table by figure size; "multi" reads every
// figure and counts figures found and pictures with a false figure; "harsh"
// a table by each condition. Every one-figure picture is also read on its
// true corners by the reader's cell step alone: a picture that step cannot
// read right is beyond reach of any search, and is counted apart. --list
// adds a line per picture not read wholly right; --dir DIR writes those
// pictures there as bitmap files with their truth as JSON. The --max-*
// flags narrow or widen the random set's spoiling. --render-only draws the
// pictures without reading them and prints how long that took. --refine
// prints instead the corner error of the figures read right, with each
// refinement of their sides (none, contour, image, line, line1, line2, black).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/condition_sets.h"
#include "tools/corner_accuracy.h"
#include "tools/random_params.h"
#include "tools/read_rate.h"
#include "tools/truth_json.h"

namespace {

struct Case {
  const vxgen::ConditionSet* set = nullptr;
  int index = 0;
  vxgen::FigureParams params;
  vxgen::Score score;
  vxgen::PageScore page;
  std::string fault;
  bool reach = true;        // the cells read right on the true corners (one-figure pictures)
  std::string reach_fault;  // why not, when the reader refused them there
  double cell = 0;          // the smallest cell side as seen, pixels
};

std::string SizeBin(double size) {
  if (size < 120) return "size 60-119";
  if (size < 250) return "size 120-249";
  if (size < 500) return "size 250-499";
  if (size < 1000) return "size 500-999";
  return "size 1000-1500";
}

std::string CellBin(int rows, int cols) {
  const int m = std::max(rows, cols);
  if (m <= 7) return "cells 4-7";
  if (m <= 11) return "cells 8-11";
  return "cells 12-16";
}

// Groups of a table in the order first seen.
struct Groups {
  std::vector<std::pair<std::string, vxgen::Tally>> rows;
  vxgen::Tally& operator[](const std::string& label) {
    for (auto& g : rows)
      if (g.first == label) return g.second;
    rows.emplace_back(label, vxgen::Tally{});
    return rows.back().second;
  }
};

void PrintGroups(std::FILE* out, const Groups& g) {
  for (const auto& [label, tally] : g.rows) std::fprintf(out, "%s\n", vxgen::TallyRow(label, tally).c_str());
}

// The original set's breakdown, as this tool has always printed it.
void PrintRandomDetail(std::FILE* out, const std::vector<const Case*>& cases) {
  Groups groups;
  for (const char* label : {"size 60-119", "size 120-249", "size 250-499", "size 500-999", "size 1000-1500",
                            "cells 4-7", "cells 8-11", "cells 12-16"})
    groups[label];
  vxgen::Tally near45;
  int near_failures = 0;
  for (const Case* c : cases) {
    groups[SizeBin(c->params.size)].Add(c->score);
    groups[CellBin(c->params.rows, c->params.cols)].Add(c->score);
    const bool near = vxcli::DegreesFromAmbiguity(c->params.angle) < 3.0;
    if (near) near45.Add(c->score);
    near_failures += near && !c->score.right;
  }
  PrintGroups(out, groups);
  std::fprintf(out, "%s\n", vxgen::TallyRow("within 3 deg of 45+k90", near45).c_str());
  std::fprintf(out, "failures within 3 degrees of an ambiguous turn: %d\n", near_failures);
}

void PrintSizesDetail(std::FILE* out, const std::vector<const Case*>& cases) {
  Groups groups;
  for (int k = 0; k < vxgen::kSetSizeCount; ++k) groups["size " + std::to_string(int(vxgen::kSetSizes[k]))];
  for (const Case* c : cases) groups["size " + std::to_string(int(c->params.size))].Add(c->score);
  PrintGroups(out, groups);
}

void PrintMultiDetail(std::FILE* out, const std::vector<const Case*>& cases) {
  int present = 0, found = 0, misread = 0, with_false = 0;
  for (const Case* c : cases) {
    present += c->page.present;
    found += c->page.found;
    misread += c->page.misread;
    with_false += c->page.false_figures > 0;
  }
  std::fprintf(out,
               "  figures found %d / %d (%.1f%%), misread %d, pictures with a false figure %d / %zu\n"
               "  (a picture is right when every figure is found and nothing else reported)\n",
               found, present, present ? 100.0 * found / present : 0.0, misread, with_false, cases.size());
}

// A group's read rate over all its pictures and over those within reach.
struct ReachTally {
  vxgen::Tally all;
  int beyond = 0;        // pictures whose cells read wrong even on the true corners
  int within_right = 0;  // pictures within reach read wholly right
  void Add(const Case& c) {
    all.Add(c.score);
    beyond += !c.reach;
    within_right += c.reach && c.score.right;
  }
};

std::string ReachRow(const std::string& label, const ReachTally& t) {
  char buf[200];
  const int within = t.all.pictures - t.beyond;
  std::snprintf(buf, sizeof buf, "%-24s %8d %8d (%5.1f%%) %9d %8d %7d %8d (%5.1f%%)", label.c_str(),
                t.all.pictures, t.all.right, t.all.pictures ? 100.0 * t.all.right / t.all.pictures : 0.0,
                t.all.wrong_ok, t.all.failed, t.beyond, t.within_right,
                within ? 100.0 * t.within_right / within : 0.0);
  return buf;
}

// The label of the bin holding v among the upper bounds `tops` (the last
// bin open above).
using Label = std::pair<int, std::string>;  // order in the table, text

Label Bin(const char* what, double v, std::initializer_list<double> tops, const char* unit) {
  double lo = 0;
  int order = 0;
  char buf[80];
  for (double top : tops) {
    if (v < top) {
      std::snprintf(buf, sizeof buf, "%s %g-%g%s", what, lo, top, unit);
      return {order, buf};
    }
    lo = top;
    ++order;
  }
  std::snprintf(buf, sizeof buf, "%s >= %g%s", what, lo, unit);
  return {order, buf};
}

Label Either(bool yes, const char* with, const char* without) {
  return yes ? Label{1, with} : Label{0, without};
}

// The harsh set by each condition alone: every picture falls in one bin of
// each condition, so each block of rows adds up to the whole set.
void PrintByCondition(std::FILE* out, const std::vector<const Case*>& cases) {
  std::vector<std::function<Label(const Case&)>> conditions = {
      [](const Case& c) {
        return Bin("tilt", c.params.tilt, {15, 30, 45}, " deg");
      },
      [](const Case& c) {
        return Bin("cell", c.cell, {6, 10, 20}, " px");
      },
      [](const Case& c) {
        return Bin("blur", c.params.blur, {0.5, 1, 1.5}, " px");
      },
      [](const Case& c) {
        return Bin("contrast", c.params.paper - c.params.ink, {40, 80, 140}, "");
      },
      [](const Case& c) {
        return Bin("noise/contrast", c.params.noise / (c.params.paper - c.params.ink), {0.1, 0.2, 0.35}, "");
      },
      [](const Case& c) { return Either(c.params.shadow > 0, "shadow", "no shadow"); },
      [](const Case& c) {
        if (c.params.jpeg == 0) return Label{-1, "no jpeg"};
        return Bin("jpeg quality", c.params.jpeg, {50, 70}, "");
      },
      [](const Case& c) { return Either(c.params.clutter > 0, "clutter", "no clutter"); },
  };
  std::fprintf(out, "  by condition; beyond: cells read wrong even on the true corners\n");
  std::fprintf(out, "  %-22s %8s %16s %9s %8s %7s %17s\n", "group", "pictures", "right", "wrong-ok", "failed",
               "beyond", "right within reach");
  for (const auto& condition : conditions) {
    std::vector<std::pair<Label, ReachTally>> bins;
    for (const Case* c : cases) {
      const Label label = condition(*c);
      auto it = std::find_if(bins.begin(), bins.end(), [&](const auto& b) { return b.first == label; });
      if (it == bins.end()) it = bins.insert(bins.end(), {label, ReachTally{}});
      it->second.Add(*c);
    }
    std::sort(bins.begin(), bins.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [label, tally] : bins)
      std::fprintf(out, "  %s\n", ReachRow(label.second, tally).c_str());
  }
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: vexolith-eval [--set NAME[,NAME...]|all] [--count N] [--seed S] [--jobs N] [--list]\n"
      "                     [--dir DIR] [--max-skew S] [--max-blur B] [--max-noise N] [--max-gradient G]\n"
      "                     [--refine none,contour,image,line,line1,line2,black]\n"
      "sets:\n");
  for (const vxgen::ConditionSet& s : vxgen::ConditionSets())
    std::fprintf(stderr, "  %-12s %s\n", s.name.c_str(), s.about.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 300, jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::uint32_t seed = 1;
  std::string dir, set_names = "random", refine;
  bool list = false, render_only = false;
  vxgen::SetLimits limits;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--list")
      list = true;
    else if (a == "--render-only")
      render_only = true;
    else if (i + 1 < argc && a == "--set")
      set_names = argv[++i];
    else if (i + 1 < argc && a == "--count")
      count = std::max(0, std::atoi(argv[++i]));
    else if (i + 1 < argc && a == "--seed")
      seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else if (i + 1 < argc && a == "--dir")
      dir = argv[++i];
    else if (i + 1 < argc && a == "--max-skew")
      limits.max_skew = std::atof(argv[++i]);
    else if (i + 1 < argc && a == "--max-blur")
      limits.max_blur = std::atof(argv[++i]);
    else if (i + 1 < argc && a == "--max-noise")
      limits.max_noise = std::atof(argv[++i]);
    else if (i + 1 < argc && a == "--max-gradient")
      limits.max_gradient = std::atof(argv[++i]);
    else if (i + 1 < argc && a == "--refine")
      refine = argv[++i];
    else if (i + 1 < argc && a == "--jobs")
      jobs = std::max(1, std::atoi(argv[++i]));
    else
      return Usage();
  }
  std::vector<const vxgen::ConditionSet*> sets;
  if (set_names == "all") {
    for (const vxgen::ConditionSet& s : vxgen::ConditionSets()) sets.push_back(&s);
  } else {
    for (std::size_t at = 0; at <= set_names.size();) {
      const std::size_t end = std::min(set_names.find(',', at), set_names.size());
      const vxgen::ConditionSet* s = vxgen::FindConditionSet(set_names.substr(at, end - at));
      if (!s) return Usage();
      sets.push_back(s);
      at = end + 1;
    }
  }

  // The library's per-region lines go nowhere; the table goes to the real output.
  std::fflush(stdout);
  std::FILE* out = fdopen(dup(STDOUT_FILENO), "w");
  const int null_fd = open("/dev/null", O_WRONLY);
  dup2(null_fd, STDOUT_FILENO);
  close(null_fd);
  if (!refine.empty()) {
    const int status = vxgen::PrintCornerAccuracy(out, sets, count, seed, limits, jobs, refine);
    std::fclose(out);
    return status;
  }

  std::vector<Case> cases;
  for (const vxgen::ConditionSet* s : sets)
    for (int k = 0; k < count; ++k) {
      cases.emplace_back();
      cases.back().set = s, cases.back().index = k;
    }
  const int total = static_cast<int>(cases.size());
  std::atomic<int> next{0}, unwritten{0};
  std::atomic<double> pixels{0.0}, largest{0.0};
  const auto start = std::chrono::steady_clock::now();
  auto work = [&] {
    for (int k = next++; k < total; k = next++) {
      Case& c = cases[k];
      c.params =
          c.set->name == "random" ? vxgen::RandomParams(seed, c.index, limits) : c.set->make(seed, c.index);
      const vxgen::TestPicture t = vxgen::Render(c.params);
      if (render_only) {
        const double n = static_cast<double>(t.picture.width) * t.picture.height;
        pixels += n;
        for (double m = largest; n > m && !largest.compare_exchange_weak(m, n);) {
        }
        continue;
      }
      const bool all = c.params.figures > 1;
      const vxgen::Reading r = vxgen::ReadTestPicture(t, all);
      c.page = vxgen::ScorePage(t.figures, r);
      c.score = all ? vxgen::PageAsScore(t.figures, c.page) : vxgen::ScoreReading(t.truth, r);
      c.fault = r.fault;
      if (!all) {
        c.cell = 1e9;
        for (int k = 0; k < 4; ++k) c.cell = std::min(c.cell, 4 * vxgen::CornerTolerance(t.truth, k));
        std::vector<std::uint8_t> storage;
        const vxgen::Reading oracle = vxgen::ReadCellsOnCorners(vxgen::PictureImg(t.picture, storage),
                                                                t.truth.rows, t.truth.cols, t.truth.corners);
        c.reach = vxgen::ScoreReading(t.truth, oracle).right;
        c.reach_fault = oracle.ok ? "cells read wrong" : oracle.fault;
      }
      if (!c.score.right && !dir.empty()) {
        const std::string base =
            dir + "/" + c.set->name + "-" + std::to_string(seed) + "-" + std::to_string(c.index);
        unwritten += !vxgen::WriteBmp(base + ".bmp", t.picture) ||
                     !vxgen::WriteText(base + ".json", vxgen::TruthJson(c.params, t));
      }
    }
  };
  std::vector<std::thread> threads;
  for (int w = 0; w < std::min(jobs, std::max(total, 1)); ++w) threads.emplace_back(work);
  for (std::thread& t : threads) t.join();
  if (render_only) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(out, "drew %d pictures, %.1f megapixels (the largest %.1f), in %.2f s on %d threads\n",
                 total, pixels / 1e6, largest / 1e6, seconds, jobs);
    std::fclose(out);
    return 0;
  }

  std::fprintf(
      out,
      "read rate, %d generated pictures per set (seed %u); right: every verdict right and every corner\n"
      "within max(1 px, a quarter cell); wrong-ok: reported read but not wholly right; turned: of those,\n"
      "right under another quarter turn\n",
      count, seed);
  std::fprintf(out, "%s\n", vxgen::TallyHeader().c_str());
  for (const vxgen::ConditionSet* s : sets) {
    ReachTally tally;
    std::vector<const Case*> mine;
    for (const Case& c : cases)
      if (c.set == s) tally.Add(c), mine.push_back(&c);
    std::fprintf(out, "%s\n", vxgen::TallyRow(s->name, tally.all).c_str());
    if (tally.beyond > 0)
      std::fprintf(out, "  beyond reach %d; within reach %d of %d read right (%.1f%%)\n", tally.beyond,
                   tally.within_right, tally.all.pictures - tally.beyond,
                   100.0 * tally.within_right / std::max(1, tally.all.pictures - tally.beyond));
    if (s->name == "harsh") PrintByCondition(out, mine);
    if (s->name == "random") PrintRandomDetail(out, mine);
    if (s->name == "sizes") PrintSizesDetail(out, mine);
    if (s->name == "multi") PrintMultiDetail(out, mine);
  }
  if (list) {
    for (const Case& c : cases) {
      if (c.score.right) continue;
      std::fprintf(out, "%s #%d %s: %s%s, %d wrong, corner error %.1f%s\n", c.set->name.c_str(), c.index,
                   vxgen::DescribeParams(c.params).c_str(), c.score.read ? "read" : c.fault.c_str(),
                   c.score.turned ? " (turned)" : "", c.score.wrong, c.score.corner_error,
                   c.reach ? "" : (" (beyond reach: " + c.reach_fault + ")").c_str());
    }
  }
  if (unwritten > 0)
    std::fprintf(stderr, "vexolith-eval: %d pictures could not be written to %s\n", unwritten.load(),
                 dir.c_str());
  std::fclose(out);
  return 0;
}
