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
#include "tools/bmp_file.h"
#include "vexolith.h"

namespace {

using namespace vxclitest;

constexpr int kHang = 60;  // seconds; a run that takes longer has hung (exit 124)

// 320 x 240 white with a code-like square at x 96..191, y 64..159: 12 x 12
// modules of 8 pixels, black or white at random (seeded).
struct CodePicture {
  static constexpr int kLeft = 96, kTop = 64, kSide = 96;
  vxgen::Picture picture{320, 240, std::vector<std::uint8_t>(320 * 240 * 3, 255)};
  int black = 0;  // black pixels
  CodePicture() {
    std::uint32_t state = 12345;
    for (int my = 0; my < kSide / 8; ++my)
      for (int mx = 0; mx < kSide / 8; ++mx) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 16) & 1) continue;
        for (int y = kTop + 8 * my; y < kTop + 8 * my + 8; ++y)
          for (int x = kLeft + 8 * mx; x < kLeft + 8 * mx + 8; ++x, ++black)
            for (int ch = 0; ch < 3; ++ch) picture.bgr[(y * 320 + x) * 3 + ch] = 0;
      }
  }
};

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

std::string Write(const vxgen::Picture& p, const std::string& name) {
  const std::string path = TestDir() + "/" + name;
  EXPECT_TRUE(vxgen::WriteBmp(path, p)) << path;
  return path;
}

const std::string& Code() {
  static const std::string path = Write(CodePicture().picture, "code.bmp");
  return path;
}
const std::string& Striped() {
  static const std::string path = Write(StripedPicture(), "striped.bmp");
  return path;
}

// Parses the four numbers of a "LEFT TOP RIGHT BOTTOM" line.
RECT ParseRect(const std::string& line) {
  RECT r{-1, -1, -1, -1};
  std::istringstream(line) >> r.left >> r.top >> r.right >> r.bottom;
  return r;
}

TEST(AnalysisCommands, DetectFindsTheCodeSquareAndOutlinesIt) {
  const std::string marked = TestDir() + "/regions.bmp";
  const CommandRun run = RunVexolith({"detect", Code(), "--marked", marked});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 1u) << run.out;
  const RECT r = ParseRect(lines[0]);
  // The region holds the square's middle and stays near it (a cell of the
  // search, 16 pixels, either way).
  constexpr int kL = CodePicture::kLeft, kT = CodePicture::kTop, kS = CodePicture::kSide;
  EXPECT_LE(r.left, kL + kS / 4) << lines[0];
  EXPECT_GE(r.left, kL - 16) << lines[0];
  EXPECT_LE(r.top, kT + kS / 4) << lines[0];
  EXPECT_GE(r.top, kT - 16) << lines[0] << ": y runs downward";
  EXPECT_GE(r.right, kL + 3 * kS / 4) << lines[0];
  EXPECT_LE(r.right, kL + kS + 16) << lines[0];
  EXPECT_GE(r.bottom, kT + 3 * kS / 4) << lines[0];
  EXPECT_LE(r.bottom, kT + kS + 16) << lines[0];

  IMG out = OpenDF(marked.c_str());
  ASSERT_EQ(out.valid, 1) << "marked picture written";
  EXPECT_EQ(out.width, 320);
  int red = 0;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      const unsigned char* p = out.bits + static_cast<std::size_t>(y) * out.stride + 3 * x;
      red += p[0] == 0 && p[1] == 0 && p[2] == 255;
    }
  EXPECT_GE(red, 2 * (r.right - r.left)) << "the outline is drawn in red";
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
// stripes' segment, every pixel counted in its bin, the chart written.
TEST(AnalysisCommands, SegmentAndHistogramOfPicturesWithKnownContent) {
  const CommandRun segment = RunVexolith({"segment", Striped()});
  EXPECT_EQ(segment.exit_code, 0) << segment.err;
  EXPECT_EQ(segment.out, "2 segments, 8 x 6 blocks, 4 marked\n32 16 63 47\n");

  const std::string painted = TestDir() + "/segments.bmp";
  const CommandRun best = RunVexolith({"segment", "--best", "--block", "32", "--marked", painted, Striped()});
  EXPECT_EQ(best.exit_code, 0) << best.err;
  EXPECT_EQ(Lines(best.out).at(0), "2 segments, 4 x 3 blocks, 2 marked") << best.out;
  IMG out = OpenDF(painted.c_str());
  EXPECT_EQ(out.valid, 1) << "segments painted";
  EXPECT_EQ(out.height, 96);
  DeleteImg(out);

  const CodePicture code;
  const int white = 320 * 240 - code.black;
  const std::string chart = TestDir() + "/chart.bmp";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"histogram", "--bins", "4", Code()},
       "total 76800, largest bin 3\n" + std::to_string(code.black) + " 0 0 " + std::to_string(white) + "\n"},
      {{"histogram", "--json", "--bins", "1", "--chart", chart, Code()},
       "{\"file\":\"" + Code() + "\",\"ok\":true,\"total\":76800,\"largest\":0,\"bins\":[76800]}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + c.args[2] + c.args[3]);
    const CommandRun run = RunVexolith(c.args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
  // The square's first module row and a white strip to its left.
  const CommandRun area = RunVexolith({"histogram", "--bins", "2", "--area", "90,64,97,64", Code()});
  const std::vector<std::string> lines = Lines(area.out);
  ASSERT_EQ(lines.size(), 2u) << area.out;
  EXPECT_EQ(lines[0].substr(0, 9), "total 8, ") << "8 pixels of one row";
  const CodePicture pixels;
  int dark = 0;
  for (int x = 90; x <= 97; ++x) dark += pixels.picture.bgr[(64 * 320 + x) * 3] == 0;
  EXPECT_EQ(lines[1], std::to_string(dark) + " " + std::to_string(8 - dark)) << "the area's own pixels";
  IMG bars = OpenDF(chart.c_str());
  EXPECT_EQ(bars.valid, 1) << "chart written";
  EXPECT_EQ(bars.width, 512);
  DeleteImg(bars);
}

// Each command as read does it: results in the order given with a "PATH:"
// line before each when several, one stderr line per failure and exit 1,
// a JSON line for every picture, results that cannot be written, special
// files refused at once, flags of other commands refused.
TEST(AnalysisCommands, EveryCommandKeepsTheCommandsConventions) {
  const std::string missing = TestDir() + "/missing.bmp";
  const std::string fifo = TestDir() + "/pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const char* verb : {"detect", "segment", "histogram"}) {
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

    const CommandRun full = RunVexolith({verb, Code()}, ">/dev/full", kHang);
    EXPECT_EQ(full.exit_code, 1);
    EXPECT_NE(full.err.find("cannot write the results"), std::string::npos) << full.err;

    const CommandRun foreign = RunVexolith({verb, "--rows", "8", Code()});
    EXPECT_EQ(foreign.exit_code, 2);
    EXPECT_EQ(foreign.err, std::string("vexolith: option '--rows' does not apply to 'vexolith ") + verb +
                               "' (see vexolith --help)\n");
  }
}

