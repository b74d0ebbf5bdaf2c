#include "reader/cells.h"

#include <algorithm>
#include <cmath>

#include "reader/cell_checks.h"
#include "reader/light.h"

namespace vx::reader {
namespace {

// Interpolates a level known along the four sides into cell (i, j): side
// values top[j], bottom[j], left[i], right[i] weighted by the inverse of the
// distance in cells from the cell to that side's sample.
double FromSides(const std::vector<double>& top, const std::vector<double>& bottom,
                 const std::vector<double>& left, const std::vector<double>& right, int i, int j, int rows,
                 int cols) {
  const double values[4] = {top[j], bottom[j], left[i], right[i]};
  const double dist[4] = {static_cast<double>(i), static_cast<double>(rows - 1 - i), static_cast<double>(j),
                          static_cast<double>(cols - 1 - j)};
  double sum = 0.0, weight = 0.0;
  for (int k = 0; k < 4; ++k) {
    if (std::isnan(values[k])) continue;
    const double w = 1.0 / (dist[k] + 0.5);
    sum += w * values[k];
    weight += w;
  }
  return weight > 0.0 ? sum / weight : std::nan("");
}

// Fills the paper strip where it falls outside the picture (a figure at
// the picture's edge). Light falls on paper and ink alike, so the missing
// paper is the ring cell's own level times the paper-to-ink ratio of the
// nearest known entry on the same side, or the median ratio of all sides'
// known entries (`ratio`) when the side has none. A median level instead
// leaves the paper too dark where light grows along the side, and the ring
// cells there would not read black. NaN stays where nothing is known.
void FillPaperGaps(std::vector<double>& paper, const std::vector<double>& ink, double ratio) {
  const int count = static_cast<int>(paper.size());
  std::vector<double> known = paper;
  for (int k = 0; k < count; ++k) {
    if (!std::isnan(known[k])) continue;
    double r = ratio;
    for (int d = 1; d < count; ++d) {
      const int at = k - d >= 0 && !std::isnan(known[k - d])      ? k - d
                     : k + d < count && !std::isnan(known[k + d]) ? k + d
                                                                  : -1;
      if (at < 0) continue;
      r = known[at] / std::max(ink[at], 1.0);
      break;
    }
    paper[k] = r * std::max(ink[k], 1.0);
  }
}

// Splits the values where the two sides differ most for their spread
// (Otsu's criterion). False when the split explains under 70% of the spread
// or leaves a gap under 0.2: scattered values, as a misplaced grid or light
// the levels do not follow give.
bool SplitValues(std::vector<double> sorted, double& threshold, double& gap) {
  std::sort(sorted.begin(), sorted.end());
  const std::size_t count = sorted.size();
  if (count < 2) return false;
  double total = 0.0, square = 0.0;
  for (double v : sorted) total += v, square += v * v;
  const double variance = square / count - (total / count) * (total / count);
  double below = 0.0, best = -1.0;
  std::size_t at = 0;
  for (std::size_t k = 0; k + 1 < count; ++k) {
    below += sorted[k];
    const double n0 = k + 1.0, n1 = count - n0;
    const double diff = (total - below) / n1 - below / n0;
    const double between = n0 * n1 / (static_cast<double>(count) * count) * diff * diff;
    if (between > best) best = between, at = k;
  }
  gap = sorted[at + 1] - sorted[at];
  threshold = (sorted[at] + sorted[at + 1]) / 2.0;
  return best >= 0.7 * variance && gap >= 0.2;
}

// Cell values against the levels of the cells within 3 cells around: paper
// from those read white and from the paper strip outside the figure, ink
// from those read black, each weighted by 1 / (1 + distance^2).
std::vector<double> LocalValues(const std::vector<double>& gray, const std::vector<double>& values,
                                double threshold, const std::vector<double>& paper_top,
                                const std::vector<double>& paper_bottom,
                                const std::vector<double>& paper_left, const std::vector<double>& paper_right,
                                int rows, int cols) {
  std::vector<double> out(gray.size());
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      double paper = 0.0, paper_w = 0.0, ink = 0.0, ink_w = 0.0;
      for (int a = std::max(-1, i - 3); a <= std::min(rows, i + 3); ++a) {
        for (int b = std::max(-1, j - 3); b <= std::min(cols, j + 3); ++b) {
          if (a == i && b == j) continue;
          const double w = 1.0 / (1.0 + (a - i) * (a - i) + (b - j) * (b - j));
          const bool out_row = a < 0 || a >= rows, out_col = b < 0 || b >= cols;
          if (out_row && out_col) continue;
          if (out_row || out_col) {
            const double p = a < 0       ? paper_top[b]
                             : a >= rows ? paper_bottom[b]
                             : b < 0     ? paper_left[a]
                                         : paper_right[a];
            paper += w * p, paper_w += w;
            continue;
          }
          const std::size_t m = static_cast<std::size_t>(a) * cols + b;
          if (values[m] > threshold)
            ink += w * gray[m], ink_w += w;
          else
            paper += w * gray[m], paper_w += w;
        }
      }
      const std::size_t k = static_cast<std::size_t>(i) * cols + j;
      if (paper_w == 0.0 || ink_w == 0.0) {
        out[k] = values[k];
        continue;
      }
      paper /= paper_w;
      ink /= ink_w;
      out[k] = (paper - gray[k]) / std::max(paper - ink, 4.0);
    }
  }
  return out;
}

}  // namespace

