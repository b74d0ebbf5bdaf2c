// Side refinement for the reader: the searches in a private directory under
// one lock, and the intersection of the refined sides.
#include "refine/figure_sides.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>

#include "image/numeric.h"

namespace vx {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLogNames[] = {"dd.log", "dd1.log", "black.log", "black1.log"};

// Every call holds this lock: the run table and the log names are shared by
// the whole process.
std::mutex& RefineLock() {
  static std::mutex lock;
  return lock;
}

// The process's current directory moved to a fresh temporary directory for
// the object's life; back to where it was, and the directory removed, when
// it ends. ok() is false when either step could not be made, and then the
// current directory is unchanged.
class PrivateDirectory {
 public:
  PrivateDirectory() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return;
    // Absolute, so that it still names the directory once it is current.
    std::string pattern = (fs::absolute(base, ec) / "vexolith-refine-XXXXXX").string();
    if (ec) return;
    if (mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    saved_ = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (saved_ < 0 || chdir(path_.c_str()) != 0) {
      if (saved_ >= 0) close(saved_);
      saved_ = -1;
      fs::remove(path_, ec);
    }
  }
  ~PrivateDirectory() {
    if (saved_ < 0) return;
    // Back first, so nothing is ever left in the temporary directory's place.
    if (fchdir(saved_) != 0) {
      // The old directory is gone; the temporary one is still left behind
      // rather than staying current.
      (void)!chdir("/");
    }
    close(saved_);
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  bool ok() const { return saved_ >= 0; }
  const fs::path& path() const { return path_; }

  // Moves this side's logs, those the search wrote, to prefix + side name
  // + "-" + log name; false when one could not be copied.
  bool CopyLogs(const std::string& prefix, int side) const {
    static constexpr const char* kSideNames[] = {"top", "right", "bottom", "left"};
    bool kept = true;
    for (const char* name : kLogNames) {
      std::error_code ec;
      const fs::path from = path_ / name;
      if (!fs::exists(from, ec)) continue;
      fs::copy_file(from, prefix + kSideNames[side] + "-" + name, fs::copy_options::overwrite_existing, ec);
      kept = kept && !ec;
      fs::remove(from, ec);
    }
    return kept;
  }

 private:
  fs::path path_;
  int saved_ = -1;
};

struct Point {
  double x, y;
};

bool HasEquation(F_LINE l) { return l.dir == 1 || l.dir == 2; }

// The search's line for one side from a to b; `inward` is the unit normal
// pointing into the figure. Probes run `inset` pixels inside the side, and
// start a tenth of the side away from the corners so that the neighbouring
// sides stay out of them.
F_LINE SearchSide(IMG binary, Point a, Point b, Point inward, const SideRefineOptions& o) {
  const Point shift{inward.x * o.inset, inward.y * o.inset};
  const Point from{a.x + shift.x + 0.1 * (b.x - a.x), a.y + shift.y + 0.1 * (b.y - a.y)};
  const Point to{b.x + shift.x - 0.1 * (b.x - a.x), b.y + shift.y - 0.1 * (b.y - a.y)};
  const Point mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
  const F_LINE inside = MakeLine(from.x, from.y, to.x, to.y);
  const double half = LengthLine(a.x, a.y, b.x, b.y) / 2;
  const double max_angle = o.max_angle > 0 ? o.max_angle : std::atan(o.end_shift / std::max(half, 1.0));
  switch (o.search) {
    case SideSearch::kDispersion:
      return AccuracyLine(binary, inside, mid.x, mid.y, max_angle, o.steps,
                          LengthLine(from.x, from.y, to.x, to.y) / 2);
    case SideSearch::kDispersionFromCorner:
      return AccuracyLine1(binary, inside, from.x, from.y, to.x, to.y, max_angle, o.steps);
    case SideSearch::kRunCount:
      return AccuracyLine2(binary, inside, from.x, from.y, to.x, to.y, max_angle, 0.0, o.steps);
    case SideSearch::kBlack:
      return AccuracyLineBlack(binary, inside, from.x, from.y, to.x, to.y, max_angle, 0.0, o.steps);
    case SideSearch::kContour:
      break;
  }
  return F_LINE{0, 0, 0.0, 0.0};
}

F_LINE ContourSide(CONTOUR& store, int region, Point a, Point b) {
  C_POINT ends[2] = {PointDI(a.x, a.y), PointDI(b.x, b.y)};
  C_POINTd fitted[2];
  F_LINE line{0, 0, 0.0, 0.0};
  int tally = 0;
  double measure = 0.0;
  if (store.AccuracyLine(ends[0], fitted[0], line, region, tally, measure, 0) != 0)
    return F_LINE{0, 0, 0.0, 0.0};
  return line;
}

}  // namespace

SidesRefined RefineFigureSides(IMG binary, FOUR_FIG_Pd& corners, const SideRefineOptions& options,
                               CONTOUR* store, int region) {
  SidesRefined done;
  const bool contour = options.search == SideSearch::kContour;
  if (contour && (store == nullptr || region < 0 || region >= store->ReturnAllContours())) return done;
  if (!contour && (binary.valid != 1 || binary.gray != 1 || binary.bits == nullptr)) return done;

  // Outline order p1 -> p3 -> p2 -> p4; side k runs from corner k to k + 1.
  const Point q[4] = {{corners.p1.x, corners.p1.y},
                      {corners.p3.x, corners.p3.y},
                      {corners.p2.x, corners.p2.y},
                      {corners.p4.x, corners.p4.y}};
  for (const Point& p : q) {
    if (!FitsRoundHalfUp(p.x) || !FitsRoundHalfUp(p.y)) return done;
  }
  const Point centre{(q[0].x + q[1].x + q[2].x + q[3].x) / 4, (q[0].y + q[1].y + q[2].y + q[3].y) / 4};

  std::lock_guard<std::mutex> hold(RefineLock());
  // A relative logs prefix means the caller's directory, not the private
  // one the searches run in; named under the lock, since another call
  // moves the current directory while it holds it.
  std::error_code ec;
  const std::string logs_prefix =
      options.logs_prefix.empty() ? std::string() : fs::absolute(options.logs_prefix, ec).string();
  if (ec) return done;
  std::optional<PrivateDirectory> dir;
  if (!contour) {
    dir.emplace();
    // Without a private directory the searches would write their logs into
    // the caller's: none is run.
    if (!dir->ok()) return done;
  }

  F_LINE side[4];
  for (int k = 0; k < 4; ++k) {
    const Point a = q[k], b = q[(k + 1) % 4];
    const double length = LengthLine(a.x, a.y, b.x, b.y);
    side[k] = MakeLine(a.x, a.y, b.x, b.y);
    if (!(length > 0) || !HasEquation(side[k])) return done;
    Point inward{-(b.y - a.y) / length, (b.x - a.x) / length};
    const Point mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    if (inward.x * (centre.x - mid.x) + inward.y * (centre.y - mid.y) < 0) inward = {-inward.x, -inward.y};

    const F_LINE found =
        contour ? ContourSide(*store, region, a, b) : SearchSide(binary, a, b, inward, options);
    if (dir && !logs_prefix.empty()) done.logs_kept = dir->CopyLogs(logs_prefix, k) && done.logs_kept;
    if (!HasEquation(found)) continue;
    // The search settles the side's direction; its place stays where the
    // rough side crosses the middle of the edge.
    const F_LINE turned = MakeParallelLine(found, mid.x, mid.y);
    if (!std::isfinite(turned.k) || !std::isfinite(turned.b)) continue;
    side[k] = turned;
    ++done.sides;
  }

  if (done.sides == 0) return done;
  // Corner k lies where side k - 1 meets side k.
  Point out[4];
  for (int k = 0; k < 4; ++k) {
    double x = 0, y = 0;
    if (Intersection(side[(k + 3) % 4], side[k], &x, &y) != 0) return {0, done.logs_kept};
    if (!std::isfinite(x) || !std::isfinite(y)) return {0, done.logs_kept};
    out[k] = {x, y};
  }
  corners.p1 = C_POINTd{out[0].x, out[0].y};
  corners.p3 = C_POINTd{out[1].x, out[1].y};
  corners.p2 = C_POINTd{out[2].x, out[2].y};
  corners.p4 = C_POINTd{out[3].x, out[3].y};
  return done;
}

}  // namespace vx
