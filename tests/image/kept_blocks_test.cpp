// Picture-sized blocks released to the allocator are kept for reuse. A kept
// block must never be handed out for a request larger than itself, nor to
// two owners at once, whatever the order of sizes asked and released.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/buffer.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

TEST(KeptBlocks, EveryLiveBlockHoldsItsOwnBytes) {
  const std::vector<std::vector<std::size_t>> rounds = {
      {3 * kMiB, 12 * kMiB, 36 * kMiB},                // released, then asked again larger first
      {36 * kMiB, 36 * kMiB, 36 * kMiB, 2 * kMiB},     // more of one size than are kept
      {70 * kMiB, 5 * kMiB, 12 * kMiB + 1, 4 * kMiB},  // one above the kept total
  };
  for (std::size_t r = 0; r < rounds.size(); ++r) {
    for (bool reversed : {false, true}) {
      SCOPED_TRACE(testing::Message() << "round " << r << (reversed ? " reversed" : ""));
      std::vector<std::size_t> sizes = rounds[r];
      std::vector<unsigned char*> blocks;
      for (std::size_t n : sizes) blocks.push_back(vx::AllocBytes(n));
      for (unsigned char* b : blocks) vx::FreeBytes(b);
      if (reversed) sizes.assign(rounds[r].rbegin(), rounds[r].rend());
      blocks.clear();
      // Each block is filled whole with its own mark, then all are checked:
      // a block shorter than asked or shared with another shows up as a
      // sanitizer report or a foreign mark.
      for (std::size_t i = 0; i < sizes.size(); ++i) {
        blocks.push_back(vx::AllocBytes(sizes[i]));
        std::memset(blocks[i], static_cast<int>(i + 1), sizes[i]);
      }
      for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(blocks[i][0], i + 1) << "first byte of block " << i;
        EXPECT_EQ(blocks[i][sizes[i] - 1], i + 1) << "last byte of block " << i;
      }
      for (unsigned char* b : blocks) vx::FreeBytes(b);
    }
  }
  vx::ReleaseKeptBlocks();
}

}  // namespace
