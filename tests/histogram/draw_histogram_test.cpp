#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vexolith.h"

namespace {

using Art = std::vector<std::string>;

// A 24-bit image inside a larger buffer whose bytes before and after it
// must survive the drawing. Picture(): '#' white bar, '-' gray base line,
// '.' black, '?' anything else.
struct Canvas {
  std::vector<unsigned char> bytes;
  IMG img;
  Canvas(int width, int height) : bytes(static_cast<size_t>((3 * width + 3) / 4 * 4) * height + 128, 77) {
    img = IMG{bytes.data() + 64, width, (3 * width + 3) / 4 * 4, height, 1, 0};
  }
  bool GuardsIntact() const {
    for (int i = 0; i < 64; ++i)
      if (bytes[i] != 77 || bytes[bytes.size() - 1 - i] != 77) return false;
    return true;
  }
  Art Picture() const {
    Art rows(img.height);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        const unsigned char b = img.bits[y * img.stride + 3 * x];
        rows[y] += b == 255 ? '#' : b == 128 ? '-' : b == 0 ? '.' : '?';
      }
    return rows;
  }
};

TEST(DrawHistogram, BarsScaledToTheLargestBin) {
  const Art empty_chart = {"-----.", "......", "......", "......", "......", "......"};
  struct Case {
    const char* what;
    std::vector<int> bins;
    int height;
    Art picture;
  } cases[] = {
      // Heights 4*4/4 = 4 and 4*2/4 = 2 (rows 1 .. ht-1); the bar of height 1
      // is left out; the base line stops before the last column.
      {"scaled", {4, 2, 1}, 7, {"-----.", "####..", "##....", "##....", "......", "......", "......"}},
      {"all bins empty", {0, 0, 0}, 6, empty_chart},
      {"no positive bin", {-3, -1}, 6, empty_chart},
      {"no room for bars", {5}, 3, {"-----.", "......", "......"}},
      // Twelve bins on six columns: every other bar gets no column and is left out.
      {"more bins than columns",
       std::vector<int>(12, 9),
       6,
       {"-----.", "######", "######", "......", "......", "......"}},
  };
  for (const Case& c : cases) {
    HISTOGRAM h = CreateHistogram(static_cast<int>(c.bins.size()));
    for (int i = 0; i < h.size; ++i) h.bins[i] = c.bins[i];
    Canvas canvas(6, c.height);
    EXPECT_EQ(DrawHistogram(h, canvas.img), 0) << c.what;
    EXPECT_EQ(canvas.Picture(), c.picture) << c.what;
    EXPECT_TRUE(canvas.GuardsIntact()) << c.what << ": bytes outside the image changed";
    DeleteHistogram(h);
  }
}

TEST(DrawHistogram, ResultCodes) {
  HISTOGRAM h = CreateHistogram(2);
  Canvas canvas(4, 4);
  IMG gray = canvas.img, invalid = canvas.img;
  gray.gray = 1;
  invalid.valid = 0;
  EXPECT_EQ(DrawHistogram(h, gray), 1) << "gray image";
  EXPECT_EQ(DrawHistogram(HISTOGRAM{-1, 0, nullptr}, gray), 1) << "image checked first";
  EXPECT_EQ(DrawHistogram(HISTOGRAM{2, 0, nullptr}, canvas.img), 2);
  EXPECT_EQ(DrawHistogram(h, invalid), 3);
  EXPECT_EQ(canvas.Picture(), Art(4, "????")) << "refusals change nothing";
  DeleteHistogram(h);
}

}  // namespace