Light LightRound(const PictureView& picture, const Homography& map, int rows, int cols,
                 const std::vector<double>& gray) {
  const double du = 1.0 / cols, dv = 1.0 / rows;
  std::vector<LightSample> samples;
  std::vector<int> round;
  auto add_paper = [&](double x, double y, double g) {
    if (std::isnan(g)) return;
    round.push_back(static_cast<int>(samples.size()));
    samples.push_back({x, y, g, false});
  };
  // The paper round the figure in patches of a quarter cell, so the fit
  // can place a shadow's edge where it crosses the strip to a sixteenth of
  // a cell rather than a quarter (the light is then right on the cells it
  // crosses); wider on figures of many cells, at most 64 patches a side.
  const int sub = std::clamp(64 / std::max(rows, cols), 1, 4);
  const double part = 1.0 / sub;
  auto strip = [&](double u0, double u1, double v0, double v1) {
    return PatchMean(picture, map, u0, u1, v0, v1, 2);
  };
  for (int q = 0; q < cols * sub; ++q)
    add_paper((q + 0.5) * part, -0.35, strip(q * part * du, (q + 1) * part * du, -0.5 * dv, -0.2 * dv));
  for (int q = 0; q < rows * sub; ++q)
    add_paper(cols + 0.35, (q + 0.5) * part,
              strip(1 + 0.2 * du, 1 + 0.5 * du, q * part * dv, (q + 1) * part * dv));
  for (int q = cols * sub - 1; q >= 0; --q)
    add_paper((q + 0.5) * part, rows + 0.35,
              strip(q * part * du, (q + 1) * part * du, 1 + 0.2 * dv, 1 + 0.5 * dv));
  for (int q = rows * sub - 1; q >= 0; --q)
    add_paper(-0.35, (q + 0.5) * part, strip(-0.5 * du, -0.2 * du, q * part * dv, (q + 1) * part * dv));
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      if (i == 0 || j == 0 || i == rows - 1 || j == cols - 1)
        samples.push_back({j + 0.5, i + 0.5, gray[static_cast<std::size_t>(i) * cols + j], true});
  return Light(samples, round, rows, cols);
}

