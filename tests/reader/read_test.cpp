// The reader on whole pictures: generated ones under each condition, with
// known corners and cells; drawn ones holding only things that are not
// figures; several figures; many threads; nothing printed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/condition_sets.h"
#include "tools/test_picture.h"
#include "vexolith/reader.h"

namespace {

using vexolith::ReaderOptions;
using vexolith::ReadResult;

IMG View(const vxgen::Picture& p) {
  return IMG{const_cast<unsigned char*>(p.bgr.data()), p.width, p.width * 3, p.height, 1, 0};
}

ReadResult ReadPicture(const vxgen::TestPicture& t, bool all = false, double threshold = -1.0) {
  ReaderOptions o;
  o.rows = t.truth.rows;
  o.cols = t.truth.cols;
  o.all = all;
  o.threshold = threshold;
  return vexolith::Read(View(t.picture), true, o);
}

// Every verdict as the truth has it and every corner within a quarter cell.
bool ReadsRight(const vexolith::FigureReading& f, const vxgen::Truth& t) {
  if (f.rows != t.rows || f.cols != t.cols) return false;
  for (std::size_t n = 0; n < t.black.size(); ++n)
    if ((f.black[n] != 0) != t.black[n]) return false;
  const double cell = std::hypot(t.corners[1].x - t.corners[0].x, t.corners[1].y - t.corners[0].y) / t.cols;
  for (int k = 0; k < 4; ++k)
    if (std::hypot(f.corners[k].x - t.corners[k].x, f.corners[k].y - t.corners[k].y) >
        std::max(1.0, cell / 4))
      return false;
  return true;
}

struct SetCase {
  const char* set;
  int count;
  int minimum;  // pictures read wholly right, at least
};

class ConditionSet : public testing::TestWithParam<SetCase> {};

// Under each condition most pictures read right, and a reading that is not
// right is never reported as read.
TEST_P(ConditionSet, ReadsRightAndNeverReportsAWrongReading) {
  const SetCase& c = GetParam();
  const vxgen::ConditionSet* set = vxgen::FindConditionSet(c.set);
  ASSERT_NE(set, nullptr);
  int right = 0;
  for (int k = 0; k < c.count; ++k) {
    SCOPED_TRACE(std::string(c.set) + " #" + std::to_string(k));
    const vxgen::TestPicture t = vxgen::Render(set->make(77, k));
    const ReadResult r = ReadPicture(t);
    if (!r.ok) continue;
    ASSERT_EQ(r.figures.size(), 1u);
    const bool ok = ReadsRight(r.figures[0], t.truth);
    EXPECT_TRUE(ok) << "reported read but wrong, confidence " << r.figures[0].confidence;
    right += ok;
  }
  EXPECT_GE(right, c.minimum);
}

INSTANTIATE_TEST_SUITE_P(Generated, ConditionSet,
                         testing::Values(SetCase{"clean", 12, 12}, SetCase{"tilt", 10, 9},
                                         SetCase{"small-cells", 8, 8}, SetCase{"shadow", 8, 8},
                                         SetCase{"lighting", 6, 6}, SetCase{"contrast", 6, 5},
                                         SetCase{"jpeg", 6, 6}, SetCase{"clutter", 10, 10},
                                         SetCase{"harsh", 12, 5}),
                         [](const auto& info) {
                           std::string n = info.param.set;
                           for (char& ch : n) ch = ch == '-' ? '_' : ch;
                           return n;
                         });

// Harsh pictures once reported read while wrong: a figure cut along a sharp
// shadow's edge that runs along a side (the ring runs on past the cut), a
// side bent where a shadow's edge crosses it, corners thrown off by noise
// under blur, small figures whose side a shadow's edge runs along, small
// noisy figures whose corners a second look placed no better, a shadow
// running out of the picture read through a light fitted to too few
// samples, figures under a sharp shadow read through levels that left a
// third of their cells far outside paper and ink, an outlined box whose
// frame read two rows thick taken for a figure beside one refused, a
// small figure under heavy blur and JPEG loss whose corners the whole grid
// placed (seed 2 #249, 5 cells wrong), grids placed a few pixels off where
// JPEG's coarser noise let the placing pass (seed 10 #244, #454), corners
// the grid placed 1.2 px off read through the fitted levels (seed 3 #458),
// a figure cut half a cell in along a shadow's edge, where lit ink is as
// light as the shaded paper round it (seed 5 #331, two corners 28 px off).
// Each is now read right or refused.
TEST(Reader, HarshPicturesOnceReadWrongAreRightOrRefused) {
  const vxgen::ConditionSet* harsh = vxgen::FindConditionSet("harsh");
  ASSERT_NE(harsh, nullptr);
  const std::pair<int, int> cases[] = {{1, 575},
                                       {2, 407},
                                       {2, 128},
                                       {3, 165},
                                       {1, 751},
                                       {3, 463},
                                       {1, 607},
                                       {3, 157},
                                       {1, 306},
                                       {1, 786},
                                       {2, 202},
                                       {4, 492},
                                       {2, 355},
                                       {2, 249},
                                       {1, 83},
                                       {2, 182},
                                       {4, 305},
                                       {6, 15},
                                       {8, 227},
                                       {8, 172},
                                       {10, 244},
                                       {10, 454},
                                       {3, 458},
                                       {5, 331},
                                       // Once read by their colours: boxes, a shadow the light
                                       // missed, corners placed off by the grid's fit.
                                       {2, 333},
                                       {6, 305},
                                       {10, 973},
                                       {3, 440},
                                       {6, 163},
                                       {6, 202},
                                       {2, 986},
                                       {6, 945},
                                       // Cells scattered from -1.3 to 1.6 under heavy noise and
                                       // falling light, read with two cells wrong.
                                       {2, 381},
                                       // Cells of 4-5 px across a shadow, found on the picture
                                       // with the shadow taken out: read with two cells wrong, and
                                       // with a corner 1.6 px off.
                                       {10, 918},
                                       {13, 852}};
  for (const auto& [seed, index] : cases) {
    const vxgen::TestPicture t = vxgen::Render(harsh->make(seed, index));
    const ReadResult r = ReadPicture(t);
    if (r.ok) {
      EXPECT_TRUE(ReadsRight(r.figures[0], t.truth)) << "seed " << seed << " #" << index;
    }
  }
}

// Harsh picture `index` of seed `seed` is read, and read right.
void ExpectHarshReadRight(int seed, int index) {
  const vxgen::ConditionSet* harsh = vxgen::FindConditionSet("harsh");
  ASSERT_NE(harsh, nullptr);
  const vxgen::TestPicture t = vxgen::Render(harsh->make(seed, index));
  const ReadResult r = ReadPicture(t);
  ASSERT_TRUE(r.ok) << "seed " << seed << " #" << index << ": " << r.fault;
  EXPECT_TRUE(ReadsRight(r.figures[0], t.truth)) << "seed " << seed << " #" << index;
}

// Harsh pictures with a sharp shadow across the figure and light falling
// across the page, once refused for cells read off the wrong side of the
// shadow's edge (its place fitted too soft, or a weak shadow clipping a
// corner not looked for at all): each reads right.
TEST(Reader, SharpShadowsAcrossTheCellsReadRight) {
  for (int index : {17, 212, 291, 544}) ExpectHarshReadRight(1, index);
}

// Shadows taking a fifth to a third of the light over small, grainy figures
// (noise an eighth to half the paper-ink gap): on the outline found the
// shadow once went unseen, its edge explaining a little less than half the
// light's misfit, and the cells read through even light scattered.
TEST(Reader, DeepShadowsSeenThroughNoise) {
  const std::pair<int, int> cases[] = {{3, 291}, {3, 440}, {8, 855}, {8, 908}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// A sharp shadow's edge across the figure: one binarization leaves the lit
// part, refused as part of a larger figure, and another shows the figure
// whole at the same place; the whole is still tried, and reads right.
TEST(Reader, FigureCutByAShadowInOneLookIsReadWholeInAnother) {
  for (int index : {569, 622}) ExpectHarshReadRight(1, index);
}

// A sharp shadow's edge through cells of 5 to 7 pixels: where the edge may
// lie moves a cell's value both ways, and only the way towards the
// threshold puts its verdict in doubt.
// The edge placed within a tenth of a cell (seed 1 #71, #251, #892) is
// in doubt by that much only.
TEST(Reader, CellsOnASharpShadowsEdgeAreInDoubtOnlyTowardsTheThreshold) {
  for (int index : {177, 744, 890, 71, 251, 892}) ExpectHarshReadRight(1, index);
}

// Noise of a third of the paper-ink gap on cells of 5 to 9 pixels with
// little blur: over their central halves some cells fall within 0.12 of the
// threshold, over the central 80% they read clear (seed 1 #157: every
// verdict right on the true corners, margins 0.06). A strongly blurred
// figure with little noise (seed 8 #896) is not read over the wider windows,
// which would take in its neighbours' blur, and a figure barely seen in
// noise whose corners were found off (seed 4 #492, in the test above) not
// with the margin of a first reading.
TEST(Reader, NoisyCellsReadOverWiderWindows) {
  for (int index : {41, 105, 157, 638}) ExpectHarshReadRight(1, index);
  const vxgen::TestPicture t = vxgen::Render(vxgen::FindConditionSet("harsh")->make(8, 896));
  const ReadResult r = ReadPicture(t);
  if (r.ok) {
    EXPECT_TRUE(ReadsRight(r.figures[0], t.truth));
  }
}

// Small noisy figures whose sides placed the corners no better than a
// quarter cell (refused as in doubt), or off enough that the cells did not
// read, read right once the whole grid places the corners.
TEST(Reader, CornersInDoubtArePlacedByTheWholeGrid) {
  for (int index : {45, 320, 453, 735, 966}) ExpectHarshReadRight(1, index);
}

// Soft shadows (penumbras 20 to 90 pixels wide) across the figure, lit ink
// beside them lighter than shaded paper: found once the light across the
// shadow is divided out.
TEST(Reader, SoftShadowsAreLiftedAcrossTheFigure) {
  for (int index : {301, 560, 749}) ExpectHarshReadRight(1, index);
}

// Figures filling the picture, joined on the first split to the paper
// darkened along the picture's edge, whose outline a later split finds
// whole within a cell of the joined one.
TEST(Reader, AnOutlineNearOneRefusedIsTriedAgain) {
  for (int index : {267, 377}) ExpectHarshReadRight(1, index);
}

// Figures whose region is no quadrilateral, fitted by its straight runs: a
// sharp shadow's edge across the figure (#243, #686), a figure crossing a
// shadowed band at the picture's edge (#551), specks of the shaded side
// joined to the ring (#927).
TEST(Reader, RegionsThatAreNoQuadrilateralAreFittedByTheirSides) {
  for (int index : {243, 551, 686, 927}) ExpectHarshReadRight(1, index);
}

// Small cells under JPEG at quality 36-42 whose sides leave the corners in
// doubt: the whole grid places them, judged against the noise as
// compression leaves it.
TEST(Reader, CompressedPicturesArePlacedByTheirGrid) {
  for (int index : {350, 372}) ExpectHarshReadRight(1, index);
}

// Cells of 3-6 pixels as seen under blur of a quarter to 0.4 of a cell,
// refused through their central windows, read through their levels fitted
// with the blur taken out: at the corners found (seed 10 #223, #278, #610)
// and at those the whole grid places (seed 1 #300, seed 10 #382, #504).
TEST(Reader, SmallCellsUnderBlurReadByTheirFittedLevels) {
  const std::pair<int, int> cases[] = {{10, 223}, {10, 278}, {10, 610}, {1, 300}, {10, 382}, {10, 504}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// Cells of 3 to 6 pixels under blur and noise, which neither their windows
// nor their fitted levels read clearly, are read by the colours that best
// explain the picture, at corners those colours place.
TEST(Reader, NoisySmallCellsReadByTheirColours) {
  const std::pair<int, int> cases[] = {{3, 133}, {3, 158},  {3, 476},  {9, 473},
                                       {9, 831}, {10, 156}, {10, 647}, {10, 761}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// A figure filling the frame under light falling across it: the paper
// beside its bottom side lies outside the picture, and is taken from the
// ring's own level and the paper-to-ink ratio next to it; a median of the
// other sides' paper was darker than the ring cells where the light grows.
TEST(Reader, PaperBeyondThePictureFollowsTheLight) { ExpectHarshReadRight(8, 123); }

// Figures a few pixels from the picture's edge, whose side along it was
// left on the region's rough line (seed 6 #379: a corner 3.6 px off, seed
// 8 #201: 2.6 px off), placed by the paper that is there.
TEST(Reader, SidesNearThePicturesEdgeFoundFromThePaperThere) {
  ExpectHarshReadRight(6, 379);
  ExpectHarshReadRight(8, 201);
}

// Shaded paper darker than lit ink across the figure: no black-and-white
// version of the picture showed it as one shape (seed 1 #766: ink 24 gray
// levels under the paper, a ramp 16 px wide; seed 1 #296: a soft edge;
// seed 3 #526: a sharp one). With the shadow taken out of the picture it
// is found, and its cells, read on the picture itself, agree.
TEST(Reader, FiguresAcrossAShadowFoundWithTheShadowTakenOut) {
  const std::pair<int, int> cases[] = {{1, 766}, {1, 296}, {3, 526}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// Across a shadow's edge in strong noise: on the lifted picture the shaded
// side's noise grows with the lift, and the figure stands out only on a
// plane reduced twice or four times as much as the working one.
TEST(Reader, FiguresAcrossANoisyShadowFoundCoarserWithTheShadowTakenOut) {
  const std::pair<int, int> cases[] = {{2, 482}, {7, 535}, {8, 771}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// A large figure under a soft shadow, first outlined with a corner drawn
// 14 px off towards the picture's edge (in doubt); the outlines found next,
// within a fraction of a pixel of its true corners, are judged on their own.
TEST(Reader, OutlineApartFromOneInDoubtJudgedOnItsOwn) { ExpectHarshReadRight(6, 332); }

// Small figures whose sides are too ragged to place the corners, and whose
// grid places them only with a doubt wider than a quarter cell: the cells'
// colours place them within it.
TEST(Reader, CornersInDoubtPlacedByTheirColours) {
  const std::pair<int, int> cases[] = {{3, 463}, {5, 118}, {7, 462}, {8, 830}, {9, 250}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// A sharp shadow's edge across a figure of wide cells filling much of the
// picture: lifted, the plane shows the figure whole, but flattened over
// the finer window its ink, with no paper near, is taken for paper; over
// half the picture it is found. Seed 8 #521 was reported read with a
// corner 2.5 px off before.
TEST(Reader, WideFiguresAcrossAShadowEdgeFoundOnTheLiftedPlane) {
  const std::pair<int, int> cases[] = {{8, 509}, {8, 521}, {9, 177}, {10, 369}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// Found only at a coarser look and read there by the cells' colours, whose
// own tests stand for the margin asked of the windows' readings.
TEST(Reader, CoarserLooksReadingsByColourTaken) {
  const std::pair<int, int> cases[] = {{3, 464}, {10, 120}, {10, 264}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// Noise up to half the paper-ink gap frays every outline at the working
// size; the coarser look finds these, and they read right.
TEST(Reader, NoisyPicturesReadAtACoarserLook) {
  for (int index : {84, 273, 817}) ExpectHarshReadRight(1, index);
}

// Figures joined by a thin strip to the picture's edge or to other ink
// (noise fraying a narrow paper margin, shaded paper, clutter beside them),
// found once their region's thin strips are cut off. Seed 4 #872 was
// reported read as an outlined box beside it, whose frame passed for a
// figure's ring; the figure itself, found first, now wins.
TEST(Reader, FiguresJoinedByThinStripsAreCutFree) {
  const std::pair<int, int> cases[] = {{1, 142}, {1, 337}, {1, 596}, {4, 730}, {4, 872}};
  for (const auto& [seed, index] : cases) ExpectHarshReadRight(seed, index);
}

// A figure filling a 3000-pixel picture (the region fill of the contour store
// used to cut such a region into pieces) reads right.
TEST(Reader, LargeFigureFillingThePicture) {
  vxgen::FigureParams p;
  p.rows = 12, p.cols = 10, p.size = 3000, p.margin = 0.02, p.seed = 5, p.angle = 4, p.blur = 1.0;
  const vxgen::TestPicture t = vxgen::Render(p);
  const ReadResult r = ReadPicture(t);
  ASSERT_TRUE(r.ok) << r.fault;
  EXPECT_TRUE(ReadsRight(r.figures[0], t.truth));
}

// Several figures on one page: --all finds each once, best first, none overlapping.
TEST(Reader, AllFindsEveryFigureOnThePage) {
  const vxgen::ConditionSet* multi = vxgen::FindConditionSet("multi");
  ASSERT_NE(multi, nullptr);
  for (int k = 0; k < 3; ++k) {
    const vxgen::TestPicture t = vxgen::Render(multi->make(5, k));
    const ReadResult r = ReadPicture(t, true);
    ASSERT_TRUE(r.ok) << r.fault;
    EXPECT_EQ(r.figures.size(), t.figures.size()) << "page " << k;
    int found = 0;
    for (const vxgen::Truth& truth : t.figures)
      for (const auto& f : r.figures) found += ReadsRight(f, truth);
    EXPECT_EQ(found, static_cast<int>(t.figures.size())) << "page " << k;
    for (std::size_t n = 1; n < r.figures.size(); ++n)
      EXPECT_GE(r.figures[n - 1].confidence, r.figures[n].confidence) << "best first";
  }
}

// A page of paper with one dark thing drawn on it.
vxgen::Picture Page(int w, int h, const std::function<bool(int, int)>& dark) {
  vxgen::Picture p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3, 230)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (dark(x, y)) std::fill_n(&p.bgr[(static_cast<std::size_t>(y) * w + x) * 3], 3, 30);
  return p;
}

struct Refusal {
  const char* name;
  std::function<bool(int, int)> dark;
  const char* fault;  // the start of the reason given
};

// Things that are not figures are refused with a reason, never read.
TEST(Reader, RefusesWhatIsNotAFigure) {
  const Refusal cases[] = {
      {"blank", [](int, int) { return false; }, "no figure found (no dark quadrilateral"},
      {"two filled blocks",
       [](int x, int y) { return y >= 50 && y < 130 && ((x >= 10 && x < 90) || (x >= 110 && x < 190)); },
       "no figure found (every cell reads black"},
      {"outlined box",
       [](int x, int y) {
         const bool in = x >= 40 && x < 160 && y >= 30 && y < 150;
         return in && !(x >= 52 && x < 148 && y >= 42 && y < 138);
       },
       "no figure found (no grid lines seen"},
      {"text strokes",
       [](int x, int y) { return y >= 90 && y < 96 && (x / 14) % 2 == 0 && x > 20 && x < 180; },
       "no figure found (no dark quadrilateral"},
      {"disc", [](int x, int y) { return std::hypot(x - 100, y - 90) < 60; },
       "no figure found (no dark quadrilateral"},
  };
  for (const Refusal& c : cases) {
    const vxgen::Picture p = Page(200, 180, c.dark);
    ReaderOptions o;
    const ReadResult r = vexolith::Read(View(p), true, o);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_EQ(r.fault.rfind(c.fault, 0), 0u) << c.name << ": " << r.fault;
    EXPECT_TRUE(r.figures.empty()) << c.name;
  }
}

// A lone filled block is all a figure with every cell black can look like:
// with nothing better on the page it is read so, at half confidence at most.
// One filling most of a picture has sides that look like a shadow's edge;
// what the shadow's lift then shows is no other dark thing beside it.
TEST(Reader, ALoneFilledBlockReadsAllBlack) {
  const vxgen::Picture p =
      Page(200, 180, [](int x, int y) { return x >= 40 && x < 160 && y >= 30 && y < 150; });
  ReaderOptions o;
  o.rows = o.cols = 4;
  const ReadResult r = vexolith::Read(View(p), true, o);
  ASSERT_TRUE(r.ok) << r.fault;
  EXPECT_EQ(r.figures[0].black_count, 16);
  EXPECT_LE(r.figures[0].confidence, 0.5);
  const vxgen::TestPicture large = vxgen::Render(vxgen::FindConditionSet("blur")->make(1, 837));
  const ReadResult big = ReadPicture(large);
  ASSERT_TRUE(big.ok) << big.fault;
  EXPECT_TRUE(ReadsRight(big.figures[0], large.truth));
}

// Bad records and options are refused with a reason before anything is read.
TEST(Reader, BadRecordsAndOptionsAreRefused) {
  unsigned char px[16 * 16 * 3] = {};
  ReaderOptions o;
  EXPECT_EQ(vexolith::Read(IMG{nullptr, 16, 48, 16, 1, 0}, true, o).fault, "not an image with pixels");
  EXPECT_EQ(vexolith::Read(IMG{px, 16, 47, 16, 1, 0}, true, o).fault, "not an image with pixels")
      << "short stride";
  o.rows = 0;
  EXPECT_EQ(vexolith::Read(IMG{px, 16, 48, 16, 1, 0}, true, o).fault,
            "the grid needs 1 to 1000 rows and columns");
  o.rows = 10;
  EXPECT_EQ(vexolith::Read(IMG{px, 11, 48, 16, 1, 0}, true, o).fault, "picture too small (11x16 pixels)");
  EXPECT_EQ(vexolith::ReadFile("/nonexistent/x.png", o).fault, "cannot open: No such file or directory");
  // A FIFO with no writer once made ReadFile wait forever.
  const std::string fifo = testing::TempDir() + "vexolith_reader_fifo";
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(vexolith::ReadFile(fifo, o).fault, "cannot open: not a regular file");
  std::remove(fifo.c_str());
}

// Row order: a bottom-up record gives the same corners as seen; a given
// threshold is used as it is.
TEST(Reader, BottomUpRecordsAndAGivenThreshold) {
  vxgen::FigureParams p;
  p.rows = 7, p.cols = 9, p.size = 180, p.angle = 10, p.seed = 3;
  const vxgen::TestPicture t = vxgen::Render(p);
  std::vector<std::uint8_t> flipped(t.picture.bgr.size());
  const std::size_t row = static_cast<std::size_t>(t.picture.width) * 3;
  for (int y = 0; y < t.picture.height; ++y)
    std::copy_n(&t.picture.bgr[y * row], row, &flipped[(t.picture.height - 1 - y) * row]);
  ReaderOptions o;
  o.rows = t.truth.rows, o.cols = t.truth.cols, o.threshold = 0.3;
  const ReadResult r =
      vexolith::Read(IMG{flipped.data(), t.picture.width, int(row), t.picture.height, 1, 0}, false, o);
  ASSERT_TRUE(r.ok) << r.fault;
  EXPECT_TRUE(ReadsRight(r.figures[0], t.truth));
  EXPECT_EQ(r.figures[0].threshold, 0.3);
}

// Four threads read distinct pictures at once and get what one thread gets;
// nothing reaches standard output.
TEST(Reader, ThreadsReadAtOnceAndNothingIsPrinted) {
  std::vector<vxgen::TestPicture> pictures;
  const vxgen::ConditionSet* clean = vxgen::FindConditionSet("clean");
  for (int k = 0; k < 4; ++k) pictures.push_back(vxgen::Render(clean->make(9, k)));
  std::vector<ReadResult> alone;
  for (const auto& t : pictures) alone.push_back(ReadPicture(t));

  std::fflush(stdout);
  char name[] = "/tmp/vexolith-reader-stdout-XXXXXX";
  const int capture = mkstemp(name);
  ASSERT_GE(capture, 0);
  const int saved = dup(STDOUT_FILENO);
  dup2(capture, STDOUT_FILENO);
  std::vector<ReadResult> together(pictures.size());
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < pictures.size(); ++k)
    threads.emplace_back([&, k] { together[k] = ReadPicture(pictures[k]); });
  for (std::thread& th : threads) th.join();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  const off_t printed = lseek(capture, 0, SEEK_END);
  close(capture);
  std::remove(name);
  EXPECT_EQ(printed, 0) << "bytes on standard output";
  for (std::size_t k = 0; k < pictures.size(); ++k) {
    ASSERT_TRUE(together[k].ok) << together[k].fault;
    EXPECT_EQ(together[k].figures[0].black, alone[k].figures[0].black) << k;
    EXPECT_EQ(together[k].figures[0].corners[2].x, alone[k].figures[0].corners[2].x) << k;
  }
}

}  // namespace
