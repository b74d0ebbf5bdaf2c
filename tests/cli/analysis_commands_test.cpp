// The detect, segment and histogram commands end to end: their results on
// pictures with known content, and the conventions they share with read
// (order, fault lines, JSON, exit status, numbered and checked output files).
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "cli/command_options.h"
#include "tests/cli/run_command.h"
#include "vexolith.h"

namespace {

using namespace vxclitest;

// 320 x 240 white with a code-like square at x 96..191, y 64..159: 12 x 12
// modules of 8 pixels, black or white at random (seeded).
vxgen::Picture CodePicture() {
  vxgen::Picture picture{320, 240, std::vector<std::uint8_t>(320 * 240 * 3, 255)};
  std::uint32_t state = 12345;
  for (int my = 0; my < 12; ++my)
    for (int mx = 0; mx < 12; ++mx) {
      state = state * 1664525u + 1013904223u;
      if ((state >> 16) & 1) continue;
      for (int y = 64 + 8 * my; y < 72 + 8 * my; ++y)
        for (int x = 96 + 8 * mx; x < 104 + 8 * mx; ++x)
          for (int ch = 0; ch < 3; ++ch) picture.bgr[(y * 320 + x) * 3 + ch] = 0;
    }
  return picture;
}

// 128 x 96 gray 200, with black-and-white stripes two pixels wide in the
// box x 32..63, y 16..47 (the upper half, so a picture read upside down
// puts it elsewhere).
vxgen::Picture StripedPicture() {
  vxgen::Picture p{128, 96, std::vector<std::uint8_t>(128 * 96 * 3, 200)};
  for (int y = 16; y < 48; ++y)
    for (int x = 32; x < 64; ++x)
      for (int ch = 0; ch < 3; ++ch) p.bgr[(y * 128 + x) * 3 + ch] = (x / 2) % 2 ? 0 : 255;
  return p;
}

const std::string& Code() {
  static const std::string path = WritePicture(CodePicture(), "code.bmp");
  return path;
}
const std::string& Striped() {
  static const std::string path = WritePicture(StripedPicture(), "striped.bmp");
  return path;
}

TEST(AnalysisCommands, DetectFindsTheCodeSquareAndOutlinesIt) {
  const std::string marked = TestDir() + "/regions.bmp";
  const CommandRun run = RunVexolith({"detect", Code(), "--marked", marked});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 1u) << run.out;
  // LEFT TOP RIGHT BOTTOM within a cell of the search (16 pixels) of the
  // square's; y runs downward.
  std::istringstream numbers(lines[0]);
  for (const int want : {96, 64, 192, 160}) {
    int got = -1;
    numbers >> got;
    EXPECT_NEAR(got, want, 16) << lines[0];
  }

  IMG out = OpenDF(marked.c_str());
  ASSERT_EQ(out.valid, 1) << "marked picture written";
  int red = 0;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      const unsigned char* p = out.bits + static_cast<std::size_t>(y) * out.stride + 3 * x;
      red += p[0] == 0 && p[1] == 0 && p[2] == 255;
    }
  EXPECT_GE(red, 2 * 96) << "the outline is drawn in red";
  DeleteImg(out);

  const CommandRun json = RunVexolith({"detect", "--json", Code()});
  const CommandRun py = RunPython(
      "import json,sys\no=json.loads(open(sys.argv[1]).read())\n"
      "print(o['ok'],o['width'],o['height'],o['factor'],' "
      "'.join(map(str,o['regions'][0])),len(o['regions']))",
      json.out);
  EXPECT_EQ(py.out, "True 320 240 1 " + lines[0] + " 1\n") << json.out << py.err;
}

// Segments and counts read from files: rows as seen (y downward), the
// stripes' segment, every pixel counted in its bin (gray 200 truncates to
// 199, bin 3), an area's own pixels, the pictures written.
TEST(AnalysisCommands, SegmentAndHistogramOfPicturesWithKnownContent) {
  const std::string painted = TestDir() + "/segments.bmp", chart = TestDir() + "/chart.bmp";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"segment", Striped()}, "2 segments, 8 x 6 blocks, 4 marked\n32 16 63 47\n"},
      {{"segment", "--json", Striped()},
       "{\"file\":\"" + Striped() +
           "\",\"ok\":true,\"segments\":2,\"blockCols\":8,\"blockRows\":6,\"marked\":4,"
           "\"rects\":[[32,16,63,47]]}\n"},
      {{"segment", "--best", "--block", "32", "--marked", painted, Striped()},
       "2 segments, 4 x 3 blocks, 2 marked\n"},
      {{"histogram", "--bins", "4", Striped()}, "total 12288, largest bin 3\n512 0 0 11776\n"},
      {{"histogram", "--bins", "4", "--area", "32,16,35,16", Striped()}, "total 4, largest bin 0\n2 0 0 2\n"},
      {{"histogram", "--json", "--bins", "1", "--chart", chart, Code()},
       "{\"file\":\"" + Code() + "\",\"ok\":true,\"total\":76800,\"largest\":0,\"bins\":[76800]}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const CommandRun run = RunVexolith(c.args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
  }
  for (const std::string& written : {painted, chart}) {
    IMG out = OpenDF(written.c_str());
    EXPECT_EQ(out.valid, 1) << written;
    DeleteImg(out);
  }
  const CommandRun outside = RunVexolith({"histogram", "--area", "0,0,128,0", Striped()});
  EXPECT_EQ(outside.exit_code, 1) << "an area reaching past the picture";
}

