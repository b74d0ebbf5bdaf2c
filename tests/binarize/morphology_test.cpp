// 3 x 3 erosion and dilation: the row kernels against a plain loop, the
// borders, and the refusals that leave the source with the caller.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "binarize/morphology.h"
#include "image/gray.h"
#include "support/images.h"
#include "vexolith.h"

using vxtest::Image;

namespace {

// The filter as written down: every interior pixel the extreme of its nine
// source neighbours, everything else (edges, padding) as it was.
std::vector<unsigned char> PlainFilter(const IMG& img, bool erode) {
  std::vector<unsigned char> out(img.bits, img.bits + img.stride * img.height);
  for (int y = 1; y < img.height - 1; ++y)
    for (int x = 1; x < img.width - 1; ++x) {
      int v = erode ? 255 : 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
          const int s = img.bits[(y + j) * img.stride + x + i];
          v = erode ? std::min(v, s) : std::max(v, s);
        }
      out[y * img.stride + x] = static_cast<unsigned char>(v);
    }
  return out;
}

std::vector<unsigned char> Bytes(const IMG& img) { return {img.bits, img.bits + img.stride * img.height}; }

}  // namespace

// Widths around the 32-byte vectors and their overlapping last step, random
// and binary pixels, random padding (which must stay as it was), both
// kernels and the exported calls. Edge pixels are copied but still count for
// their interior neighbours.
TEST(Morphology, KernelsMatchPlainLoop) {
  std::mt19937 rng(7);
  const std::vector<bool> kernels =
      vx::CpuHasAvx2() ? std::vector<bool>{false, true} : std::vector<bool>{false};
  for (int w : {3, 4, 5, 31, 32, 33, 34, 35, 63, 64, 65, 66, 67, 100, 129})
    for (int h : {3, 4, 9})
      for (int trial = 0; trial < 2; ++trial) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " trial " + std::to_string(trial));
        const int stride = w + static_cast<int>(rng() % 6);
        std::vector<unsigned char> pixels(stride * h);
        for (auto& p : pixels) p = trial ? (rng() % 4 ? 255 : 0) : static_cast<unsigned char>(rng());
        const IMG src{pixels.data(), w, stride, h, 1, 1};
        for (bool erode : {true, false}) {
          const auto expected = PlainFilter(src, erode);
          const auto op = erode ? vx::MorphOp::kMin : vx::MorphOp::kMax;
          for (bool avx2 : kernels) {
            std::vector<unsigned char> work = pixels;
            ASSERT_TRUE(vx::MorphFilterInPlace(op, IMG{work.data(), w, stride, h, 1, 1}, avx2));
            EXPECT_EQ(work, expected) << (erode ? "erode" : "dilate") << (avx2 ? " avx2" : " portable");
          }
          IMG copy{};
          ASSERT_EQ(CopyIMG(src, &copy), 0);
          Image out = Image::Adopt(erode ? Img_Erode(copy) : Img_Dilate(copy));
          ASSERT_EQ(out.img().valid, 1);
          EXPECT_EQ(out.img().gray, 1);
          EXPECT_EQ(out.img().stride, stride);
          EXPECT_EQ(Bytes(out.img()), expected) << (erode ? "Img_Erode" : "Img_Dilate");
        }
      }
}

// Every refusal gives `valid` 0 and leaves the source's bytes and buffer
// with the caller (the buffers here are the test's own, so a release by the
// library would be caught by the sanitizers).
TEST(Morphology, RefusalsLeaveTheSource) {
  struct Case {
    const char* name;
    int width, stride, height;
    unsigned char valid, gray;
    bool null_bits;
  };
  const Case cases[] = {
      {"24-bit", 4, 12, 4, 1, 0, false},  {"not valid", 4, 4, 4, 0, 1, false},
      {"width 2", 2, 4, 4, 1, 1, false},  {"height 2", 4, 4, 2, 1, 1, false},
      {"stride 2", 3, 2, 4, 1, 1, false}, {"gray 2", 4, 4, 4, 1, 2, false},
      {"null bits", 4, 4, 4, 1, 1, true}, {"stride below width", 5, 4, 4, 1, 1, false},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> pixels(64, 0);
    pixels[5] = 255;
    const IMG src{c.null_bits ? nullptr : pixels.data(), c.width, c.stride, c.height, c.valid, c.gray};
    for (bool erode : {true, false}) {
      const IMG out = erode ? Img_Erode(src) : Img_Dilate(src);
      EXPECT_EQ(out.valid, 0) << c.name << (erode ? " erode" : " dilate");
      EXPECT_EQ(pixels[5], 255) << c.name;
      EXPECT_EQ(pixels[6], 0) << c.name;
    }
  }
}
