// The vexolith command run on generated pictures: every verdict, the JSON,
// the marked picture and the failure paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/run_command.h"
#include "tools/bmp_file.h"
#include "tools/random_params.h"
#include "tools/sample_params.h"
#include "vexolith.h"

namespace {

using vxclitest::CommandRun;
using vxclitest::RunVexolith;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream s(text);
  for (std::string line; std::getline(s, line);) out.push_back(line);
  return out;
}

class ReadEndToEnd : public testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = new std::string(vxclitest::TempDir()); }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*dir_);
    delete dir_;
  }

  // Draws params into DIR/name and returns the path and the truth.
  static std::string Draw(const vxgen::FigureParams& params, const std::string& name,
                          vxgen::Truth* truth = nullptr) {
    const vxgen::TestPicture t = vxgen::Render(params);
    const std::string path = *dir_ + "/" + name;
    EXPECT_TRUE(vxgen::WriteBmp(path, t.picture));
    if (truth) *truth = t.truth;
    return path;
  }

  static std::vector<std::string> Grid(const vxgen::Truth& t) {
    return vxgen::VerdictRows(t.rows, t.cols, t.black);
  }
  static std::vector<std::string> Args(const vxgen::Truth& t, std::vector<std::string> more) {
    std::vector<std::string> a{"read", "--rows", std::to_string(t.rows), "--cols", std::to_string(t.cols)};
    a.insert(a.end(), more.begin(), more.end());
    return a;
  }

  static std::string* dir_;
};

std::string* ReadEndToEnd::dir_ = nullptr;

