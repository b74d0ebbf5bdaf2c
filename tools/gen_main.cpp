// vexolith-gen: draws a test picture and prints its expected reading.
//   vexolith-gen OUT.bmp [--rows R] [--cols C] [--size PX] [--angle DEG] [--skew S]
//                [--blur SIGMA] [--noise SIGMA] [--gradient G] [--margin M] [--seed N]
//                [--random INDEX]
//   vexolith-gen OUT.bmp --sample
// --random INDEX takes every setting from picture INDEX of the random test
// set of --seed; --sample draws the shipped sample picture. Prints "rows
// cols" as seen, then the verdict rows.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/bmp_file.h"
#include "tools/random_params.h"
#include "tools/sample_params.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help") {
    std::fprintf(stderr,
                 "usage: vexolith-gen OUT.bmp [--rows R] [--cols C] [--size PX] [--angle DEG] [--skew S]\n"
                 "                    [--blur SIGMA] [--noise SIGMA] [--gradient G] [--margin M] [--seed N] "
                 "[--random INDEX]\n"
                 "       vexolith-gen OUT.bmp --sample\n");
    return 2;
  }
  vxgen::FigureParams params;
  int random_index = -1;
  for (int i = 2; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--sample") {
      params = vxgen::SampleParams();
      continue;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "vexolith-gen: %s needs a value\n", flag.c_str());
      return 2;
    }
    const char* v = argv[++i];
    if (flag == "--rows")
      params.rows = std::atoi(v);
    else if (flag == "--cols")
      params.cols = std::atoi(v);
    else if (flag == "--size")
      params.size = std::atof(v);
    else if (flag == "--angle")
      params.angle = std::atof(v);
    else if (flag == "--skew")
      params.skew = std::atof(v);
    else if (flag == "--blur")
      params.blur = std::atof(v);
    else if (flag == "--noise")
      params.noise = std::atof(v);
    else if (flag == "--gradient")
      params.gradient = std::atof(v);
    else if (flag == "--margin")
      params.margin = std::atof(v);
    else if (flag == "--seed")
      params.seed = static_cast<std::uint32_t>(std::strtoul(v, nullptr, 10));
    else if (flag == "--random")
      random_index = std::atoi(v);
    else {
      std::fprintf(stderr, "vexolith-gen: unknown option %s\n", flag.c_str());
      return 2;
    }
  }
  if (random_index >= 0) params = vxgen::RandomParams(params.seed, random_index);
  if (params.rows < 3 || params.cols < 3 || params.rows > 200 || params.cols > 200 ||
      !(params.size >= 8 && params.size <= 20000)) {
    std::fprintf(stderr, "vexolith-gen: rows and cols must be 3..200 and size 8..20000\n");
    return 2;
  }
  const vxgen::TestPicture t = vxgen::Render(params);
  if (!vxgen::WriteBmp(argv[1], t.picture)) {
    std::fprintf(stderr, "vexolith-gen: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%d %d\n", t.truth.rows, t.truth.cols);
  for (const std::string& row : vxgen::VerdictRows(t.truth.rows, t.truth.cols, t.truth.black))
    std::printf("%s\n", row.c_str());
  return 0;
}
