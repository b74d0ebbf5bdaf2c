#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

#include "support/images.h"
#include "vexolith.h"

namespace {

// Owns a histogram made by the library.
struct Hist {
  HISTOGRAM h;
  explicit Hist(HISTOGRAM made) : h(made) {}
  Hist(std::initializer_list<int> counts) : h(CreateHistogram(static_cast<int>(counts.size()))) {
    int i = 0;
    for (int c : counts) h.total += h.bins[i++] = c;
  }
  Hist(const Hist&) = delete;
  ~Hist() { DeleteHistogram(h); }
  std::vector<int> Bins() const {
    return h.bins ? std::vector<int>(h.bins, h.bins + h.size) : std::vector<int>{};
  }
};

// Any area of a random image, against a plain count; sizes above 256 put
// 255 in bin size - 2 or below, never past the end; large areas take the
// value-table path, small ones the direct one.
TEST(Histogram, AreasMatchAPlainCount) {
  vxtest::Image row = vxtest::Image::Gray(4, 1);
  row.at(0, 0) = 0, row.at(1, 0) = 63, row.at(2, 0) = 64, row.at(3, 0) = 255;
  EXPECT_EQ(Hist(MakeHistogramIMG(row.img(), RECT{0, 0, 3, 0}, 4)).Bins(), std::vector<int>({2, 1, 0, 1}));

  std::mt19937 rng(7);
  vxtest::Image image = vxtest::Image::Gray(211, 173);
  for (int y = 0; y < 173; ++y)
    for (int x = 0; x < 211; ++x) image.at(x, y) = static_cast<unsigned char>(rng() % 256);
  for (int iter = 0; iter < 60; ++iter) {
    const int size = 1 + static_cast<int>(rng() % 600);
    const int l = static_cast<int>(rng() % 211), t = static_cast<int>(rng() % 173);
    const int r = iter % 3 == 0 ? 210 : l + static_cast<int>(rng() % (211 - l));
    const int b = iter % 3 == 0 ? 172 : t + static_cast<int>(rng() % (173 - t));
    SCOPED_TRACE(testing::Message() << "iter " << iter << " size " << size);
    std::vector<int> expected(size, 0);
    for (int y = t; y <= b; ++y)
      for (int x = l; x <= r; ++x) ++expected[image.at(x, y) * size / 256];
    Hist made(MakeHistogramIMG(image.img(), RECT{l, t, r, b}, size));
    EXPECT_EQ(made.Bins(), expected);
    EXPECT_EQ(made.h.total, (r - l + 1) * (b - t + 1)) << "bounds inclusive";
  }
}

TEST(Histogram, RefusedAndEmptyAreas) {
  vxtest::Image gray = vxtest::Image::Gray(4, 3, 9);
  vxtest::Image color = vxtest::Image::Color(4, 3);
  IMG invalid = gray.img();
  invalid.valid = 0;
  struct Case {
    const char* what;
    IMG img;
    RECT area;
    int size;
  } refused[] = {
      {"24-bit image", color.img(), {0, 0, 3, 2}, 4},    {"no bins", gray.img(), {0, 0, 3, 2}, 0},
      {"not valid", invalid, {0, 0, 3, 2}, 4},           {"right at width", gray.img(), {0, 0, 4, 2}, 4},
      {"bottom at height", gray.img(), {0, 0, 3, 3}, 4}, {"left below 0", gray.img(), {-1, 0, 3, 2}, 4},
  };
  for (const Case& c : refused) EXPECT_EQ(Hist(MakeHistogramIMG(c.img, c.area, c.size)).h.size, -1) << c.what;
  // Right before left reads nothing, wherever the area lies.
  Hist empty(MakeHistogramIMG(gray.img(), RECT{9, 0, 2, 2}, 3));
  EXPECT_EQ(empty.Bins(), std::vector<int>({0, 0, 0}));
  EXPECT_EQ(CreateHistogram(0).bins, nullptr);
  DeleteHistogram(CreateHistogram(-3));
  EXPECT_EQ(MaxHistogramElem(Hist({3, 7, 7, 1}).h), 1) << "first of equal maxima";
  EXPECT_EQ(MaxHistogramElem(HISTOGRAM{3, 0, nullptr}), -1);
}

TEST(Histogram, ChiSquareSkipsBinsEmptyInBoth) {
  struct Case {
    Hist a, b;
    int method;
    double expected;
  } cases[] = {
      {{4, 0}, {0, 4}, 1, 8.0},
      {{4, 0}, {0, 4}, 0, 0.0},  // bit 0 clear: no distance asked for
      {{4, 0}, {0, 4}, 3, 8.0},
      {{0, 5, 0, 3}, {0, 5, 0, 3}, 1, 0.0},  // empty bins would be 0/0
      {{2, 0, 6}, {1, 0, 0}, 1, 1.0 / 3.0 + 6.0},
      {{1, 2}, {1, 2, 3}, 1, -1.0},  // sizes differ: never a distance
  };
  for (const Case& c : cases) {
    const double d = CompareHist(c.a.h, c.b.h, c.method);
    EXPECT_FALSE(std::isnan(d));
    EXPECT_DOUBLE_EQ(d, c.expected) << c.a.h.bins[0] << " vs " << c.b.h.bins[0] << " method " << c.method;
  }
}

TEST(Histogram, CorrelationAndDominantBins) {
  EXPECT_DOUBLE_EQ(CompareHistogram(Hist({1, 5, 2, 8}).h, Hist({2, 10, 4, 16}).h), 1.0);
  EXPECT_DOUBLE_EQ(CompareHistogram(Hist({1, 5, 2, 8}).h, Hist({8, 4, 7, 1}).h), -1.0);
  // All bins equal: zero dispersion, nothing to correlate; 0.0, not NaN.
  EXPECT_EQ(CompareHistogram(Hist({3, 3, 3}).h, Hist({1, 5, 2}).h), 0.0);
  EXPECT_EQ(CompareHistogram(Hist({1, 5, 2}).h, Hist({0, 0, 0}).h), 0.0);

  Hist peaked({5, 1, 1, 1}), flat({2, 2, 2, 2});
  EXPECT_EQ(CompareHistogram1(peaked.h, flat.h, 0.25), 1) << "5 > 2 counts, 2 > 2 does not";
  flat.h.total = 4;  // the stored total is used, not a fresh sum
  EXPECT_EQ(CompareHistogram1(peaked.h, flat.h, 0.25), 3);
  EXPECT_EQ(CompareHistogram1(peaked.h, HISTOGRAM{-1, 0, nullptr}, 0.25), -1);
}

}  // namespace