// --marked and --chart are numbered for several pictures, and a path that
// is not a regular file is refused before anything is written.
TEST(AnalysisCommands, OutputFilesAreNumberedAndChecked) {
  const std::string fifo = TestDir() + "/out-pipe.bmp";
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.verb);
    const std::string out = TestDir() + "/" + c.verb + "-out.bmp";
    const CommandRun two = RunVexolith({c.verb, c.flag, out, Code(), Striped()});
    EXPECT_EQ(two.exit_code, 0) << two.err;
    for (const char* n : {"-1", "-2"}) {
      const std::string numbered = TestDir() + "/" + c.verb + "-out" + n + ".bmp";
      IMG written = OpenDF(numbered.c_str());
      EXPECT_EQ(written.valid, 1) << numbered;
      DeleteImg(written);
    }
    const CommandRun refused = RunVexolith({c.verb, c.flag, fifo, Code()}, "", kHang);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(refused.err, "vexolith: " + Code() + ": cannot write the " + c.what + " to " + fifo +
                               ": not a regular file\n");
  }
}

// Flags that several commands share reach the settings of the command given;
// bad values name the flag.
TEST(AnalysisCommands, SharedFlagsReachTheirOwnCommand) {
  const vxcli::Command segment =
      vxcli::ParseCommand({"segment", "--block", "24", "--bins=8", "--no-fold", "p.png"});
  ASSERT_EQ(segment.error, "");
  EXPECT_EQ(segment.verb, vxcli::Verb::kSegment);
  EXPECT_EQ(segment.segment.block, 24);
  EXPECT_EQ(segment.read.binarize, vxcli::Binarize::kAuto) << "read's --block left alone";
  EXPECT_EQ(segment.segment.bins, 8);
  EXPECT_FALSE(segment.segment.fold);
  const vxcli::Command detect = vxcli::ParseCommand({"detect", "--level", "90", "--marked", "m.bmp"});
  EXPECT_EQ(detect.detect.level, 90);
  EXPECT_EQ(detect.detect.marked, "m.bmp");
  EXPECT_EQ(detect.read.marked, "") << "read's --marked left alone";
  const vxcli::Command histogram = vxcli::ParseCommand({"histogram", "--area", "1,2,30,40", "--bins", "64"});
  EXPECT_FALSE(histogram.histogram.whole);
  EXPECT_EQ(histogram.histogram.area.right, 30);
  EXPECT_EQ(histogram.histogram.area.bottom, 40);
  EXPECT_EQ(histogram.histogram.bins, 64);

  const struct {
    std::vector<std::string> args;
    const char* says;
  } bad[] = {
      {{"histogram", "--bins", "0"}, "from 1 to 256"},
      {{"histogram", "--area", "1,2,3"}, "LEFT,TOP,RIGHT,BOTTOM"},
      {{"histogram", "--area", "5,0,4,9"}, "LEFT <= RIGHT"},
      {{"segment", "--join", "1.5"}, "from 0 to 1"},
      {{"segment", "--block", "1"}, "from 2 to 1024"},
      {{"detect", "--json=yes"}, "takes no value"},
      {{"detect", "--chart", "c.bmp"}, "does not apply to 'vexolith detect'"},
      {{"read", "--bins", "4"}, "does not apply to 'vexolith read'"},
  };
  for (const auto& c : bad)
    EXPECT_NE(vxcli::ParseCommand(c.args).error.find(c.says), std::string::npos)
        << c.args[1] << " " << c.says;
}

}  // namespace
