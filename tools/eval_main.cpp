// vexolith-eval: the read rate of the command's pipeline over a random set of
// generated pictures.
//   vexolith-eval [--count N] [--seed S] [--dir DIR] [--jobs N] [--list]
//                 [--max-skew S] [--max-blur B] [--max-noise N] [--max-gradient G]
// Each picture is written as a bitmap file into DIR (a fresh temporary folder
// by default, removed afterwards) and read back through the same pipeline
// functions as `vexolith read`, with the expected rows and columns. Prints
// the table by size, by cells and by nearness to the ambiguous 45-degree
// turns; --list adds a line per picture not read wholly right. The --max-*
// flags widen or narrow the set's spoiling (defaults: the set's limits).
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/random_params.h"
#include "tools/read_rate.h"

namespace {

struct Case {
  vxgen::FigureParams params;
  vxgen::Score score;
  std::string fault;
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

}  // namespace

int main(int argc, char** argv) {
  int count = 300, jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::uint32_t seed = 1;
  std::string dir;
  bool list = false;
  vxgen::SetLimits limits;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--list") {
      list = true;
    } else if (i + 1 < argc && a == "--count") {
      count = std::atoi(argv[++i]);
    } else if (i + 1 < argc && a == "--seed") {
      seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (i + 1 < argc && a == "--dir") {
      dir = argv[++i];
    } else if (i + 1 < argc && a == "--max-skew") {
      limits.max_skew = std::atof(argv[++i]);
    } else if (i + 1 < argc && a == "--max-blur") {
      limits.max_blur = std::atof(argv[++i]);
    } else if (i + 1 < argc && a == "--max-noise") {
      limits.max_noise = std::atof(argv[++i]);
    } else if (i + 1 < argc && a == "--max-gradient") {
      limits.max_gradient = std::atof(argv[++i]);
    } else if (i + 1 < argc && a == "--jobs") {
      jobs = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr,
                   "usage: vexolith-eval [--count N] [--seed S] [--dir DIR] [--jobs N] [--list]\n"
                   "                     [--max-skew S] [--max-blur B] [--max-noise N] [--max-gradient G]\n");
      return 2;
    }
  }
  const bool own_dir = dir.empty();
  if (own_dir) {
    char tmpl[] = "/tmp/vexolith-eval-XXXXXX";
    if (mkdtemp(tmpl) == nullptr) {
      std::perror("vexolith-eval: temporary folder");
      return 1;
    }
    dir = tmpl;
  }
  // The library's per-region lines go nowhere; the table goes to the real output.
  std::fflush(stdout);
  std::FILE* out = fdopen(dup(STDOUT_FILENO), "w");
  const int null_fd = open("/dev/null", O_WRONLY);
  dup2(null_fd, STDOUT_FILENO);
  close(null_fd);

  std::vector<Case> cases(count);
  std::atomic<int> next{0};
  auto work = [&] {
    for (int k = next++; k < count; k = next++) {
      Case& c = cases[k];
      c.params = vxgen::RandomParams(seed, k, limits);
      const vxgen::TestPicture t = vxgen::Render(c.params);
      const std::string path = dir + "/pic" + std::to_string(k) + ".bmp";
      vexolith::ReadResult r;
      if (!vxgen::WriteBmp(path, t.picture)) {
        r.fault = "cannot write " + path;
      } else {
        vexolith::ReaderOptions options;
        options.rows = t.truth.rows;
        options.cols = t.truth.cols;
        r = vexolith::ReadFile(path, options);
        if (own_dir) std::filesystem::remove(path);
      }
      c.score = vxgen::ScoreReading(t.truth, r);
      c.fault = r.fault;
    }
  };
  std::vector<std::thread> threads;
  for (int w = 0; w < jobs; ++w) threads.emplace_back(work);
  for (std::thread& t : threads) t.join();
  if (own_dir) std::filesystem::remove_all(dir);

  vxgen::Tally all, near45, turned;
  std::vector<std::pair<std::string, vxgen::Tally>> groups;
  auto group = [&](const std::string& label) -> vxgen::Tally& {
    for (auto& g : groups)
      if (g.first == label) return g.second;
    groups.emplace_back(label, vxgen::Tally{});
    return groups.back().second;
  };
  for (const char* label : {"size 60-119", "size 120-249", "size 250-499", "size 500-999", "size 1000-1500",
                            "cells 4-7", "cells 8-11", "cells 12-16"})
    group(label);
  int turned_failures = 0, near_failures = 0;
  for (const Case& c : cases) {
    all.Add(c.score);
    group(SizeBin(c.params.size)).Add(c.score);
    group(CellBin(c.params.rows, c.params.cols)).Add(c.score);
    const bool near = vxcli::DegreesFromAmbiguity(c.params.angle) < 3.0;
    if (near) near45.Add(c.score);
    const bool failed = !(c.score.read && c.score.wrong == 0);
    near_failures += failed && near;
    turned_failures += failed && c.score.turned;
  }
  std::fprintf(out, "read rate over %d generated pictures (seed %u)\n", count, seed);
  std::fprintf(out, "%-22s %8s %8s %8s %s\n", "group", "pictures", "right", "unread", "cells wrong");
  std::fprintf(out, "%s\n", vxgen::TallyRow("all", all).c_str());
  for (const auto& g : groups) std::fprintf(out, "%s\n", vxgen::TallyRow(g.first, g.second).c_str());
  std::fprintf(out, "%s\n", vxgen::TallyRow("within 3 deg of 45+k90", near45).c_str());
  std::fprintf(
      out,
      "failures within 3 degrees of an ambiguous turn: %d; failures right under another quarter turn: %d\n",
      near_failures, turned_failures);
  if (list) {
    for (int k = 0; k < count; ++k) {
      const Case& c = cases[k];
      if (c.score.read && c.score.wrong == 0) continue;
      std::fprintf(
          out,
          "#%d %dx%d size %.0f angle %.1f skew %.3f blur %.2f noise %.1f gradient %.2f: %s%s, %d wrong, "
          "corner error %.1f\n",
          k, c.params.rows, c.params.cols, c.params.size, c.params.angle, c.params.skew, c.params.blur,
          c.params.noise, c.params.gradient, c.score.read ? "read" : c.fault.c_str(),
          c.score.turned ? " (turned)" : "", c.score.wrong, c.score.corner_error);
    }
  }
  std::fclose(out);
  return 0;
}
