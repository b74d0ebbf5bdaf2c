// Picture files side by side: vexolith's readers against cv::imread with
// fresh memory, and the whole reading of a picture file (vexolith::ReadFile)
// against an OpenCV pipeline of the same steps.
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "bench/opencv/measure.h"
#include "bench/pictures.h"
#include "image/buffer.h"
#include "tools/test_picture.h"
#include "vexolith/reader.h"

namespace vxcmp {
namespace {

// Everything released so far goes back to the system, the blocks vexolith
// keeps for reuse included: the next read pays for fresh pages, as a
// program that opens one picture does. Run outside the timing.
void FreshMemory() {
  vx::ReleaseKeptBlocks();
  malloc_trim(0);
}

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("vexolith_vs_opencv_" + name)).string();
}

// Writes a top-down 24-bit picture in the format of the path's extension
// (JPEG at quality 90).
void WriteFile(const std::string& path, const cv::Mat& bgr) {
  cv::imwrite(path, bgr, {cv::IMWRITE_JPEG_QUALITY, 90});
}


// The corners of a convex quadrilateral in the order top-left, top-right,
// bottom-right, bottom-left (image y downward).
std::vector<cv::Point2f> Ordered(const std::vector<cv::Point>& quad) {
  std::vector<cv::Point2f> p(quad.begin(), quad.end());
  auto by = [&](auto key) { return *std::min_element(p.begin(), p.end(), key); };
  const cv::Point2f tl = by([](auto a, auto b) { return a.x + a.y < b.x + b.y; });
  const cv::Point2f br = by([](auto a, auto b) { return a.x + a.y > b.x + b.y; });
  const cv::Point2f tr = by([](auto a, auto b) { return a.x - a.y > b.x - b.y; });
  const cv::Point2f bl = by([](auto a, auto b) { return a.x - a.y < b.x - b.y; });
  return {tl, tr, br, bl};
}