namespace {

// The reading with the light fitted round the figure when `fitted_light`
// and it shows a shadow edge, else with the levels of the four sides.
// `levels`, when given, are the figure's fitted levels (rows + 2) x
// (cols + 2), the paper ring included: they stand for the cells' gray
// levels and the paper beside the ring.
CellReading ReadCellsIn(const PictureView& picture, const Quad& seen, int rows, int cols,
                        double fixed_threshold, bool fitted_light, double inset,
                        const std::vector<double>* levels = nullptr) {
  CellReading r;
  const Homography map(seen);
  const double cell_px = MeanCellPixels(seen, rows, cols);
  // Samples per side of a cell's window (the cell less `inset` of a cell on
  // every side): about one per 1.5 pixels, 2..8.
  const int n = std::clamp(static_cast<int>(cell_px * (1.0 - 2.0 * inset) / 1.5), 2, 8);
  const std::size_t cells = static_cast<std::size_t>(rows) * cols;
  const std::size_t width = static_cast<std::size_t>(cols) + 2;
  auto level = [&](int i, int j) { return (*levels)[static_cast<std::size_t>(i) * width + j]; };
  std::vector<double> gray(cells);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      gray[static_cast<std::size_t>(i) * cols + j] =
          levels ? level(i + 1, j + 1)
                 : PatchMean(picture, map, (j + inset) / cols, (j + 1.0 - inset) / cols, (i + inset) / rows,
                             (i + 1.0 - inset) / rows, n);
  for (double g : gray)
    if (std::isnan(g)) {
      r.fault = "the figure reaches outside the picture";
      return r;
    }

  // Ink along each side: the ring cells. Paper: a strip outside the ring,
  // from a fifth to half a cell out.
  std::vector<double> ink_top(cols), ink_bottom(cols), ink_left(rows), ink_right(rows);
  std::vector<double> paper_top(cols), paper_bottom(cols), paper_left(rows), paper_right(rows);
  const double du = 1.0 / cols, dv = 1.0 / rows;
  // Samples about every 1.5 pixels, as in the cells, so noise on a large
  // figure's paper weighs no more than on its cells.
  auto samples_over = [&](double cells) { return std::clamp(static_cast<int>(cells * cell_px / 1.5), 2, 8); };
  const int along = samples_over(0.6), across = samples_over(0.3);
  for (int j = 0; j < cols; ++j) {
    ink_top[j] = gray[j];
    ink_bottom[j] = gray[static_cast<std::size_t>(rows - 1) * cols + j];
    paper_top[j] =
        levels ? level(0, j + 1)
               : PatchMean(picture, map, (j + 0.2) * du, (j + 0.8) * du, -0.5 * dv, -0.2 * dv, along, across);
    paper_bottom[j] = levels ? level(rows + 1, j + 1)
                             : PatchMean(picture, map, (j + 0.2) * du, (j + 0.8) * du, 1 + 0.2 * dv,
                                         1 + 0.5 * dv, along, across);
  }
  for (int i = 0; i < rows; ++i) {
    ink_left[i] = gray[static_cast<std::size_t>(i) * cols];
    ink_right[i] = gray[static_cast<std::size_t>(i) * cols + cols - 1];
    paper_left[i] =
        levels ? level(i + 1, 0)
               : PatchMean(picture, map, -0.5 * du, -0.2 * du, (i + 0.2) * dv, (i + 0.8) * dv, across, along);
    paper_right[i] = levels ? level(i + 1, cols + 1)
                            : PatchMean(picture, map, 1 + 0.2 * du, 1 + 0.5 * du, (i + 0.2) * dv,
                                        (i + 0.8) * dv, across, along);
  }
  const Light light = LightRound(picture, map, rows, cols, gray);
  const bool shadow = fitted_light && light.shadow();
  r.shadow = shadow;
  // A shadow edge near a side (within 25 degrees and two cells) leaves that
  // side in doubt: the figure is refused if its ring goes on beyond it, and
  // is not read again without the fitted light.
  const int edge_side = shadow ? light.EdgeAlongSide(rows, cols, 25.0, 2.0) : -1;
  r.decisive = edge_side >= 0;
  // Shaded paper as dark as lit ink or darker: beyond such an edge the
  // side's profiles find no paper to set the side by.
  if (edge_side >= 0 && light.depth() >= 1.0 - light.InkShare()) r.edge_side = edge_side;
  if (RingGoesOn(picture, map, light, edge_side, rows, cols)) {
    r.fault = "the ring goes on beyond a side along a shadow edge (part of a figure)";
    r.decisive = true;
    r.part = true;
    return r;
  }
  // The paper level the light gives over a cell's central half.
  auto paper_at = [&](int i, int j) {
    double sum = 0.0;
    for (int a = 0; a < n; ++a)
      for (int b = 0; b < n; ++b)
        sum += light.Paper(j + 0.25 + 0.5 * (b + 0.5) / n, i + 0.25 + 0.5 * (a + 0.5) / n);
    return sum / (n * n);
  };

  std::vector<double> inner_gray;
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j) inner_gray.push_back(gray[static_cast<std::size_t>(i) * cols + j]);
  double brightest = 0.0;
  for (double g : gray) brightest = std::max(brightest, g);
  std::vector<double> ratios;
  auto add_ratios = [&](const std::vector<double>& paper, const std::vector<double>& ink) {
    for (std::size_t k = 0; k < paper.size(); ++k)
      if (!std::isnan(paper[k])) ratios.push_back(paper[k] / std::max(ink[k], 1.0));
  };
  add_ratios(paper_top, ink_top);
  add_ratios(paper_bottom, ink_bottom);
  add_ratios(paper_left, ink_left);
  add_ratios(paper_right, ink_right);
  const double ratio = ratios.empty() ? std::nan("") : Median(ratios);
  FillPaperGaps(paper_top, ink_top, ratio);
  FillPaperGaps(paper_bottom, ink_bottom, ratio);
  FillPaperGaps(paper_left, ink_left, ratio);
  FillPaperGaps(paper_right, ink_right, ratio);
  // No paper anywhere around (a figure filling the picture): the brightest cell stands for it.
  for (auto* side : {&paper_top, &paper_bottom, &paper_left, &paper_right})
    for (double& p : *side)
      if (std::isnan(p)) p = brightest;

