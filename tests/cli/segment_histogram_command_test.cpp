#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_histogram.h"
#include "cli/command_segment.h"
#include "vexolith.h"

namespace {

// A 24-bit 128 x 96 picture (rows top-down): gray 200 everywhere, and in the
// box x 32..63, y 16..47 black-on-white stripes two pixels wide, a text-like
// texture of two well-separated levels.
struct Picture {
  std::vector<unsigned char> bytes;
  IMG img;
  Picture() : bytes(384 * 96, 200), img{bytes.data(), 128, 384, 96, 1, 0} {
    for (int y = 16; y < 48; ++y)
      for (int x = 32; x < 64; ++x)
        for (int ch = 0; ch < 3; ++ch) bytes[y * 384 + 3 * x + ch] = (x / 2) % 2 ? 0 : 255;
  }
};

std::string TempFile(const char* name) { return testing::TempDir() + name; }

TEST(SegmentCommand, FindsTheTexturedBox) {
  Picture picture;
  vxcli::SegmentSettings settings;
  settings.marked = TempFile("segments.bmp");
  const vxcli::SegmentResult r = vxcli::SegmentPicture(picture.img, settings);
  ASSERT_TRUE(r.ok) << r.fault;
  // The four striped blocks are marked and form the second segment.
  EXPECT_EQ(vxcli::FormatSegmentText("p.png", r, true),
            "p.png:\n2 segments, 8 x 6 blocks, 4 marked\n32 16 63 47\n");
  EXPECT_EQ(vxcli::FormatSegmentJson("p.png", r),
            "{\"file\":\"p.png\",\"ok\":true,\"segments\":2,\"blockCols\":8,\"blockRows\":6,\"marked\":4,"
            "\"rects\":[[32,16,63,47]]}\n");
  IMG marked = OpenDF(settings.marked.c_str());
  EXPECT_EQ(marked.valid, 1) << "marked picture written";
  EXPECT_EQ(marked.width, 128);
  DeleteImg(marked);
  std::remove(settings.marked.c_str());

  settings.block = 1;
  const vxcli::SegmentResult bad = vxcli::SegmentPicture(picture.img, settings);
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(vxcli::FormatSegmentJson("p.png", bad),
            "{\"file\":\"p.png\",\"ok\":false,\"error\":\"the block side must be 2 to 1024 pixels\"}\n");
}

TEST(HistogramCommand, BinsOfThePictureOrAnArea) {
  Picture picture;
  vxcli::HistogramSettings settings;
  settings.bins = 4;
  settings.chart = TempFile("chart.bmp");
  const vxcli::HistogramResult whole = vxcli::HistogramOfPicture(picture.img, settings);
  ASSERT_TRUE(whole.ok) << whole.fault;
  // Gray of 200 is 199 after truncation (bin 3); stripes give 0 and 255.
  EXPECT_EQ(vxcli::FormatHistogramJson("p.png", whole),
            "{\"file\":\"p.png\",\"ok\":true,\"total\":12288,\"largest\":3,\"bins\":[512,0,0,11776]}\n");
  IMG chart = OpenDF(settings.chart.c_str());
  EXPECT_EQ(chart.width, 512) << "chart written";
  DeleteImg(chart);
  std::remove(settings.chart.c_str());

  settings.chart.clear();
  settings.whole = false;
  settings.area = RECT{32, 16, 35, 16};
  const vxcli::HistogramResult area = vxcli::HistogramOfPicture(picture.img, settings);
  EXPECT_EQ(vxcli::FormatHistogramText("p.png", area, false), "total 4, largest bin 0\n2 0 0 2\n");
  settings.area = RECT{0, 0, 128, 0};
  EXPECT_FALSE(vxcli::HistogramOfPicture(picture.img, settings).ok) << "area outside the picture";
}

}  // namespace
