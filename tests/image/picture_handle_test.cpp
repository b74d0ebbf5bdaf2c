// Handles of loaded pictures: issued, queried and released, from several
// threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "image/bitmap_handle.h"
#include "support/images.h"
#include "support/picture_writers.h"

namespace {

const std::string& SmallPng() {
  static const std::string path = [] {
    std::string p = vxtest::TempPath("handle.png");
    vxtest::WriteFile(p, vxtest::WritePng(vxtest::RandomPicture(9, 4, 1)));
    return p;
  }();
  return path;
}

TEST(PictureHandle, LoadGivesAHandleThatIsReleasedOnce) {
  const std::uint32_t handle = LoadPictureFile(SmallPng().c_str());
  ASSERT_NE(handle, 0u);
  int width = 0, height = 0;
  ASSERT_TRUE(vx::PictureSize(handle, &width, &height));
  EXPECT_EQ(width, 9);
  EXPECT_EQ(height, 4);
  // 27 pixel bytes and one padding byte per row; rows too short are refused.
  std::vector<unsigned char> rows(4 * 40, 0xAB);
  EXPECT_FALSE(vx::FetchPictureRows(handle, rows.data(), 26, 4));
  EXPECT_TRUE(vx::FetchPictureRows(handle, rows.data(), 40, 4));
  EXPECT_EQ(rows[27], 0);
  EXPECT_EQ(rows[28], 0xAB);
  EXPECT_EQ(DeleteObject(handle), 1);
  EXPECT_EQ(DeleteObject(handle), 0);
  EXPECT_FALSE(vx::PictureSize(handle, &width, &height));
  EXPECT_EQ(DeleteObject(0), 0);
}

// Handles come from a counter: OpenGraphFile's is the one in between.
TEST(PictureHandle, OpenGraphFileReleasesTheHandleItUsed) {
  const std::uint32_t before = LoadPictureFile(SmallPng().c_str());
  vxtest::Image img = vxtest::Image::Adopt(OpenGraphFile(SmallPng().c_str()));
  const std::uint32_t after = LoadPictureFile(SmallPng().c_str());
  ASSERT_EQ(img.img().valid, 1);
  ASSERT_EQ(after, before + 2);
  EXPECT_EQ(DeleteObject(before + 1), 0);
  EXPECT_EQ(DeleteObject(before), 1);
  EXPECT_EQ(DeleteObject(after), 1);
}

TEST(PictureHandle, ConcurrentLoadsGetDistinctHandles) {
  constexpr int kThreads = 4, kLoads = 25;
  std::vector<std::uint32_t> handles(kThreads * kLoads);
  std::atomic<int> valid{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLoads; ++i) {
        handles[t * kLoads + i] = LoadPictureFile(SmallPng().c_str());
        IMG img = OpenGraphFile(SmallPng().c_str());
        valid += img.valid;
        if (img.valid) DeleteImg(img);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(valid, kThreads * kLoads);
  const std::set<std::uint32_t> all(handles.begin(), handles.end());
  EXPECT_EQ(all.size(), handles.size());
  EXPECT_EQ(all.count(0), 0u);
  for (std::uint32_t h : all) EXPECT_EQ(DeleteObject(h), 1);
}

}  // namespace