// Each command as read does it: results in the order given with a "PATH:"
// line before each when several, one stderr line per failure and exit 1,
// a JSON line for every picture, special files refused at once, output
// files numbered for several pictures. (Results are written by code all
// commands share; command_faults_test sends them to /dev/full.)
TEST(AnalysisCommands, EveryCommandKeepsTheCommandsConventions) {
  const std::string missing = TestDir() + "/missing.bmp";
  const std::string fifo = TestDir() + "/pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* verb;
    const char* flag;
    const char* what;
  } cases[] = {
      {"detect", "--marked", "marked picture"},
      {"segment", "--marked", "marked picture"},
      {"histogram", "--chart", "chart"},
  };
  for (const auto& [verb, flag, what] : cases) {
    SCOPED_TRACE(verb);
    const std::string first = Lines(RunVexolith({verb, Code()}).out).at(0);
    const CommandRun batch = RunVexolith({verb, "--jobs", "2", Code(), missing, Striped(), fifo}, "", kHang);
    EXPECT_EQ(batch.exit_code, 1);
    const std::vector<std::string> lines = Lines(batch.out);
    ASSERT_GE(lines.size(), 3u) << batch.out;
    EXPECT_EQ(lines[0], Code() + ":");
    EXPECT_EQ(lines[1], first) << "the single picture's first line";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), Striped() + ":"), 1) << batch.out;
    EXPECT_EQ(batch.out.find(missing), std::string::npos) << "failures only on standard error";
    EXPECT_EQ(Lines(batch.err), (std::vector<std::string>{
                                    "vexolith: " + missing + ": cannot open: No such file or directory",
                                    "vexolith: " + fifo + ": cannot open: not a regular file",
                                }));

    const CommandRun json = RunVexolith({verb, "--json", Code(), missing});
    EXPECT_EQ(json.exit_code, 1);
    const CommandRun oks =
        RunPython("import json,sys\nprint([json.loads(l)['ok'] for l in open(sys.argv[1])])", json.out);
    EXPECT_EQ(oks.out, "[True, False]\n") << json.out << oks.err;

    const std::string out = TestDir() + "/" + verb + "-out.bmp";
    EXPECT_EQ(RunVexolith({verb, flag, out, Code(), Striped()}).exit_code, 0);
    for (const char* n : {"-1", "-2"}) {
      const std::string numbered = TestDir() + "/" + verb + "-out" + n + ".bmp";
      IMG written = OpenDF(numbered.c_str());
      EXPECT_EQ(written.valid, 1) << numbered;
      DeleteImg(written);
    }
    const CommandRun refused = RunVexolith({verb, flag, fifo, Code()}, "", kHang);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(refused.err, "vexolith: " + Code() + ": cannot write the " + what + " to " + fifo +
                               ": not a regular file\n");
  }
}

// Flags that several commands share reach the settings of the command given
// (--block, --bins, --area and --marked are seen at work above).
TEST(AnalysisCommands, SharedFlagsReachTheirOwnCommand) {
  const vxcli::Command segment = vxcli::ParseCommand({"segment", "--block", "24", "--bins=8", "--no-fold"});
  ASSERT_EQ(segment.error, "");
  EXPECT_EQ(segment.verb, vxcli::Verb::kSegment);
  EXPECT_EQ(segment.read.binarize, vxcli::Binarize::kAuto) << "read's --block left alone";
  EXPECT_EQ(segment.segment.bins, 8);
  EXPECT_FALSE(segment.segment.fold);
  const vxcli::Command detect = vxcli::ParseCommand({"detect", "--level", "90", "--marked", "m.bmp"});
  EXPECT_EQ(detect.detect.level, 90);
  EXPECT_EQ(detect.read.marked, "") << "read's --marked left alone";
}

}  // namespace
