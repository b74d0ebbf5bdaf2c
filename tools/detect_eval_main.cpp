// vexolith-detect-eval: how many code figures DetectCode finds in generated
// pictures with text-like clutter, and how many false regions it returns.
//   vexolith-detect-eval [--pictures N] [--seed S] [--factor F] [--width W] [--height H]
//                        [--paragraphs N] [--save DIR] [--list]
// A returned rectangle finds a figure when it covers at least 90 % of the
// figure and the figure is at least 10 % of the rectangle (the widening adds
// a ring of cells, so a match is looser than the figure). A rectangle that
// finds no figure is a false region. --save writes each picture as a bitmap
// with the found rectangles outlined in gray; --list prints a line per
// picture with a missed figure or a false region.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/code_picture.h"
#include "vexolith.h"

namespace {

struct Options {
  int pictures = 100;
  unsigned seed = 1;
  int factor = 2;
  int width = 1600, height = 1200;
  int paragraphs = 6;  // text blocks tried per picture; 0 leaves the figures alone
  std::string save;
  bool list = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto number = [&](int& out) {
      if (i + 1 >= argc) return false;
      out = std::atoi(argv[++i]);
      return out > 0;
    };
    int seed = 0;
    if (a == "--pictures") {
      if (!number(o.pictures)) return false;
    } else if (a == "--seed") {
      if (!number(seed)) return false;
      o.seed = static_cast<unsigned>(seed);
    } else if (a == "--factor") {
      if (!number(o.factor)) return false;
    } else if (a == "--width") {
      if (!number(o.width) || o.width < 400) return false;
    } else if (a == "--height") {
      if (!number(o.height) || o.height < 400) return false;
    } else if (a == "--paragraphs" && i + 1 < argc) {
      o.paragraphs = std::max(0, std::atoi(argv[++i]));
    } else if (a == "--save" && i + 1 < argc) {
      o.save = argv[++i];
    } else if (a == "--list") {
      o.list = true;
    } else {
      return false;
    }
  }
  return true;
}

long long Area(int l, int t, int r, int b) { return r > l && b > t ? 1LL * (r - l) * (b - t) : 0; }

bool Finds(const RECT& r, const vxgen::CodeBox& c) {
  const long long inter = Area(std::max(r.left, c.left), std::max(r.top, c.top), std::min(r.right, c.right),
                               std::min(r.bottom, c.bottom));
  const long long code = Area(c.left, c.top, c.right, c.bottom),
                  rect = Area(r.left, r.top, r.right, r.bottom);
  return inter * 10 >= code * 9 && code * 10 >= rect;
}

void Save(const std::string& path, const vxgen::CodePicture& p, const std::vector<RECT>& rects) {
  vxgen::Picture out;
  out.width = p.width, out.height = p.height;
  out.bgr.resize(static_cast<size_t>(p.width) * p.height * 3);
  for (size_t i = 0; i < p.gray.size(); ++i) std::memset(&out.bgr[3 * i], p.gray[i], 3);
  auto mark = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < p.width && y < p.height) {
      std::uint8_t* px = &out.bgr[3 * (static_cast<size_t>(y) * p.width + x)];
      px[0] = 0, px[1] = 160, px[2] = 255;
    }
  };
  for (const RECT& r : rects) {
    for (int x = r.left; x < r.right; ++x) mark(x, r.top), mark(x, r.bottom - 1);
    for (int y = r.top; y < r.bottom; ++y) mark(r.left, y), mark(r.right - 1, y);
  }
  if (!vxgen::WriteBmp(path, out)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(
        stderr,
        "usage: vexolith-detect-eval [--pictures N] [--seed S] [--factor F] [--width W] [--height H] "
        "[--paragraphs N] [--save DIR] [--list]\n");
    return 2;
  }
  int codes = 0, found = 0, rects_total = 0, false_regions = 0;
  for (int n = 0; n < o.pictures; ++n) {
    vxgen::CodePictureParams params;
    params.width = o.width, params.height = o.height,
    params.seed = o.seed * 100003u + static_cast<unsigned>(n);
    params.paragraphs = o.paragraphs;
    const vxgen::CodePicture picture = vxgen::RenderCodePicture(params);
    const int stride = (picture.width + 3) / 4 * 4;
    std::vector<unsigned char> bits(static_cast<size_t>(stride) * picture.height, 255);
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(&bits[static_cast<size_t>(y) * stride],
                  &picture.gray[static_cast<size_t>(y) * picture.width], picture.width);
    const IMG img{bits.data(), picture.width, stride, picture.height, 1, 1};
    std::vector<RECT> rects(VEXOLITH_MAX_CODE_RECTS);
    int count = 0;
    if (DetectCode(img, o.factor, &count, rects.data()) != 0) {
      std::fprintf(stderr, "DetectCode refused picture %d\n", n);
      return 1;
    }
    rects.resize(count);
    int missed = 0, wrong = 0;
    for (const vxgen::CodeBox& c : picture.codes) {
      const bool hit = std::any_of(rects.begin(), rects.end(), [&](const RECT& r) { return Finds(r, c); });
      found += hit, missed += !hit;
    }
    for (const RECT& r : rects)
      wrong += std::none_of(picture.codes.begin(), picture.codes.end(),
                            [&](const vxgen::CodeBox& c) { return Finds(r, c); });
    codes += static_cast<int>(picture.codes.size());
    rects_total += count, false_regions += wrong;
    if (o.list && (missed || wrong))
      std::printf("picture %d (seed %u): %zu figures, %d missed, %d false regions\n", n, params.seed,
                  picture.codes.size(), missed, wrong);
    if (!o.save.empty()) Save(o.save + "/detect_" + std::to_string(n) + ".bmp", picture, rects);
  }
  std::printf("pictures %d (%d x %d, factor %d, %d text blocks tried each)\n", o.pictures, o.width, o.height,
              o.factor, o.paragraphs);
  std::printf("code figures %d, found %d (%.1f %%)\n", codes, found, codes ? 100.0 * found / codes : 0.0);
  std::printf("regions returned %d, false regions %d\n", rects_total, false_regions);
  return 0;
}