TEST_F(ReadEndToEnd, NoPictureReadsTheShippedSample) {
  const vxgen::Truth truth = vxgen::Render(vxgen::SampleParams()).truth;
  const CommandRun run = RunVexolith({"read"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(Lines(run.out), Grid(truth));
  EXPECT_EQ(run.err, "");
}

// Pictures of the random set, drawn smaller than the full set's 1500
// pixels to keep the suite quick; every verdict is compared. A drop below
// the group's minimum pass count fails.
struct PassGroup {
  const char* name;    // names the pictures and the failures
  std::uint32_t seed;  // random set seed
  double min_size;     // pixels across, smallest
  double max_size;     // and largest
  int count;           // pictures drawn
  int minimum;         // pictures that must be read wholly right
};

void PrintTo(const PassGroup& g, std::ostream* os) { *os << g.name; }

class ReadRateGroup : public ReadEndToEnd, public testing::WithParamInterface<PassGroup> {};

TEST_P(ReadRateGroup, MeetsTheMinimumPassCount) {
  const PassGroup& g = GetParam();
  vxgen::SetLimits limits;
  limits.min_size = g.min_size;
  limits.max_size = g.max_size;
  int right = 0;
  for (int k = 0; k < g.count; ++k) {
    const vxgen::FigureParams params = vxgen::RandomParams(g.seed, k, limits);
    vxgen::Truth truth;
    const std::string path = Draw(params, std::string(g.name) + std::to_string(k) + ".bmp", &truth);
    const CommandRun run = RunVexolith(Args(truth, {path}));
    const bool ok = run.exit_code == 0 && Lines(run.out) == Grid(truth);
    right += ok;
    if (!ok)
      ADD_FAILURE() << g.name << " #" << k << " " << params.rows << "x" << params.cols << " size "
                    << params.size << " angle " << params.angle << ": " << run.err << run.out;
  }
  EXPECT_GE(right, g.minimum);
}

INSTANTIATE_TEST_SUITE_P(GeneratedSet, ReadRateGroup,
                         testing::Values(PassGroup{"small", 11, 60, 150, 8, 8},
                                         PassGroup{"medium", 12, 150, 400, 8, 8},
                                         PassGroup{"large", 13, 400, 900, 6, 6}),
                         [](const testing::TestParamInfo<PassGroup>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ReadEndToEnd, RowsFollowThePictureAsSeenWhenTurned) {
  // 5 x 8 cells, free cell (1, 1) black only: turned a quarter
  // counter-clockwise it is seen near the bottom-left.
  vxgen::FigureParams params;
  params.rows = 5;
  params.cols = 8;
  params.size = 240;
  params.black.assign(40, false);
  params.black[1 * 8 + 1] = true;
  for (double angle : {0.0, 90.0, 180.0, 270.0}) {
    params.angle = angle;
    vxgen::Truth truth;
    const std::string path = Draw(params, "turned.bmp", &truth);
    const CommandRun run = RunVexolith(Args(truth, {path}));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> rows = Lines(run.out);
    EXPECT_EQ(rows, Grid(truth)) << angle;
    const int seen_row = angle == 0 || angle == 270 ? 1 : truth.rows - 2;
    const int seen_col = angle == 0 || angle == 90 ? 1 : truth.cols - 2;
    ASSERT_EQ(static_cast<int>(rows.size()), truth.rows);
    EXPECT_EQ(rows[seen_row][seen_col], '#') << angle;
  }
}

TEST_F(ReadEndToEnd, JsonParsesAndCarriesCornersValuesAndCount) {
  vxgen::FigureParams params = vxgen::RandomParams(5, 1);
  params.size = 300;
  vxgen::Truth truth;
  const std::string path = Draw(params, "json \"name\".bmp", &truth);
  const CommandRun run = RunVexolith(Args(truth, {"--json", path}));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(vxclitest::EveryLineIsJson(run.out)) << run.out;
  // Field by field through python, so the test reads the JSON as any consumer would.
  const std::string script = *dir_ + "/check.py";
  std::ofstream(script) << "import json,sys\n"
                           "o=json.loads(open(sys.argv[1]).read())\n"
                           "print(o['file']); print(o['ok'], o['rows'], o['cols'], o['black'])\n"
                           "print('\\n'.join(o['verdicts']))\n"
                           "print(' '.join('%.1f,%.1f' % tuple(c) for c in o['corners']))\n"
                           "print(len(o['values']), len(o['values'][0]))\n";
  const std::string out_path = *dir_ + "/out.json";
  std::ofstream(out_path) << run.out;
  const CommandRun py = vxclitest::RunProgram("/usr/bin/python3", {script, out_path});
  const std::vector<std::string> lines = Lines(py.out);
  ASSERT_EQ(static_cast<int>(lines.size()), 2 + truth.rows + 2) << py.err;
  EXPECT_EQ(lines[0], path);
  int black = 0;
  for (bool b : truth.black) black += b;
  EXPECT_EQ(lines[1], "True " + std::to_string(truth.rows) + " " + std::to_string(truth.cols) + " " +
                          std::to_string(black));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 2 + truth.rows), Grid(truth));
  std::istringstream corners(lines[2 + truth.rows]);
  for (int k = 0; k < 4; ++k) {
    double x, y;
    char comma;
    corners >> x >> comma >> y;
    EXPECT_NEAR(x, truth.corners[k].x, 2.0) << k;
    EXPECT_NEAR(y, truth.corners[k].y, 2.0) << k;
  }
  EXPECT_EQ(lines.back(), std::to_string(truth.rows) + " " + std::to_string(truth.cols));
}

TEST_F(ReadEndToEnd, MarkedPictureShowsOutlineAndCrosses) {
  vxgen::FigureParams params;
  params.rows = params.cols = 6;
  params.size = 240;
  params.black.assign(36, false);
  params.black[2 * 6 + 2] = true;  // one black free cell
  vxgen::Truth truth;
  const std::string path = Draw(params, "plain.bmp", &truth);
  const std::string marked = *dir_ + "/marked.bmp";
  const CommandRun run = RunVexolith(Args(truth, {"--marked", marked, path}));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  IMG m = OpenDF(marked.c_str());
  ASSERT_TRUE(m.valid);
  IMG p = OpenDF(path.c_str());
  ASSERT_TRUE(p.valid);
  EXPECT_EQ(m.width, p.width);
  EXPECT_EQ(m.height, p.height);
  // Rows in the file run bottom-up; (x, y) here is top-down.
  auto px = [&](int x, int y) {
    return m.bits + static_cast<std::size_t>(m.height - 1 - y) * m.stride + 3 * x;
  };
  const double cell = 240.0 / 6;
  const double x0 = truth.corners[0].x, y0 = truth.corners[0].y;
  const unsigned char* centre_black = px(int(x0 + 2.5 * cell + 0.5), int(y0 + 2.5 * cell + 0.5));
  EXPECT_EQ(centre_black[2], 255);  // red cross through the black cell's centre
  EXPECT_EQ(centre_black[0], 0);
  const unsigned char* centre_white = px(int(x0 + 3.5 * cell + 0.5), int(y0 + 3.5 * cell + 0.5));
  EXPECT_GT(centre_white[0], 150);  // untouched paper
  EXPECT_GT(centre_white[1], 150);
  bool green = false;  // the outline crosses the top edge's middle within a pixel or two
  for (int dy = -2; dy <= 2; ++dy) {
    const unsigned char* top_edge = px(int(x0 + 2.5 * cell + 0.5), int(y0 + 0.5) + dy);
    green = green || (top_edge[0] == 0 && top_edge[1] == 200 && top_edge[2] == 0);
  }
  EXPECT_TRUE(green);
  DeleteImg(m);
  DeleteImg(p);
}

TEST_F(ReadEndToEnd, ManyPicturesKeepTheirOrderAndFailuresAreNamed) {
  vxgen::FigureParams a;
  a.rows = a.cols = 6;
  a.size = 150;
  a.seed = 1;
  vxgen::FigureParams b = a;
  b.seed = 2;
  b.angle = 30;
  vxgen::Truth ta, tb;
  const std::string pa = Draw(a, "a.bmp", &ta), pb = Draw(b, "b.bmp", &tb);
  const std::string missing = *dir_ + "/missing.bmp";
  const std::string junk = *dir_ + "/junk.bmp";
  std::ofstream(junk) << "not a picture at all";
  vxgen::FigureParams blank = a;
  blank.size = 10;  // a speck in a white picture: no figure
  const std::string pblank = Draw(blank, "blank.bmp");

  const CommandRun run = RunVexolith({"read", "--rows", "6", "--cols", "6", pa, missing, junk, pb, pblank});
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
            }));

  const CommandRun json =
      RunVexolith({"read", "--json", "--jobs", "3", "--rows", "6", "--cols", "6", pa, missing, pb});
  EXPECT_EQ(json.exit_code, 1);
  EXPECT_TRUE(vxclitest::EveryLineIsJson(json.out));
  const std::vector<std::string> lines = Lines(json.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("{\"file\":\"" + pa + "\",\"ok\":true", 0), 0u);
  EXPECT_EQ(lines[1], "{\"file\":\"" + missing +
                          "\",\"ok\":false,\"error\":\"cannot open: No such file or directory\"}");
  EXPECT_EQ(lines[2].rfind("{\"file\":\"" + pb + "\",\"ok\":true", 0), 0u);
}