// The steps of vexolith read done with OpenCV: decode, gray, one Otsu level,
// outer contours, the largest one as a polygon, which must be a
// quadrilateral, the quadrilateral warped to 16 pixels a cell, and the mean
// of every cell. Returns the number of cells measured (0: no quadrilateral).
int OpenCvRead(const std::string& path, int rows, int cols) {
  const cv::Mat picture = cv::imread(path, cv::IMREAD_COLOR);
  cv::Mat gray, binary;
  cv::cvtColor(picture, gray, cv::COLOR_BGR2GRAY);
  cv::threshold(gray, binary, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
  std::vector<std::vector<cv::Point>> contours;
  cv::findContours(binary, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
  if (contours.empty()) return 0;
  const auto largest = std::max_element(contours.begin(), contours.end(), [](const auto& a, const auto& b) {
    return cv::contourArea(a) < cv::contourArea(b);
  });
  std::vector<cv::Point> quad;
  cv::approxPolyDP(*largest, quad, 0.02 * cv::arcLength(*largest, true), true);
  if (quad.size() != 4) return 0;
  constexpr int kCell = 16;
  const std::vector<cv::Point2f> to = {
      {0, 0}, {cols * kCell * 1.0f, 0}, {cols * kCell * 1.0f, rows * kCell * 1.0f}, {0, rows * kCell * 1.0f}};
  cv::Mat warped, cells;
  cv::warpPerspective(gray, warped, cv::getPerspectiveTransform(Ordered(quad), to),
                      cv::Size(cols * kCell, rows * kCell));
  cv::resize(warped, cells, cv::Size(cols, rows), 0, 0, cv::INTER_AREA);
  return static_cast<int>(cells.total());
}

// One row: vexolith and OpenCV with fresh memory (the target's ratio), and
// vexolith again reusing the blocks it keeps, as a program reading picture
// after picture does. OpenCV's 36 MB pictures always get fresh pages: the C
// library maps blocks above 32 MiB anew every time.
void FileRow(const char* what, const std::function<void()>& ours, const std::function<void()>& theirs,
             const char* target) {
  const Times fresh = Compare(
      ours, [&](Mats&) { theirs(); }, FreshMemory);
  const double warm = TimeOnly(ours);
  std::printf("| %-58s | %8.2f | %8.2f | %5.2f | %8.2f | %-6s |\n", what, fresh.ours, fresh.fresh,
              fresh.ours / fresh.fresh, warm, target);
  std::fflush(stdout);
}

}  // namespace

void CompareFiles() {
  const vxgen::TestPicture& figure = vxbench::FigurePhoto();
  const vxgen::Picture& p = figure.picture;
  const cv::Mat bgr(p.height, p.width, CV_8UC3, const_cast<unsigned char*>(p.bgr.data()));
  std::printf("\nPicture files, %d x %d pixels, read with fresh memory (ms)\n\n", p.width, p.height);
  std::printf("| %-58s | %8s | %8s | %5s | %8s | %-6s |\n", "operation", "vexolith", "OpenCV", "ratio",
              "vx warm", "target");
  std::printf("|%s|----------|----------|-------|----------|--------|\n", std::string(60, '-').c_str());
  for (const char* format : {"bmp", "png", "jpg"}) {
    const std::string path = TempFile(std::string("12mp.") + format);
    WriteFile(path, bgr);
    const bool bmp = std::string(format) == "bmp";
    char name[96];
    std::snprintf(name, sizeof name, "%s / imread, %s", bmp ? "OpenDF" : "OpenGraphFile", format);
    FileRow(
        name, [&] { DeleteImg(bmp ? OpenDF(path.c_str()) : OpenGraphFile(path.c_str())); },
        [&] { cv::imread(path, cv::IMREAD_COLOR); }, "<= 1.2");
  }
  {
    // Writing: the same top-down picture to a bitmap file. SaveDF takes the
    // rows as they lie in memory, so both files hold the same pixels.
    const IMG img{const_cast<unsigned char*>(p.bgr.data()), p.width, p.width * 3, p.height, 1, 0};
    const std::string ours = TempFile("save_ours.bmp"), theirs = TempFile("save_theirs.bmp");
    FileRow(
        "SaveDF / imwrite, bmp", [&] { SaveDF(ours.c_str(), img); }, [&] { cv::imwrite(theirs, bgr); },
        "<= 1.0");
    std::filesystem::remove(ours);
    std::filesystem::remove(theirs);
  }
  vexolith::ReaderOptions options;
  options.rows = figure.truth.rows;
  options.cols = figure.truth.cols;
  for (const char* format : {"jpg", "bmp"}) {
    const std::string path = TempFile(std::string("12mp.") + format);
    if (!vexolith::ReadFile(path, options).ok)
      std::printf("(vexolith read no figure in the %s file)\n", format);
    if (OpenCvRead(path, options.rows, options.cols) == 0)
      std::printf("(the OpenCV pipeline found no quadrilateral in the %s file)\n", format);
    char name[96];
    std::snprintf(name, sizeof name, "vexolith::ReadFile / OpenCV pipeline, %s", format);
    FileRow(
        name, [&] { vexolith::ReadFile(path, options); },
        [&] { OpenCvRead(path, options.rows, options.cols); }, "<= 0.8");
  }
  for (const char* format : {"bmp", "png", "jpg"})
    std::filesystem::remove(TempFile(std::string("12mp.") + format));
}

void FileScaling() {
  struct Size {
    double megapixels;
    int width, height;
  };
  const Size sizes[] = {{1, 1155, 866}, {4, 2309, 1732}, {12, 4000, 3000}, {48, 8000, 6000}};
  std::printf(
      "\nFile readers with fresh memory, scaling (medians of %d runs): time per pixel should stay flat\n\n",
      g_reps);
  std::printf("| %-4s | %-30s | %9s | %9s | %11s |\n", "MP", "reader", "ms", "ns/pixel", "imread ms");
  std::printf("|------|--------------------------------|-----------|-----------|-------------|\n");
  for (const Size& s : sizes) {
    const vxbench::Picture photo = vxbench::Photo(s.width, s.height);
    // The photo's rows are bottom-up, as OpenDF gives them; files store them as seen.
    cv::Mat seen;
    cv::flip(View(photo.img), seen, 0);
    const double pixels = static_cast<double>(s.width) * s.height;
    for (const char* format : {"bmp", "png", "jpg"}) {
      const std::string path = TempFile(std::string("scaling.") + format);
      WriteFile(path, seen);
      const bool bmp = std::string(format) == "bmp";
      const double ours =
          TimeOnly([&] { DeleteImg(bmp ? OpenDF(path.c_str()) : OpenGraphFile(path.c_str())); }, FreshMemory);
      const double theirs = TimeOnly([&] { cv::imread(path, cv::IMREAD_COLOR); }, FreshMemory);
      char name[64];
      std::snprintf(name, sizeof name, "%s, %s", bmp ? "OpenDF" : "OpenGraphFile", format);
      std::printf("| %-4.0f | %-30s | %9.1f | %9.2f | %11.1f |\n", s.megapixels, name, ours,
                  ours * 1e6 / pixels, theirs);
      std::fflush(stdout);
      std::filesystem::remove(path);
    }
  }
}

}  // namespace vxcmp
