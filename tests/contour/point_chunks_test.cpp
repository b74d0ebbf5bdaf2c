// Stored point arrays share chunks of memory across stores and threads: a
// chunk must outlive every array cut from it, whichever thread fills,
// copies or destroys the store. Checked against a store filled alone, with
// pictures whose regions take chunked arrays (many small ones) and blocks
// of their own (one region of 2 MiB of points).
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "contour/point_array.h"
#include "tests/contour/store_fixture.h"

namespace vxtest {
namespace {

// Random dots (many small regions) over a solid block of 512 x 512 pixels
// (262144 points, 2 MiB: an array of its own).
Image Picture(unsigned seed) {
  Image image = Image::Gray(700, 600, 255);
  std::mt19937 random(seed);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 700; ++x)
      if ((x < 512 && y < 512) || random() % 9 == 0) image.at(x, y) = 0;
  for (int y = 0; y < 512; ++y) image.at(512, y) = 255;  // the block's edge stays apart from the dots
  for (int x = 0; x <= 512; ++x) image.at(x, 512) = 255;
  return image;
}

std::vector<Pixels> AllPoints(const CONTOUR& store) {
  std::vector<Pixels> out;
  for (int i = 0; i < store.number; ++i) out.push_back(PointsOf(store, i));
  return out;
}

std::unique_ptr<CONTOUR> Filled(const Image& image) {
  auto store = std::make_unique<CONTOUR>();
  store->Find(image.img(), RECT{0, 0, image.img().width, image.img().height}, 0, 1);
  return store;
}

TEST(PointChunks, StoresFilledCopiedAndReleasedOnOtherThreads) {
  static_assert(512 * 512 * sizeof(C_POINT) >= vx::kChunkedBytes, "the block is an array of its own");
  testing::internal::CaptureStdout();
  const Image image = Picture(5);
  const std::vector<Pixels> expected = AllPoints(*Filled(image));
  ASSERT_GT(expected.size(), 1000u) << "regions";
  // Each thread fills stores, keeps copies, and hands every other store to
  // the next thread to destroy, so arrays are released away from the thread
  // whose chunk they came from.
  constexpr int kThreads = 4, kRounds = 3;
  std::vector<std::vector<std::unique_ptr<CONTOUR>>> handed(kThreads);
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        auto store = Filled(image);
        auto copy = std::make_unique<CONTOUR>();
        *copy = *store;
        if (AllPoints(*store) != expected) ++mismatches[t];
        store.reset();
        if (AllPoints(*copy) != expected) ++mismatches[t];
        handed[t].push_back(std::move(copy));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  threads.clear();
  for (int t = 0; t < kThreads; ++t) threads.emplace_back([&, t] { handed[(t + 1) % kThreads].clear(); });
  for (std::thread& thread : threads) thread.join();
  testing::internal::GetCapturedStdout();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace vxtest