TEST_F(ReadEndToEnd, LibraryPrintoutStaysOffTheResults) {
  const vxgen::Truth truth = vxgen::Render(vxgen::SampleParams()).truth;
  const CommandRun quiet = RunVexolith({"read", VEXOLITH_SAMPLE_PICTURE});
  EXPECT_EQ(quiet.out.find("N:"), std::string::npos);
  EXPECT_EQ(quiet.err.find("N:"), std::string::npos);
  const CommandRun shown = RunVexolith({"read", "--show-contours", VEXOLITH_SAMPLE_PICTURE});
  EXPECT_EQ(Lines(shown.out), Grid(truth));
  EXPECT_NE(shown.err.find("N:0 - L:0 - M:-1\n"), std::string::npos);
}

TEST_F(ReadEndToEnd, BadUsageExitsTwoWithOneLine) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"scan"},
                                             {"read", "--rows"},
                                             {"read", "--rows", "x"},
                                             {"read", "--threshold", "2"},
                                             {"read", "--what"}}) {
    const CommandRun run = RunVexolith(args);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("vexolith: ", 0), 0u);
    EXPECT_EQ(run.out, "");
  }
  const CommandRun help = RunVexolith({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("usage: vexolith read"), std::string::npos);
}

TEST_F(ReadEndToEnd, LargeFigureIsReadAtReducedSize) {
  // Fills a picture of about 1700 x 1700 pixels: read at a reduced size,
  // corners mapped back to the picture.
  vxgen::FigureParams params = vxgen::RandomParams(21, 3);
  params.size = 1400;
  params.margin = 0.1;
  vxgen::Truth truth;
  const std::string path = Draw(params, "large.bmp", &truth);
  const CommandRun run = RunVexolith(Args(truth, {"--json", path}));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::string verdicts = "\"verdicts\":[";
  for (const std::string& row : Grid(truth)) verdicts += (verdicts.back() == '[' ? "\"" : ",\"") + row + "\"";
  EXPECT_NE(run.out.find(verdicts + "]"), std::string::npos) << run.out;
}

}  // namespace