  // The ring must read black against the paper next to it: every ring cell
  // at least 30% as far below its paper, for that paper's light, as the
  // typical one, and the clearest at least 12 gray levels. Light falls on
  // paper and ink alike, so a ring cell in a shadow keeps its share of its
  // paper's level while its difference in gray levels shrinks with the
  // light. A thin outlined box, whose ring cells show paper, fails here.
  std::vector<double> ring_contrast, ring_share;
  auto add_ring = [&](double paper, double ink) {
    ring_contrast.push_back(paper - ink);
    ring_share.push_back((paper - ink) / std::max(paper, 1.0));
  };
  for (int j = 0; j < cols; ++j) {
    add_ring(paper_top[j], ink_top[j]);
    add_ring(paper_bottom[j], ink_bottom[j]);
  }
  for (int i = 0; i < rows; ++i) {
    add_ring(paper_left[i], ink_left[i]);
    add_ring(paper_right[i], ink_right[i]);
  }
  const double clearest = *std::max_element(ring_contrast.begin(), ring_contrast.end());
  const double typical = Median(ring_contrast);
  r.contrast = typical;
  if (clearest < 12.0 || typical < 8.0) {
    r.fault = "the border does not stand out from the paper";
    return r;
  }
  if (shadow) {
    // A shadow edge may pass between a ring cell and the paper beside it:
    // the ring is judged against the light's paper level on the cell.
    ring_share.clear();
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j)
        if (i == 0 || j == 0 || i == rows - 1 || j == cols - 1) {
          const double p = paper_at(i, j);
          ring_share.push_back((p - gray[static_cast<std::size_t>(i) * cols + j]) / std::max(p, 1.0));
        }
  }
  const double typical_share = Median(ring_share);
  for (double c : ring_share) {
    if (c < 0.3 * typical_share) {
      r.fault = "the border ring does not read black all round";
      return r;
    }
  }
  if (RingRunsOn(picture, map, rows, cols, typical_share)) {
    r.fault = "the ring runs on past a side (part of a figure)";
    r.decisive = true;
    r.part = true;
    return r;
  }

  r.values.resize(cells);
  // Under a sharp shadow the cells are sampled about every other pixel, and
  // the samples the edge's ramp may reach anywhere its place is in doubt,
  // or a pixel and a half of blur beyond, are left out.
  std::vector<double> edge_down(cells, 0.0), edge_up(cells, 0.0);
  const int fine = std::clamp(static_cast<int>(cell_px / 2.0), 2, 12);
  const double band =
      std::max(light.doubt_minus(), light.doubt_plus()) + light.soft() / 2.0 + 1.5 / std::max(cell_px, 1.0);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * cols + j;
      if (shadow && levels) {
        // A level stands for the cell's gray at its centre: it is read
        // against the light's paper there.
        const double p = light.Paper(j + 0.5, i + 0.5);
        r.values[k] = (p - gray[k]) / std::max(p * (1.0 - light.InkShare()), 4.0);
        continue;
      }
      if (shadow) {
        r.values[k] =
            ShadowCellValue(picture, map, light, i, j, rows, cols, fine, band, edge_down[k], edge_up[k]);
        continue;
      }
      const double ink = FromSides(ink_top, ink_bottom, ink_left, ink_right, i, j, rows, cols);
      const double paper = FromSides(paper_top, paper_bottom, paper_left, paper_right, i, j, rows, cols);
      const double span = std::max(paper - ink, 4.0);
      r.values[k] = (paper - gray[k]) / span;
    }
  }

  // A light fitted to too few samples may leave a value undefined; no
  // check below would see it (every comparison with it is false).
  if (!std::all_of(r.values.begin(), r.values.end(), [](double v) { return std::isfinite(v); })) {
    r.fault = "the light on the figure cannot be told";
    return r;
  }
  std::vector<double> inner;
  for (int i = 1; i + 1 < rows; ++i)
    for (int j = 1; j + 1 < cols; ++j) inner.push_back(r.values[static_cast<std::size_t>(i) * cols + j]);
  // The ring's own values: the darker of its cells set the floor of "black".
  std::vector<double> ring;
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      if (i == 0 || j == 0 || i == rows - 1 || j == cols - 1)
        ring.push_back(r.values[static_cast<std::size_t>(i) * cols + j]);

  double gap = 1.0;
  if (fixed_threshold >= 0.0) {
    r.threshold = fixed_threshold;
  } else {
    std::vector<double> sorted = inner;
    std::sort(sorted.begin(), sorted.end());
    // Cells of both colours spread over at least 0.4 of the way from paper
    // to ink. They are split where the two sides differ most for their
    // spread (Otsu's criterion on the values), and the split must explain
    // most of the spread and leave a clear gap: scattered values, as a
    // misplaced grid or light the levels do not follow gives, fail.
    if (sorted.size() >= 2 && sorted.back() - sorted.front() >= 0.4) {
      if (!SplitValues(inner, r.threshold, gap)) {
        r.fault = "cells not clearly black or white";
        return r;
      }
      // Once the cells are told apart, each is measured again against the
      // levels of the cells around it: paper from its white neighbours and
      // the strip outside, ink from its black ones. A shadow edge across the
      // figure moves both levels where the side-to-side estimate cannot.
      const std::vector<double> local = LocalValues(gray, r.values, r.threshold, paper_top, paper_bottom,
                                                    paper_left, paper_right, rows, cols);
      std::vector<double> local_inner;
      for (int i = 1; i + 1 < rows; ++i)
        for (int j = 1; j + 1 < cols; ++j)
          local_inner.push_back(local[static_cast<std::size_t>(i) * cols + j]);
      double local_threshold = 0.0, local_gap = 0.0;
      // Under a shadow the fitted light has placed the levels already;
      // neighbours across its edge would only blur them again.
      if (!shadow && SplitValues(local_inner, local_threshold, local_gap)) {
        r.values = local;
        inner = local_inner;
        ring.clear();
        for (int i = 0; i < rows; ++i)
          for (int j = 0; j < cols; ++j)
            if (i == 0 || j == 0 || i == rows - 1 || j == cols - 1)
              ring.push_back(r.values[static_cast<std::size_t>(i) * cols + j]);
        r.threshold = local_threshold;
        gap = local_gap;
      }
    } else {
      r.uniform = true;
      double mean = 0.0;
      for (double v : inner) mean += v / inner.size();
      if (!inner.empty() && mean > 0.5) {
        // Black inside and out: nothing tells such a figure from a filled
        // dark block. It is read (the gap to paper's 0 splits it) but marked,
        // and the search takes it only when nothing better is in the picture.
        r.filled = true;
        r.threshold = sorted.front() / 2.0;
        gap = sorted.front();
      } else {
        const double whitest = sorted.empty() ? 0.0 : sorted.back();
        r.threshold = (whitest + 1.0) / 2.0;
        gap = 1.0 - whitest;
      }
      if (!r.filled && !InnerLinesShow(picture, map, rows, cols, cell_px, Median(inner_gray), typical)) {
        r.fault = "no grid lines seen between the white cells (an outlined box, not a figure)";
        return r;
      }
    }
  }
  // Levels that fit the figure put its white cells near 0 and its black
  // ones near 1, and the split between them near the middle. A split within
  // a quarter of either end says the levels are wrong for these cells (a
  // light that leaves part of the figure far lighter or darker than its
  // paper and ink), and what is read through them cannot be stood behind.
  if (fixed_threshold < 0.0 && !r.uniform && (r.threshold < 0.25 || r.threshold > 0.75)) {
    r.fault = "the light on the figure cannot be told";
    return r;
  }
  r.black.resize(cells);
  r.margins.resize(cells);
  double least_inner = 1e9;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * cols + j;
      r.black[k] = r.values[k] > r.threshold;
      r.margins[k] = std::fabs(r.values[k] - r.threshold);
      // A black cell is in doubt only as far as the edge may make it
      // lighter, a white one as far as it may make it darker.
      if (i > 0 && j > 0 && i + 1 < rows && j + 1 < cols)
        least_inner = std::min(least_inner, r.margins[k] - (r.black[k] ? edge_down[k] : edge_up[k]));
    }
  }
  // The ring as clearly black as the inner cells must be.
  for (std::size_t k = 0; k < ring.size(); ++k) {
    if (ring[k] < r.threshold + 0.12) {
      r.fault = "the border ring does not read black all round";
      return r;
    }
  }
  if (inner.empty()) least_inner = 0.5;
  if (!r.uniform && InnerFrameOnly(r.black, rows, cols)) {
    r.fault = "a frame thicker than one cell round white cells (an outlined box, not a figure)";
    return r;
  }
  if (!r.uniform && !SolidBlackCells(r.values, r.black, rows, cols, r.threshold)) {
    r.fault = "black cells lighter than solid ink (a frame or a mark only partly covering them)";
    return r;
  }
  // Clear cells: every inner cell at least 0.12 from the threshold (a cell
  // straddled by a misplaced grid sits in between), and further where a
  // shadow's edge crosses it.
  if (least_inner < 0.12) {
    r.fault = "cells not clearly black or white";
    return r;
  }
  const double ring_floor = *std::min_element(ring.begin(), ring.end());
  const double ring_margin = std::clamp((ring_floor - r.threshold) * 2.0, 0.0, 1.0);
  r.confidence = std::clamp(std::min({least_inner * 2.0, ring_margin, gap}), 0.0, 1.0);
  if (r.uniform) r.confidence *= 0.5;
  r.ok = true;
  return r;
}

