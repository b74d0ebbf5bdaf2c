// vexolith-gen: draws a test picture, writes its truth as JSON next to it
// (OUT with the extension .json) and prints its expected reading.
//   vexolith-gen OUT.bmp|OUT.jpg [--set NAME] [--index I] [--seed N] [--random INDEX]
//                [--rows R] [--cols C] [--size PX] [--angle DEG] [--skew S] [--blur SIGMA]
//                [--noise SIGMA] [--gradient G] [--margin M] [--tilt DEG] [--tilt-axis DEG]
//                [--distance D] [--fill F] [--paper L] [--ink L] [--lighting L] [--shadow S]
//                [--shadow-soft PX] [--jpeg Q] [--clutter N] [--figures N]
//   vexolith-gen OUT.bmp --sample
// --set NAME --index I takes every setting from picture I of that condition
// set for --seed (vexolith-eval --set NAME draws the same pictures); --random
// INDEX is picture INDEX of the original random set; --sample draws the
// shipped sample picture. Flags after these change single settings. A name
// ending in .jpg or .jpeg is written as a JPEG file (at the --jpeg quality,
// else 95). Prints "rows cols" as seen, then the verdict rows of the first
// figure.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/bmp_file.h"
#include "tools/condition_sets.h"
#include "tools/jpeg_round_trip.h"
#include "tools/random_params.h"
#include "tools/sample_params.h"
#include "tools/truth_json.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: vexolith-gen OUT.bmp|OUT.jpg [--set NAME] [--index I] [--seed N] [--random INDEX]\n"
      "         [--rows R] [--cols C] [--size PX] [--angle DEG] [--skew S] [--blur SIGMA] [--noise SIGMA]\n"
      "         [--gradient G] [--margin M] [--tilt DEG] [--tilt-axis DEG] [--distance D] [--fill F]\n"
      "         [--paper L] [--ink L] [--lighting L] [--shadow S] [--shadow-soft PX] [--jpeg Q]\n"
      "         [--clutter N] [--figures N]\n"
      "       vexolith-gen OUT.bmp --sample\n");
  return 2;
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help") return Usage();
  // Where the settings come from is decided first, so single flags can change them.
  std::uint32_t seed = 1;
  int random_index = -1, index = 0;
  std::string set;
  bool sample = false;
  for (int i = 2; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--sample")
      sample = true;
    else if (i + 1 < argc && flag == "--seed")
      seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else if (i + 1 < argc && flag == "--random")
      random_index = std::atoi(argv[++i]);
    else if (i + 1 < argc && flag == "--set")
      set = argv[++i];
    else if (i + 1 < argc && flag == "--index")
      index = std::atoi(argv[++i]);
    else if (flag.rfind("--", 0) == 0 && i + 1 < argc)
      ++i;
  }
  vxgen::FigureParams params;
  params.seed = seed;
  if (sample) params = vxgen::SampleParams();
  if (random_index >= 0) params = vxgen::RandomParams(seed, random_index);
  if (!set.empty()) {
    const vxgen::ConditionSet* s = vxgen::FindConditionSet(set);
    if (!s) {
      std::fprintf(stderr, "vexolith-gen: unknown set %s\n", set.c_str());
      return 2;
    }
    params = s->make(seed, index);
  }
  for (int i = 2; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--sample") continue;
    if (i + 1 >= argc) {
      std::fprintf(stderr, "vexolith-gen: %s needs a value\n", flag.c_str());
      return 2;
    }
    const char* v = argv[++i];
    if (flag == "--seed" || flag == "--random" || flag == "--set" || flag == "--index") continue;
    double* value = flag == "--size"          ? &params.size
                    : flag == "--angle"       ? &params.angle
                    : flag == "--skew"        ? &params.skew
                    : flag == "--blur"        ? &params.blur
                    : flag == "--noise"       ? &params.noise
                    : flag == "--gradient"    ? &params.gradient
                    : flag == "--margin"      ? &params.margin
                    : flag == "--tilt"        ? &params.tilt
                    : flag == "--tilt-axis"   ? &params.tilt_axis
                    : flag == "--distance"    ? &params.distance
                    : flag == "--fill"        ? &params.fill
                    : flag == "--paper"       ? &params.paper
                    : flag == "--ink"         ? &params.ink
                    : flag == "--lighting"    ? &params.lighting
                    : flag == "--shadow"      ? &params.shadow
                    : flag == "--shadow-soft" ? &params.shadow_soft
                                              : nullptr;
    int* count = flag == "--rows"      ? &params.rows
                 : flag == "--cols"    ? &params.cols
                 : flag == "--jpeg"    ? &params.jpeg
                 : flag == "--clutter" ? &params.clutter
                 : flag == "--figures" ? &params.figures
                                       : nullptr;
    if (value)
      *value = std::atof(v);
    else if (count)
      *count = std::atoi(v);
    else {
      std::fprintf(stderr, "vexolith-gen: unknown option %s\n", flag.c_str());
      return 2;
    }
  }
  if (params.rows < 3 || params.cols < 3 || params.rows > 200 || params.cols > 200 ||
      !(params.size >= 8 && params.size <= 20000) || !(params.tilt >= 0 && params.tilt <= 80) ||
      params.jpeg < 0 || params.jpeg > 100 || params.clutter < 0 || params.clutter > 50 ||
      !(params.fill >= 0 && params.fill <= 1)) {
    std::fprintf(stderr,
                 "vexolith-gen: rows and cols must be 3..200, size 8..20000, tilt 0..80, jpeg 0..100, "
                 "clutter 0..50 and fill 0..1\n");
    return 2;
  }
  const std::string out = argv[1];
  const bool as_jpeg = EndsWith(out, ".jpg") || EndsWith(out, ".jpeg");
  // A JPEG file is compressed once, at the quality the settings give.
  const int quality = params.jpeg > 0 ? params.jpeg : 95;
  vxgen::FigureParams drawn = params;
  if (as_jpeg) drawn.jpeg = 0;
  const vxgen::TestPicture t = vxgen::Render(drawn);
  bool written;
  if (as_jpeg) {
    const std::vector<std::uint8_t> bytes = vxgen::EncodeJpeg(t.picture, quality);
    std::FILE* f = std::fopen(out.c_str(), "wb");
    written = f && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = (f && std::fclose(f) == 0) && written;
  } else {
    written = vxgen::WriteBmp(out, t.picture);
  }
  const std::size_t dot = out.find_last_of('.'), slash = out.find_last_of('/');
  const std::string json =
      (dot != std::string::npos && (slash == std::string::npos || dot > slash) ? out.substr(0, dot) : out) +
      ".json";
  if (!written || !vxgen::WriteText(json, vxgen::TruthJson(params, t))) {
    std::fprintf(stderr, "vexolith-gen: cannot write %s\n", written ? json.c_str() : out.c_str());
    return 1;
  }
  std::printf("%d %d\n", t.truth.rows, t.truth.cols);
  for (const std::string& row : vxgen::VerdictRows(t.truth.rows, t.truth.cols, t.truth.black))
    std::printf("%s\n", row.c_str());
  return 0;
}
