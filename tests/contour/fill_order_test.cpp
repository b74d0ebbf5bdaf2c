// The order in which the region fill and the walk list a region's pixels,
// 8-connectivity, and the cutting of a region at the fill's stack limit.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

const std::vector<std::string> kBlock = {
    ".....",  //
    ".###.",  //
    ".###.",  //
    ".###.",  //
    ".....",
};

const std::vector<Pixel> kBlockFillOrder = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 1},
                                            {3, 2}, {2, 3}, {3, 3}, {1, 3}};

TEST(FillOrder, BlockIsListedInProbeOrder) {
  auto store = NewStore();
  ASSERT_EQ(FindAll(*store, Image::FromArt(kBlock), 0).code, 0);
  ASSERT_EQ(store->ReturnAllContours(), 1);
  EXPECT_EQ(PointsOf(*store, 0), kBlockFillOrder);
  RECT r = store->ReturnRectContour(0);
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{1, 1, 3, 3}));
}

TEST(FillOrder, WalkComesBeforeTheFill) {
  auto store = NewStore();
  ASSERT_EQ(FindAll(*store, Image::FromArt(kBlock), 2).code, 0);
  ASSERT_EQ(store->ReturnAllContours(), 1);
  std::vector<Pixel> expected = {{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {2, 2}};
  expected.insert(expected.end(), kBlockFillOrder.begin() + 1, kBlockFillOrder.end());
  EXPECT_EQ(PointsOf(*store, 0), expected);
  EXPECT_EQ(store->AllPoints(0), 17);
  RECT r = store->ReturnRectContour(0);
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{1, 1, 3, 3}));
}

TEST(FillOrder, RingAndLonePixelAreSeparateContours) {
  auto store = NewStore();
  Image image = Image::FromArt({
      ".......",  //
      ".###...",  //
      ".#.#...",  //
      ".###...",  //
      ".......",  //
      ".....#.",
  });
  ASSERT_EQ(FindAll(*store, image, 0).code, 0);
  ASSERT_EQ(store->ReturnAllContours(), 2);
  EXPECT_EQ(store->AllPoints(0), 8);
  EXPECT_EQ(store->AllPoints(1), 1);
  RECT lone = store->ReturnRectContour(1);
  EXPECT_EQ((std::vector<int>{lone.left, lone.top, lone.right, lone.bottom}), (std::vector<int>{5, 5, 5, 5}));
}

TEST(FillOrder, DiagonalNeighboursJoinInBothDirections) {
  for (unsigned long mode : {0ul, 2ul}) {
    SCOPED_TRACE(mode);
    auto store = NewStore();
    Image image = Image::FromArt({
        "......",  //
        "......",  //
        "..#..#",  //
        "...##.",  //
        "......",
    });
    ASSERT_EQ(FindAll(*store, image, mode).code, 0);
    ASSERT_EQ(store->ReturnAllContours(), 1);
    std::vector<Pixel> points = PointsOf(*store, 0);
    EXPECT_EQ(std::set<Pixel>(points.begin(), points.end()), PixelsOf(image, 0));
  }
}

// 8-connected components by a plain breadth-first search, in the order of
// their first pixel in row-major order, each with that pixel.
std::vector<std::pair<Pixel, std::set<Pixel>>> Components(const Image& image) {
  std::set<Pixel> black = PixelsOf(image, 0);
  std::vector<std::pair<Pixel, std::set<Pixel>>> out;
  std::set<Pixel> seen;
  for (int y = 0; y < image.img().height; ++y) {
    for (int x = 0; x < image.img().width; ++x) {
      if (!black.count({x, y}) || seen.count({x, y})) continue;
      std::set<Pixel>& component = out.emplace_back(Pixel{x, y}, std::set<Pixel>{}).second;
      std::deque<Pixel> queue = {{x, y}};
      seen.insert({x, y});
      while (!queue.empty()) {
        auto [px, py] = queue.front();
        queue.pop_front();
        component.insert({px, py});
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            Pixel n{px + dx, py + dy};
            if (black.count(n) && seen.insert(n).second) queue.push_back(n);
          }
        }
      }
    }
  }
  return out;
}