// The share of a cell cut off each side of the window its gray level is
// taken over: first the central half, then, against noise, the central 80%.
constexpr double kInset = 0.25;
constexpr double kWideInset = 0.1;
// Noise (sigma) at least this share of the ring's contrast sends a refused
// reading to the wider windows.
constexpr double kNoisy = 0.1;
// The wider windows are a second chance for noise to let a misplaced grid
// pass: their reading is taken only with a clearer margin than the first
// needs (confidence 0.33: every inner cell 0.165 from the threshold, the
// gap in the split 0.33).
constexpr double kWideConfidence = 0.33;
// The reading with the fitted light, and, when that light shows a shadow
// edge the reading cannot stand behind, with the levels of the four sides:
// a shadow edge placed wrongly spoils the cells near it, and the sides'
// levels, measured again from each cell's neighbours, may still read them.
// `shadow` tells whether the fitted light showed an edge.
CellReading ReadCellsOver(const PictureView& picture, const Quad& seen, int rows, int cols,
                          double fixed_threshold, double inset, bool& shadow) {
  CellReading r = ReadCellsIn(picture, seen, rows, cols, fixed_threshold, true, inset);
  shadow = r.shadow;
  if (!r.ok && r.shadow && !r.decisive)
    r = ReadCellsIn(picture, seen, rows, cols, fixed_threshold, false, inset);
  return r;
}

}  // namespace

