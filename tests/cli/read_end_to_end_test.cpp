// The vexolith command on generated pictures: verdicts, JSON, marking, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/cli/run_command.h"
#include "tools/bmp_file.h"
#include "tools/condition_sets.h"
#include "tools/random_params.h"
#include "tools/sample_params.h"
#include "vexolith.h"

namespace {

using namespace vxclitest;

// Draws params into the test folder as `name`; returns the path and the truth.
std::string Draw(const vxgen::FigureParams& params, const std::string& name, vxgen::Truth* truth = nullptr) {
  const vxgen::TestPicture t = vxgen::Render(params);
  if (truth) *truth = t.truth;
  return WritePicture(t.picture, name);
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

// Random-set pictures drawn smaller than the full set's 1500 pixels read
// wholly right with each thresholding method. (The read rate of each
// condition set, through the tools' reader adapter, is held in tests/tools.)
TEST(ReadEndToEnd, EachThresholdMethodReadsGeneratedPictures) {
  const vxgen::SetLimits limits{.min_size = 150, .max_size = 400};
  for (const auto& [binarize, seed] : {std::pair{"local", 14u}, {"block", 15u}}) {
    for (int k = 0; k < 3; ++k) {
      const vxgen::FigureParams params = vxgen::RandomParams(seed, k, limits);
      vxgen::Truth truth;
      const CommandRun run =
          Read(truth, {"--binarize", binarize, Draw(params, binarize + std::to_string(k) + ".bmp", &truth)});
      EXPECT_EQ(Lines(run.out), Grid(truth))
          << binarize << " #" << k << " " << params.rows << "x" << params.cols << " size " << params.size
          << " angle " << params.angle << ": " << run.err;
    }
  }
}

// 5 x 8 cells, only (1, 1) black: seen where each turn puts it. Unturned, the
// marked picture has a red cross there, paper elsewhere and a green outline.
TEST(ReadEndToEnd, RowsFollowThePictureAsSeenWhenTurnedAndAreMarked) {
  vxgen::FigureParams params{.rows = 5, .cols = 8, .black = std::vector<bool>(40), .size = 240};
  params.black[1 * 8 + 1] = true;
  const std::string marked = TestDir() + "/marked.bmp";
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
  EXPECT_EQ(m.width, t.picture.width);
  EXPECT_EQ(m.height, t.picture.height);
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

// Results keep the given order across threads; each failure is one stderr line; exit 1.
TEST(ReadEndToEnd, ManyPicturesKeepTheirOrderAndFailuresAreNamed) {
  const vxgen::FigureParams a{.rows = 6, .cols = 6, .black = {}, .size = 150},
      b{.rows = 6, .cols = 6, .black = {}, .size = 150, .angle = 30, .seed = 2},
      blank{.rows = 6, .cols = 6, .black = {}, .size = 10};  // a dot only: no figure
  vxgen::Truth ta, tb;
  const std::string pa = Draw(a, "a.bmp", &ta), pb = Draw(b, "b.bmp", &tb), pblank = Draw(blank, "blank.bmp");
  const std::string dir = TestDir(), missing = dir + "/missing.bmp", junk = dir + "/junk.bmp",
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
                "vexolith: " + pblank + ": no figure found (no dark quadrilateral large enough for a figure)",
                "vexolith: " + tiny + ": picture too small (11x40 pixels)",
            }));
  const CommandRun unwritable = RunVexolith({"read", "--marked", "/nonexistent-folder/out.bmp", pa});
  EXPECT_EQ(unwritable.exit_code, 1);
  EXPECT_EQ(unwritable.err,
            "vexolith: " + pa + ": cannot write the marked picture to /nonexistent-folder/out.bmp\n");
}

// Pictures larger than --max-side are read reduced, corners mapped back to
// picture pixels; python reads the JSON. Figures filling pictures of 3000 and
// 4500 pixels were once cut into pieces by the contour store's region fill,
// and misread yet reported read.
TEST(ReadEndToEnd, LargePicturesReadRightInJson) {
  vxgen::FigureParams random = vxgen::RandomParams(21, 3);
  random.size = 1400;
  random.margin = 0.1;
  vxgen::FigureParams large{.rows = 10, .cols = 10, .black = {}, .size = 3000, .angle = 3, .seed = 5};
  large.margin = 0.02;
  vxgen::FigureParams larger = large;
  larger.size = 4500;
  for (const vxgen::FigureParams& params : {random, large, larger}) {
    SCOPED_TRACE(params.size);
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
    const CommandRun py = RunPython(
        "import json,sys\no=json.loads(open(sys.argv[1]).read())\n"
        "c=sum(o['corners'],[])\nnear=len(c)==8 and all(abs(a-b)<2 for a,b in zip(c,[" +
            corners.str() +
            "]))\n"
            "print(o['file'],o['ok'],o['rows'],o['cols'],o['black'],*o['verdicts'],"
            "len(o['values']),len(o['values'][0]),near)",
        run.out);
    EXPECT_EQ(py.out, expected.str()) << py.err << run.out;
  }
}

// --all: one JSON object per picture with a list of figures, each with its
// corners, verdicts, margins and confidence.
TEST(ReadEndToEnd, AllListsEveryFigureInJson) {
  const vxgen::ConditionSet* multi = vxgen::FindConditionSet("multi");
  ASSERT_NE(multi, nullptr);
  const vxgen::TestPicture t = vxgen::Render(multi->make(3, 1));
  const std::string path = WritePicture(t.picture, "multi.bmp");
  const CommandRun run = Read(t.truth, {"--all", "--json", path});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const CommandRun py = RunPython(
      "import json,sys\no=json.loads(open(sys.argv[1]).read())\nf=o['figures']\n"
      "print(len(f),all(len(x['corners'])==4 for x in f),all(0<x['confidence']<=1 for x in f),"
      "all(len(x['margins'])==o['rows'] for x in f))",
      run.out);
  EXPECT_EQ(py.out, std::to_string(t.figures.size()) + " True True True\n")
      << "count, corners, confidence, margins" << py.err << run.out;
}

}  // namespace
