// Every input that once crashed or upset a reader is kept in regressions/
// and replayed through both readers: each must return normally, and a
// result it accepts must be a well-formed image.
#include <gtest/gtest.h>

#include <filesystem>

#include "vexolith.h"

namespace {

void ExpectWellFormed(const IMG& img) {
  if (!img.valid) return;
  EXPECT_EQ(img.gray, 0);
  EXPECT_GT(img.width, 0);
  EXPECT_GT(img.height, 0);
  EXPECT_EQ(img.stride, (3 * img.width + 3) / 4 * 4);
  DeleteImg(img);
}

TEST(PictureRegressions, StoredInputsAreReadWithoutHarm) {
  const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / "regressions";
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string path = entry.path().string();
    ExpectWellFormed(OpenDF(path.c_str()));
    ExpectWellFormed(OpenGraphFile(path.c_str()));
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