CellReading ReadCellsWithLevels(const PictureView& picture, const Quad& seen, int rows, int cols,
                                double fixed_threshold, const std::vector<double>& levels,
                                bool fitted_light) {
  if (levels.size() != static_cast<std::size_t>(rows + 2) * (cols + 2)) {
    CellReading r;
    r.fault = "the figure's levels cannot be fitted";
    return r;
  }
  return ReadCellsIn(picture, seen, rows, cols, fixed_threshold, fitted_light, kInset, &levels);
}

CellReading ReadCells(const PictureView& picture, const Quad& seen, int rows, int cols,
                      double fixed_threshold) {
  bool shadow = false;
  CellReading r = ReadCellsOver(picture, seen, rows, cols, fixed_threshold, kInset, shadow);
  // Refused in noise, without a shadow's edge (the central half keeps the
  // cells beside one clear of its doubtful place): the wider windows. Under
  // strong blur with little noise they would take in the neighbours' blur
  // for nothing, so they are tried only where the noise is clear (which
  // also spares a second reading of every candidate refused in clean light).
  if (!r.ok && !r.decisive && !shadow && r.contrast > 0.0 &&
      NoiseWithin(picture, seen) >= kNoisy * r.contrast) {
    CellReading wide = ReadCellsOver(picture, seen, rows, cols, fixed_threshold, kWideInset, shadow);
    if (wide.ok && wide.confidence >= kWideConfidence) r = std::move(wide);
  }
  return r;
}

}  // namespace vx::reader
