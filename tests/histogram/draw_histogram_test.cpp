#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vexolith.h"

namespace {

using Art = std::vector<std::string>;

// A 24-bit image inside a larger buffer whose bytes before and after it
// must survive the drawing.
struct Canvas {
  static constexpr int kGuard = 64;
  std::vector<unsigned char> bytes;
  IMG img;
  Canvas(int width, int height) {
    const int stride = (3 * width + 3) / 4 * 4;
    bytes.assign(static_cast<size_t>(stride) * height + 2 * kGuard, 77);
    img = IMG{bytes.data() + kGuard, width, stride, height, 1, 0};
  }
  bool GuardsIntact() const {
    for (int i = 0; i < kGuard; ++i)
      if (bytes[i] != 77 || bytes[bytes.size() - 1 - i] != 77) return false;
    return true;
  }
  // '#' white bar, '-' gray base line, '.' black, '?' anything else.
  Art Picture() const {
    Art rows(img.height);
    for (int y = 0; y < img.height; ++y) {
      for (int x = 0; x < img.width; ++x) {
        const unsigned char* p = img.bits + y * img.stride + 3 * x;
        rows[y] += p[0] == 255 ? '#' : p[0] == 128 ? '-' : p[0] == 0 ? '.' : '?';
      }
    }
    return rows;
  }
};

Art Draw(std::vector<int> counts, int width, int height, int* result = nullptr) {
  HISTOGRAM h = CreateHistogram(static_cast<int>(counts.size()));
  for (int i = 0; i < h.size; ++i) h.bins[i] = counts[i];
  Canvas canvas(width, height);
  const int code = DrawHistogram(h, canvas.img);
  if (result) *result = code;
  DeleteHistogram(h);
  EXPECT_TRUE(canvas.GuardsIntact()) << "bytes outside the image changed";
  return canvas.Picture();
}

TEST(DrawHistogram, BarsScaledToTheLargestBin) {
  // Heights 4*4/4 = 4 and 4*2/4 = 2; the bar of height 1 is left out; the
  // base line stops before the last column.
  EXPECT_EQ(Draw({4, 2, 1}, 6, 7), Art({"-----.", "####..", "##....", "##....", "......", "......", "......"}));
}

TEST(DrawHistogram, DegenerateBarsAreLeftOut) {
  const Art base_only = {"-----.", "......", "......", "......", "......", "......"};
  EXPECT_EQ(Draw({0, 0, 0}, 6, 6), base_only) << "all bins empty";
  EXPECT_EQ(Draw({-3, -1}, 6, 6), base_only) << "no positive bin";
  EXPECT_EQ(Draw({5}, 6, 3), Art({"-----.", "......", "......"})) << "no room for bars";
  // Twelve bins on six columns: every other bar has no column of its own.
  const Art narrow = Draw({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 6, 6);
  EXPECT_EQ(narrow[1], "######");
  EXPECT_EQ(narrow[2], "######");
}

TEST(DrawHistogram, ResultCodes) {
  int code = -1;
  HISTOGRAM h = CreateHistogram(2);
  Canvas canvas(4, 4);
  IMG gray = canvas.img;
  gray.gray = 1;
  EXPECT_EQ(DrawHistogram(h, gray), 1) << "gray image";
  EXPECT_EQ(DrawHistogram(HISTOGRAM{-1, 0, nullptr}, gray), 1) << "image checked first";
  EXPECT_EQ(DrawHistogram(HISTOGRAM{-1, 0, nullptr}, canvas.img), 2);
  EXPECT_EQ(DrawHistogram(HISTOGRAM{2, 0, nullptr}, canvas.img), 2);
  IMG invalid = canvas.img;
  invalid.valid = 0;
  EXPECT_EQ(DrawHistogram(h, invalid), 3);
  EXPECT_EQ(canvas.Picture(), Art(4, "????")) << "refusals change nothing";
  Draw({1, 2}, 4, 4, &code);
  EXPECT_EQ(code, 0);
  DeleteHistogram(h);
}

}  // namespace
