// The read pipeline called in-process, as the read-rate tool and the
// benchmarks call it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "cli/pipeline.h"
#include "tests/cli/run_command.h"
#include "tools/sample_params.h"

namespace {

// A test picture as a top-down IMG held in a vector, 24-bit or gray.
struct HeldPicture {
  std::vector<unsigned char> pixels;
  IMG img{};
};

HeldPicture Hold(const vxgen::Picture& p, bool gray) {
  HeldPicture h;
  const int bpp = gray ? 1 : 3;
  const int stride = (p.width * bpp + 3) / 4 * 4;
  h.pixels.assign(static_cast<std::size_t>(stride) * p.height, 0);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const unsigned char* src = &p.bgr[(static_cast<std::size_t>(y) * p.width + x) * 3];
      unsigned char* dst = &h.pixels[static_cast<std::size_t>(y) * stride + x * bpp];
      if (gray)
        dst[0] = static_cast<unsigned char>((src[0] + src[1] + src[2]) / 3);
      else
        dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
    }
  }
  h.img = IMG{h.pixels.data(), p.width, stride, p.height, 1, static_cast<unsigned char>(gray ? 1 : 0)};
  return h;
}

class PipelineRead : public testing::Test {
 protected:
  void SetUp() override {
    const vxgen::TestPicture t = vxgen::Render(vxgen::SampleParams());
    picture_ = t.picture;
    truth_ = t.truth;
    options_.rows = truth_.rows;
    options_.cols = truth_.cols;
  }
  vxgen::Picture picture_;
  vxgen::Truth truth_;
  vxcli::ReadOptions options_;
};

TEST_F(PipelineRead, ColourAndGrayPicturesGiveTheTruthAndLeaveThePixels) {
  for (bool gray : {false, true}) {
    SCOPED_TRACE(gray ? "gray" : "colour");
    HeldPicture held = Hold(picture_, gray);
    const std::vector<unsigned char> before = held.pixels;
    const vxcli::ReadResult r = vxcli::ReadPicture(held.img, options_);
    ASSERT_TRUE(r.ok) << r.fault;
    EXPECT_EQ(r.black, truth_.black);
    int black = 0;
    for (bool b : truth_.black) black += b;
    EXPECT_EQ(r.black_count, black);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(r.corners[k].x, truth_.corners[k].x, 1.0);
      EXPECT_NEAR(r.corners[k].y, truth_.corners[k].y, 1.0);
    }
    EXPECT_EQ(held.pixels, before);
  }
}

TEST_F(PipelineRead, GrayPictureIsMarkedOnAColourCopy) {
  HeldPicture held = Hold(picture_, true);
  const std::vector<unsigned char> before = held.pixels;
  const std::string folder = vxclitest::TempDir();
  options_.marked = folder + "/gray-marked.bmp";
  const vxcli::ReadResult r = vxcli::ReadPicture(held.img, options_);
  ASSERT_TRUE(r.ok) << r.fault;
  IMG m = OpenDF(options_.marked.c_str());
  ASSERT_TRUE(m.valid);
  EXPECT_EQ(m.gray, 0);
  EXPECT_EQ(m.width, picture_.width);
  DeleteImg(m);
  EXPECT_EQ(held.pixels, before);
  std::filesystem::remove_all(folder);
}

TEST_F(PipelineRead, RefusesWhatItCannotRead) {
  HeldPicture held = Hold(picture_, false);
  options_.rows = 0;
  EXPECT_NE(vxcli::ReadPicture(held.img, options_).fault.find("at least one row"), std::string::npos);
  options_.rows = 10;
  IMG tiny = held.img;
  tiny.width = 11;
  const vxcli::ReadResult small = vxcli::ReadPicture(tiny, options_);
  EXPECT_FALSE(small.ok);
  EXPECT_EQ(small.fault, "picture too small (11x" + std::to_string(picture_.height) + " pixels)");
  options_.marked = "/nonexistent-folder/out.bmp";
  const vxcli::ReadResult unwritable = vxcli::ReadPicture(held.img, options_);
  EXPECT_FALSE(unwritable.ok);
  EXPECT_EQ(unwritable.fault, "cannot write the marked picture to /nonexistent-folder/out.bmp");
}

}  // namespace
