// Handles of loaded pictures: issued, queried and released, from several
// threads at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "image/bitmap_handle.h"
#include "picture_test_util.h"

namespace {

std::string SmallPng() {
  static const std::string path = [] {
    std::string p = vxtest::TempPath("handle.png");
    vxtest::WriteFile(p, vxtest::WritePng(vxtest::RandomPicture(9, 4, 1)));
    return p;
  }();
  return path;
}

TEST(PictureHandle, LoadGivesAHandleThatIsReleasedOnce) {
  std::uint32_t handle = LoadPictureFile(SmallPng().c_str());
  ASSERT_NE(handle, 0u);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(vx::PictureSize(handle, &width, &height));
  EXPECT_EQ(width, 9);
  EXPECT_EQ(height, 4);
  EXPECT_EQ(DeleteObject(handle), 1);
  EXPECT_EQ(DeleteObject(handle), 0);
  EXPECT_FALSE(vx::PictureSize(handle, &width, &height));
  EXPECT_EQ(DeleteObject(0), 0);
}

TEST(PictureHandle, FetchRefusesRowsShorterThanThePicture) {
  std::uint32_t handle = LoadPictureFile(SmallPng().c_str());
  ASSERT_NE(handle, 0u);
  std::vector<unsigned char> rows(4 * 40, 0xAB);
  EXPECT_FALSE(vx::FetchPictureRows(handle, rows.data(), 26, 4));
  EXPECT_TRUE(vx::FetchPictureRows(handle, rows.data(), 40, 4));
  // 27 pixel bytes and one padding byte per row; nothing beyond the picture's stride.
  EXPECT_EQ(rows[27], 0);
  EXPECT_EQ(rows[28], 0xAB);
  EXPECT_EQ(DeleteObject(handle), 1);
}

TEST(PictureHandle, OpenGraphFileReleasesTheHandleItUsed) {
  std::uint32_t before = LoadPictureFile(SmallPng().c_str());
  vxtest::Image img = vxtest::Image::Adopt(OpenGraphFile(SmallPng().c_str()));
  std::uint32_t after = LoadPictureFile(SmallPng().c_str());
  ASSERT_EQ(img.img().valid, 1);
  // Handles come from a counter: OpenGraphFile's was the one in between.
  ASSERT_EQ(after, before + 2);
  EXPECT_EQ(DeleteObject(before + 1), 0);
  EXPECT_EQ(DeleteObject(before), 1);
  EXPECT_EQ(DeleteObject(after), 1);
}

TEST(PictureHandle, ConcurrentLoadsGetDistinctHandles) {
  constexpr int kThreads = 4;
  constexpr int kLoads = 25;
  std::vector<std::vector<std::uint32_t>> handles(kThreads);
  std::vector<int> valid_images(kThreads, 0);
  std::vector<std::thread> threads;
  const std::string path = SmallPng();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLoads; ++i) {
        handles[t].push_back(LoadPictureFile(path.c_str()));
        IMG img = OpenGraphFile(path.c_str());
        valid_images[t] += img.valid;
        if (img.valid) DeleteImg(img);
      }
    });
  }
  for (auto& t : threads) t.join();
  std::set<std::uint32_t> all;
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(valid_images[t], kLoads);
    all.insert(handles[t].begin(), handles[t].end());
  }
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kLoads));
  EXPECT_EQ(all.count(0), 0u);
  for (std::uint32_t h : all) EXPECT_EQ(DeleteObject(h), 1);
}

TEST(PictureHandle, EmptyAndMissingPathsFail) {
  EXPECT_EQ(OpenGraphFile("").valid, 0);
  EXPECT_EQ(OpenGraphFile(nullptr).valid, 0);
  EXPECT_EQ(LoadPictureFile(""), 0u);
  EXPECT_EQ(LoadPictureFile(vxtest::TempPath("missing.png").c_str()), 0u);
  EXPECT_EQ(OpenGraphFile(vxtest::TempPath("missing.png").c_str()).valid, 0);
}

}  // namespace