TEST(FillOrder, RandomImagesGiveTheConnectedComponents) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 40; ++round) {
    int width = 1 + static_cast<int>(rng() % 40), height = 1 + static_cast<int>(rng() % 30);
    double density = 0.2 + 0.5 * (rng() % 100) / 100.0;
    Image image = Image::Gray(width, height);
    std::bernoulli_distribution black(density);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) image.at(x, y) = black(rng) ? 0 : 255;
    }
    auto components = Components(image);
    for (unsigned long mode : {0ul, 2ul}) {
      SCOPED_TRACE(testing::Message()
                   << "round " << round << " " << width << "x" << height << " mode " << mode);
      auto store = NewStore();
      ASSERT_EQ(FindAll(*store, image, mode).code, 0);
      ASSERT_EQ(store->ReturnAllContours(), static_cast<int>(components.size()));
      int index = 0;
      for (const auto& [start, component] : components) {
        std::vector<Pixel> points = PointsOf(*store, index);
        ASSERT_FALSE(points.empty());
        EXPECT_EQ(points.front(), start);
        // Without the walk each pixel appears once; with it the start pixel
        // and the walk's pixels come first, then the fill lists the rest.
        size_t fill_from = mode == 0 ? 0 : points.size() - (component.size() - 1);
        std::vector<Pixel> filled(points.begin() + fill_from, points.end());
        if (mode != 0) filled.insert(filled.begin(), start);
        EXPECT_EQ(filled.size(), component.size());
        EXPECT_EQ(std::set<Pixel>(filled.begin(), filled.end()), component);
        std::set<Pixel> walked(points.begin(), points.begin() + fill_from);
        // Below 1000 branch points the walk reaches every pixel, each once.
        EXPECT_EQ(walked.size(), fill_from);
        if (mode != 0) {
          EXPECT_EQ(points.size(), 2 * component.size() - 1);
        }
        RECT r = store->ReturnRectContour(index);
        int min_x = width, max_x = -1, min_y = height, max_y = -1;
        for (auto [x, y] : component) {
          min_x = std::min(min_x, x), max_x = std::max(max_x, x);
          min_y = std::min(min_y, y), max_y = std::max(max_y, y);
        }
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{min_x, min_y, max_x, max_y}));
        ++index;
      }
    }
  }
}

// A solid block keeps most of each row pending. Filled from its top-left
// corner, a 200 x 200 block stays within 20000 pending pixels; a 400 x 400
// block needs more, so the fill stops and the scan stores the rest as further
// contours. Either way every pixel of the block is listed exactly once.
TEST(FillStackLimit, LargeBlockIsCutIntoContoursCoveringItOnce) {
  for (int side : {200, 400}) {
    SCOPED_TRACE(side);
    Image image = Image::Gray(side + 20, side + 20);
    for (int y = 10; y < side + 10; ++y) {
      for (int x = 10; x < side + 10; ++x) image.at(x, y) = 0;
    }
    auto store = NewStore();
    ASSERT_EQ(FindAll(*store, image, 0).code, 0);
    if (side == 200) {
      EXPECT_EQ(store->ReturnAllContours(), 1);
    } else {
      EXPECT_GT(store->ReturnAllContours(), 1);
    }
    std::map<Pixel, int> seen;
    for (int i = 0; i < store->ReturnAllContours(); ++i) {
      for (const Pixel& p : PointsOf(*store, i)) ++seen[p];
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(side) * side);
    for (const auto& [p, times] : seen) {
      ASSERT_EQ(times, 1) << p.first << "," << p.second;
      ASSERT_EQ(image.at(p.first, p.second), 0) << p.first << "," << p.second;
    }
  }
}

// A horizontal spine with teeth hanging from every other column: every spine
// pixel is a branch point of the walk. With more than 1000 of them the walk
// loses the later ones and lists fewer pixels; the fill still lists all.
Image Comb(int teeth, int tooth_length) {
  Image image = Image::Gray(2 * teeth + 1, tooth_length + 2);
  for (int x = 0; x < 2 * teeth - 1; ++x) image.at(x, 0) = 0;
  for (int t = 0; t < teeth; ++t) {
    for (int y = 1; y <= tooth_length; ++y) image.at(2 * t, y) = 0;
  }
  return image;
}

TEST(WalkStackLimit, ManyBranchPointsShortenOnlyTheWalk) {
  for (int teeth : {400, 1500}) {
    SCOPED_TRACE(teeth);
    Image image = Comb(teeth, 3);
    const int region = static_cast<int>(PixelsOf(image, 0).size());
    auto store = NewStore();
    ASSERT_EQ(FindAll(*store, image, 2).code, 0);
    ASSERT_EQ(store->ReturnAllContours(), 1);
    const int walked = store->AllPoints(0) - region;  // start pixel + walk, minus the start again
    if (teeth < 1000) {
      EXPECT_EQ(walked, region - 1);
    } else {
      EXPECT_LT(walked, region - 1);
      EXPECT_GT(walked, 1000);
    }
    std::vector<Pixel> points = PointsOf(*store, 0);
    std::set<Pixel> filled(points.end() - (region - 1), points.end());
    filled.insert(points.front());
    EXPECT_EQ(filled, PixelsOf(image, 0));
  }
}

}  // namespace
}  // namespace vxtest
