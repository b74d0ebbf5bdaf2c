// vexolith against OpenCV's nearest equivalents, side by side in one
// process: one thread each, the same inputs, fresh output buffers for both,
// medians over repetitions of the thread's CPU time. Prints the ratio
// vexolith / OpenCV per operation (below 1 is faster), picture files and the
// whole reading (files.cpp), and scaling tables in pixels.
//
//   vexolith_vs_opencv [repetitions] [all|ops|files|scaling]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "bench/opencv/measure.h"
#include "bench/pictures.h"
#include "vexolith.h"

namespace {

using vxbench::Picture;
using namespace vxcmp;

// A writable copy of a picture, put back by Restore().
struct Work {
  explicit Work(const Picture& p) : original(p.bytes), bytes(p.bytes), img(p.img) { img.bits = bytes.data(); }
  void Restore() { std::memcpy(bytes.data(), original.data(), bytes.size()); }
  std::vector<unsigned char> original, bytes;
  IMG img;
};

Picture GrayOf(const Picture& p) {
  IMG g = Img24To8(p.img);
  Picture out;
  out.bytes.assign(g.bits, g.bits + static_cast<size_t>(g.stride) * g.height);
  out.img = g;
  out.img.bits = out.bytes.data();
  DeleteImg(g);
  return out;
}

// The photo as black (0) and white (255) gray pixels.
Picture Binary(const Picture& photo) {
  Picture b = GrayOf(photo);
  ThresholdImage(b.img, 150, Whole(b.img));
  return b;
}

struct FindCount {
  int contours = 0;
  long long points = 0;
};

FindCount RunFind(const IMG& img, unsigned long mode) {
  auto store = std::make_unique<CONTOUR>();
  {
    QuietStdout quiet;
    store->Find(img, Whole(img), 0, mode);
  }
  FindCount c;
  c.contours = store->ReturnAllContours();
  for (int i = 0; i < c.contours; ++i) c.points += store->AllPoints(i);
  return c;
}

// The store (80 KiB of records) is made and released outside the timing.
double TimeFind(const IMG& img, unsigned long mode) {
  std::vector<double> t;
  for (int r = -1; r < g_reps; ++r) {
    auto store = std::make_unique<CONTOUR>();
    QuietStdout quiet;
    const double s = Seconds([&] { store->Find(img, Whole(img), 0, mode); });
    if (r >= 0) t.push_back(s);
  }
  return Median(t) * 1e3;
}

void SideBySide() {
  const Picture photo = vxbench::Photo(4000, 3000);
  const Picture gray = GrayOf(photo);
  const cv::Mat cv_photo = View(photo.img).clone(), cv_gray = View(gray.img).clone();
  std::printf("\nvexolith / OpenCV %s, one thread each, 12-megapixel inputs, medians of %d runs (ms)\n\n",
              CV_VERSION, g_reps);
  std::printf(
      "OpenCV runs with output matrices allocated anew (fresh, as vexolith's results are) and\n"
      "with warm ones reused from the previous run; ratio = vexolith / OpenCV.\n\n");
  std::printf("| %-58s | %8s | %8s | %8s | %5s | %5s | %-6s |\n", "operation", "vexolith", "cv fresh",
              "cv warm", "fresh", "warm", "target");
  std::printf("|%s|----------|----------|----------|-------|-------|--------|\n",
              std::string(60, '-').c_str());

  for (int window : {15, 51}) {
    char name[96];
    std::snprintf(name, sizeof name, "AdaptiveThresholdImage w%d / cvtColor + adaptiveThreshold", window);
    Row(name,
        Compare([&] { DeleteImg(AdaptiveThresholdImage(photo.img, window, Whole(photo.img), 0)); },
                [&](Mats& m) {
                  cv::cvtColor(cv_photo, m.a, cv::COLOR_BGR2GRAY);
                  cv::adaptiveThreshold(m.a, m.b, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY, window,
                                        2);
                }),
        "<= 1.5");
  }
  {
    Work work(photo);
    Row("ThresholdImage 24-bit / cvtColor + threshold",
        Compare([&] { ThresholdImage(work.img, 150, Whole(work.img)); },
                [&](Mats& m) {
                  cv::cvtColor(cv_photo, m.a, cv::COLOR_BGR2GRAY);
                  cv::threshold(m.a, m.b, 150, 255, cv::THRESH_BINARY);
                },
                [&] { work.Restore(); }),
        "<= 1.2");
  }
  {
    Work work(gray);
    Row("ThresholdImage gray / threshold",
        Compare([&] { ThresholdImage(work.img, 150, Whole(work.img)); },
                [&](Mats& m) { cv::threshold(cv_gray, m.a, 150, 255, cv::THRESH_BINARY); },
                [&] { work.Restore(); }),
        "");
  }
  // The block-mean chain: block means by area resizing, the level line on
  // them, back to full size by nearest neighbours, one comparison.
  for (bool is_gray : {true, false}) {
    Work work(is_gray ? gray : photo);
    const int block = 32;
    auto chain = [&](Mats& m) {
      if (!is_gray) cv::cvtColor(cv_photo, m.a, cv::COLOR_BGR2GRAY);
      const cv::Mat& g = is_gray ? cv_gray : m.a;
      cv::resize(g, m.b, cv::Size(g.cols / block, g.rows / block), 0, 0, cv::INTER_AREA);
      m.b.convertTo(m.c, CV_8U, 100.0 / 128.0, 128 - 100);
      cv::resize(m.c, m.d, g.size(), 0, 0, cv::INTER_NEAREST);
      cv::compare(g, m.d, m.e, cv::CMP_GT);
      if (!is_gray) cv::cvtColor(m.e, m.f, cv::COLOR_GRAY2BGR);
    };
    Row(is_gray ? "Adaptive2ThresholdImage gray / block-mean chain"
                : "Adaptive2ThresholdImage 24-bit / block-mean chain",
        Compare([&] { Adaptive2ThresholdImage(work.img, 128, 100, Whole(work.img), block); }, chain,
                [&] { work.Restore(); }),
        "<= 1.0");
  }
  Row("Img24To8 / cvtColor",
      Compare([&] { DeleteImg(Img24To8(photo.img)); },
              [&](Mats& m) { cv::cvtColor(cv_photo, m.a, cv::COLOR_BGR2GRAY); }),
      "<= 1.2");
  Row("IncreaseImg gray x2 / resize nearest",
      Compare([&] { DeleteImg(IncreaseImg(gray.img, 2)); },
              [&](Mats& m) { cv::resize(cv_gray, m.a, cv::Size(), 2, 2, cv::INTER_NEAREST); }),
      "<= 1.0");
  Row("IncreaseImg 24-bit x2 / resize nearest",
      Compare([&] { DeleteImg(IncreaseImg(photo.img, 2)); },
              [&](Mats& m) { cv::resize(cv_photo, m.a, cv::Size(), 2, 2, cv::INTER_NEAREST); }),
      "<= 1.0");

  // Erosion and dilation consume their source: each run gets a new copy of
  // the thresholded photo, made outside the timing.
  {
    const Picture binary = Binary(photo);
    const cv::Mat cv_binary = View(binary.img).clone();
    IMG pending{};
    auto reset = [&] {
      if (pending.bits != nullptr) DeleteImg(pending);
      pending = IMG{};
      CopyIMG(binary.img, &pending);
    };
    for (bool erode : {true, false}) {
      Row(erode ? "Img_Erode / erode 3x3" : "Img_Dilate / dilate 3x3",
          Compare(
              [&] {
                const IMG result = erode ? Img_Erode(pending) : Img_Dilate(pending);
                pending = IMG{};
                DeleteImg(result);
              },
              [&](Mats& m) {
                if (erode) {
                  cv::erode(cv_binary, m.a, cv::Mat());
                } else {
                  cv::dilate(cv_binary, m.a, cv::Mat());
                }
              },
              reset),
          "");
    }
    if (pending.bits != nullptr) DeleteImg(pending);
  }

  // Find gets the page with black letters; OpenCV traces non-zero pixels,
  // so it gets the page inverted (made outside the timing).
  const Picture page = vxbench::LetterPage(4000, 3000);
  cv::Mat cv_page;
  cv::bitwise_not(View(page.img), cv_page);
  const FindCount letters = RunFind(page.img, 1);
  char name[96];
  std::snprintf(name, sizeof name, "Find mode 1, page of %d letters / findContours", letters.contours);
  Row(name,
      Compare([&] { RunFind(page.img, 1); },
              [&](Mats&) {
                std::vector<std::vector<cv::Point>> contours;
                std::vector<cv::Vec4i> hierarchy;
                cv::findContours(cv_page, contours, hierarchy, cv::RETR_TREE, cv::CHAIN_APPROX_NONE);
              }),
      "<= 1.0");
  const Picture binary = Binary(photo);
  cv::Mat cv_binary;
  cv::bitwise_not(View(binary.img), cv_binary);
  for (unsigned long mode : {1ul, 3ul}) {
    std::snprintf(name, sizeof name, "Find mode %lu, photo / connectedComponentsWithStats", mode);
    Row(name,
        Compare([&] { RunFind(binary.img, mode); },
                [&](Mats& m) { cv::connectedComponentsWithStats(cv_binary, m.a, m.b, m.c, 8); }),
        "");
  }
}

struct Size {
  double megapixels;
  int width, height;
};

const Size kSizes[] = {{1, 1155, 866}, {4, 2309, 1732}, {12, 4000, 3000}, {48, 8000, 6000}};

void Scaling() {
  std::printf("\nScaling (medians of %d runs): time per pixel should stay flat\n\n", g_reps);
  std::printf("| %-4s | %-44s | %9s | %10s | %12s | %9s |\n", "MP", "operation", "ms", "contours", "points",
              "ns/unit");
  std::printf("|------|%s|-----------|------------|--------------|-----------|\n",
              std::string(46, '-').c_str());
  for (const Size& s : kSizes) {
    const double pixels = static_cast<double>(s.width) * s.height;
    const Picture photo = vxbench::Photo(s.width, s.height);
    const double mean_ms =
        TimeOnly([&] { DeleteImg(AdaptiveThresholdImage(photo.img, 15, Whole(photo.img), 0)); });
    std::printf("| %-4.0f | %-44s | %9.1f | %10s | %12s | %9.2f |\n", s.megapixels,
                "AdaptiveThresholdImage w15 (ns/pixel)", mean_ms, "", "", mean_ms * 1e6 / pixels);

    const Picture page = vxbench::LetterPage(s.width, s.height, s.width / 4000.0);
    const FindCount letters = RunFind(page.img, 1);
    const double page_ms = TimeFind(page.img, 1);
    std::printf("| %-4.0f | %-44s | %9.1f | %10d | %12lld | %9.2f |\n", s.megapixels,
                "Find mode 1, letter page (ns/pixel)", page_ms, letters.contours, letters.points,
                page_ms * 1e6 / pixels);

    const Picture binary = Binary(photo);
    const FindCount pieces = RunFind(binary.img, 3);
    const double walk_ms = TimeFind(binary.img, 3);
    std::printf("| %-4.0f | %-44s | %9.1f | %10d | %12lld | %9.2f |\n", s.megapixels,
                "Find mode 3, photo (ns/stored point)", walk_ms, pieces.contours, pieces.points,
                walk_ms * 1e6 / static_cast<double>(std::max(pieces.points, 1LL)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) g_reps = std::max(1, std::atoi(argv[1]));
  const std::string part = argc > 2 ? argv[2] : "all";
  if (part != "all" && part != "ops" && part != "files" && part != "scaling") {
    std::fprintf(stderr, "usage: vexolith_vs_opencv [repetitions] [all|ops|files|scaling]\n");
    return 2;
  }
  cv::setNumThreads(1);
  if (part == "all" || part == "ops") SideBySide();
  if (part == "all" || part == "files") CompareFiles();
  if (part == "all" || part == "scaling") {
    Scaling();
    FileScaling();
  }
  return 0;
}
