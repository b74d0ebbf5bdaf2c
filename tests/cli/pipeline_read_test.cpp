// The read pipeline called in-process, as the read-rate tool and the
// benchmarks call it.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/pipeline.h"
#include "tests/cli/run_command.h"
#include "tools/sample_params.h"

namespace {

// Colour and gray pictures give the truth and leave the caller's pixels as
// they were; a gray one is marked on a colour copy.
TEST(PipelineRead, ColourAndGrayGiveTheTruthAndLeaveThePixels) {
  const vxgen::Truth truth = vxgen::Render(vxgen::SampleParams()).truth;
  IMG colour = OpenDF(VEXOLITH_SAMPLE_PICTURE);
  ASSERT_TRUE(colour.valid);
  UpDownImage(colour);  // files arrive bottom line first
  IMG gray = Img24To8(colour);
  ASSERT_TRUE(gray.valid && gray.gray);
  const std::string marked = vxclitest::TestDir() + "/gray-marked.bmp";
  for (const IMG& picture : {colour, gray}) {
    SCOPED_TRACE(picture.gray ? "gray" : "colour");
    const std::vector<unsigned char> before(picture.bits, picture.bits + picture.stride * picture.height);
    vxcli::ReadOptions options;
    if (picture.gray) options.marked = marked;
    const vxcli::ReadResult r = vxcli::ReadPicture(picture, options);
    ASSERT_TRUE(r.ok) << r.fault;
    EXPECT_EQ(r.black, truth.black);
    EXPECT_EQ(r.black_count, std::count(truth.black.begin(), truth.black.end(), true));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), picture.bits));
  }
  IMG m = OpenDF(marked.c_str());
  EXPECT_TRUE(m.valid && !m.gray && m.width == colour.width);
  DeleteImg(m);
  DeleteImg(gray);
  DeleteImg(colour);
}

}  // namespace
