// The vexolith command on generated pictures: verdicts, JSON, marking, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/cli/run_command.h"
#include "tools/bmp_file.h"
#include "tools/random_params.h"
#include "tools/sample_params.h"
#include "vexolith.h"

namespace {

using namespace vxclitest;

// Draws params into the test folder as `name`; returns the path and the truth.
std::string Draw(const vxgen::FigureParams& params, const std::string& name, vxgen::Truth* truth = nullptr) {
  const vxgen::TestPicture t = vxgen::Render(params);
  const std::string path = vxclitest::TestDir() + "/" + name;
  EXPECT_TRUE(vxgen::WriteBmp(path, t.picture));
  if (truth) *truth = t.truth;
  return path;
}

std::vector<std::string> Grid(const vxgen::Truth& t) { return vxgen::VerdictRows(t.rows, t.cols, t.black); }

CommandRun Read(const vxgen::Truth& t, std::vector<std::string> more) {
  more.insert(more.begin(), {"read", "--rows", std::to_string(t.rows), "--cols", std::to_string(t.cols)});
  return RunVexolith(more);
}

// No picture reads the shipped sample; the reader prints no region lines, even when asked to show them.
TEST(ReadEndToEnd, NoPictureReadsTheShippedSampleAndPrintsNothingElse) {
  const vxgen::Truth truth = vxgen::Render(vxgen::SampleParams()).truth;
  const CommandRun run = RunVexolith({"read"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(Lines(run.out), Grid(truth));
  EXPECT_EQ(run.err, "");
  const CommandRun shown = RunVexolith({"read", "--show-contours", VEXOLITH_SAMPLE_PICTURE});
  EXPECT_EQ(Lines(shown.out), Grid(truth));
  EXPECT_EQ(shown.err, "");
}

// Random-set pictures drawn smaller than the full set's 1500 pixels; fewer
// than `minimum` of `count` read wholly right fails.
struct PassGroup {
  const char* name;
  std::uint32_t seed;
  double min_size, max_size;  // pixels across
  int count, minimum;
  const char* binarize = "auto";
};

class ReadRateGroup : public testing::TestWithParam<PassGroup> {};

TEST_P(ReadRateGroup, MeetsTheMinimumPassCount) {
  const PassGroup& g = GetParam();
  const vxgen::SetLimits limits{.min_size = g.min_size, .max_size = g.max_size};
  int right = 0;
  for (int k = 0; k < g.count; ++k) {
    const vxgen::FigureParams params = vxgen::RandomParams(g.seed, k, limits);
    vxgen::Truth truth;
    const CommandRun run =
        Read(truth, {"--binarize", g.binarize, Draw(params, g.name + std::to_string(k) + ".bmp", &truth)});
    const bool ok = run.exit_code == 0 && Lines(run.out) == Grid(truth);
    right += ok;
    EXPECT_TRUE(ok) << g.name << " #" << k << " " << params.rows << "x" << params.cols << " size "
                    << params.size << " angle " << params.angle << ": " << run.err << run.out;
  }
  EXPECT_GE(right, g.minimum);
}

INSTANTIATE_TEST_SUITE_P(GeneratedSet, ReadRateGroup,
                         testing::Values(PassGroup{"small", 11, 60, 150, 8, 8},
                                         PassGroup{"medium", 12, 150, 400, 8, 8},
                                         PassGroup{"large", 13, 400, 900, 6, 6},
                                         PassGroup{"local", 14, 150, 400, 3, 3, "local"},
                                         PassGroup{"block", 15, 150, 400, 3, 3, "block"}),
                         [](const testing::TestParamInfo<PassGroup>& info) { return info.param.name; });

// 5 x 8 cells, only (1, 1) black: seen where each turn puts it. Unturned, the
// marked picture has a red cross there, paper elsewhere and a green outline.
TEST(ReadEndToEnd, RowsFollowThePictureAsSeenWhenTurnedAndAreMarked) {
  vxgen::FigureParams params{.rows = 5, .cols = 8, .black = std::vector<bool>(40), .size = 240};
  params.black[1 * 8 + 1] = true;
  const std::string marked = vxclitest::TestDir() + "/marked.bmp";
  for (double angle : {90.0, 180.0, 270.0, 0.0}) {
    params.angle = angle;
    vxgen::Truth truth;
    const CommandRun run = Read(truth, {"--marked", marked, Draw(params, "turned.bmp", &truth)});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> rows = Lines(run.out);
    ASSERT_EQ(rows, Grid(truth)) << angle;
    const int seen_row = angle == 0 || angle == 270 ? 1 : truth.rows - 2;
    const int seen_col = angle == 0 || angle == 90 ? 1 : truth.cols - 2;
    EXPECT_EQ(rows[seen_row][seen_col], '#') << angle;
  }
  IMG m = OpenDF(marked.c_str());  // rows in the file run bottom-up
  ASSERT_TRUE(m.valid);
  const vxgen::TestPicture t = vxgen::Render(params);
  EXPECT_TRUE(m.width == t.picture.width && m.height == t.picture.height);
  const double cell = 240.0 / 8, x0 = t.truth.corners[0].x + 0.5, y0 = t.truth.corners[0].y + 0.5;
  auto bgr = [&](double x, double y) {
    const unsigned char* c = m.bits + static_cast<std::size_t>(m.height - 1 - int(y)) * m.stride + 3 * int(x);
    return std::vector<int>{c[0], c[1], c[2]};
  };
  EXPECT_EQ(bgr(x0 + 1.5 * cell, y0 + 1.5 * cell), (std::vector<int>{0, 0, 255}));  // the red cross
  const std::vector<int> paper = bgr(x0 + 2.5 * cell, y0 + 2.5 * cell);             // a white cell, unmarked
  EXPECT_GT(std::min(paper[0], paper[1]), 150);
  bool green = false;  // the outline crosses the top edge's middle within a pixel or two
  for (int dy = -2; dy <= 2; ++dy)
    green = green || bgr(x0 + 3.5 * cell, y0 + dy) == std::vector<int>{0, 200, 0};
  EXPECT_TRUE(green);
  DeleteImg(m);
}

// A ~1700-pixel picture is read reduced, corners mapped back; python reads the JSON.
TEST(ReadEndToEnd, JsonParsesAndCarriesCornersValuesAndCount) {
  vxgen::FigureParams params = vxgen::RandomParams(21, 3);
  params.size = 1400;
  params.margin = 0.1;
  vxgen::Truth truth;
  const std::string path = Draw(params, "json \"name\".bmp", &truth);
  const CommandRun run = Read(truth, {"--json", path});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::ostringstream corners, expected;
  for (const vxcli::Pt& c : truth.corners) corners << c.x << "," << c.y << ",";
  expected << path << " True " << truth.rows << " " << truth.cols << " "
           << std::count(truth.black.begin(), truth.black.end(), true);
  for (const std::string& row : Grid(truth)) expected << " " << row;
  expected << " " << truth.rows << " " << truth.cols << " True\n";
  const CommandRun py = vxclitest::RunPython(
      "import json,sys\no=json.loads(open(sys.argv[1]).read())\n"
      "c=sum(o['corners'],[])\nnear=len(c)==8 and all(abs(a-b)<2 for a,b in zip(c,[" +
          corners.str() +
          "]))\n"
          "print(o['file'],o['ok'],o['rows'],o['cols'],o['black'],*o['verdicts'],"
          "len(o['values']),len(o['values'][0]),near)",
      run.out);
  EXPECT_EQ(py.out, expected.str()) << py.err << run.out;
}

// Results keep the given order across threads; each failure is one stderr line; exit 1.
TEST(ReadEndToEnd, ManyPicturesKeepTheirOrderAndFailuresAreNamed) {
  const vxgen::FigureParams a{.rows = 6, .cols = 6, .black = {}, .size = 150},
      b{.rows = 6, .cols = 6, .black = {}, .size = 150, .angle = 30, .seed = 2},
      blank{.rows = 6, .cols = 6, .black = {}, .size = 10};  // a dot only: no figure
  vxgen::Truth ta, tb;
  const std::string pa = Draw(a, "a.bmp", &ta), pb = Draw(b, "b.bmp", &tb), pblank = Draw(blank, "blank.bmp");
  const std::string dir = vxclitest::TestDir(), missing = dir + "/missing.bmp", junk = dir + "/junk.bmp",
                    tiny = dir + "/tiny.bmp";
  std::ofstream(junk) << "not a picture at all";
  EXPECT_TRUE(vxgen::WriteBmp(tiny, vxgen::Picture{11, 40, std::vector<std::uint8_t>(11 * 40 * 3, 255)}));

  const CommandRun run =
      RunVexolith({"read", "--jobs", "3", "--rows", "6", "--cols", "6", pa, missing, junk, pb, pblank, tiny});
  EXPECT_EQ(run.exit_code, 1);
  std::vector<std::string> expected{pa + ":"};
  for (const std::string& row : Grid(ta)) expected.push_back(row);
  expected.push_back(pb + ":");
  for (const std::string& row : Grid(tb)) expected.push_back(row);
  EXPECT_EQ(Lines(run.out), expected);
  EXPECT_EQ(Lines(run.err),
            (std::vector<std::string>{
                "vexolith: " + missing + ": cannot open: No such file or directory",
                "vexolith: " + junk + ": not a picture that can be read (BMP, PNG, JPEG, TIFF or GIF)",
                "vexolith: " + pblank + ": no figure found (no dark region large enough for a figure)",
                "vexolith: " + tiny + ": picture too small (11x40 pixels)",
            }));
  const CommandRun unwritable = RunVexolith({"read", "--marked", "/nonexistent-folder/out.bmp", pa});
  EXPECT_EQ(unwritable.exit_code, 1);
  EXPECT_EQ(unwritable.err,
            "vexolith: " + pa + ": cannot write the marked picture to /nonexistent-folder/out.bmp\n");
}

TEST(TestPicture, SameSeedSamePictureOtherSeedOtherCells) {
  const vxgen::FigureParams params = vxgen::RandomParams(3, 5);
  EXPECT_EQ(vxgen::Render(params).picture.bgr, vxgen::Render(params).picture.bgr);
  vxgen::FigureParams other = params;
  other.seed += 1;
  EXPECT_NE(vxgen::FigureCells(params), vxgen::FigureCells(other));
}

}  // namespace
