#include "toolpath/shop_job.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <utility>

#include "core/number_text.h"
#include "machine/machine_limits.h"
#include "toolpath/outline_cut.h"
#include "toolpath/stock.h"

namespace ventaro {

namespace {

enum class Bound { Positive, NotNegative, Percent };

// A job field the shop job reads as a number. The plain program passes some
// of them through as typed; a machine needs numbers it can use.
double shopField(const JobFields& fields, Field field, Bound bound) {
  const ParsedNumber n = parseNumber(fields[field]);
  const bool ok = n.status == ParseStatus::Ok && std::isfinite(n.value) &&
                  (bound == Bound::NotNegative ? n.value >= 0 : n.value > 0) &&
                  (bound != Bound::Percent || n.value <= 100);
  if (ok) return n.value;
  const char* want = bound == Bound::Positive      ? "a positive number"
                     : bound == Bound::NotNegative ? "a number not below zero"
                                                   : "a number above 0 and at most 100";
  throw ShopError("the shop job needs ", field,
                  " to be " + std::string(want) + ", not \u201c" + fields[field] + "\u201d");
}

// A feed the program writes as its F word: a machine neither moves at F0
// nor at more than kMaxFeed.
double shopFeed(const JobFields& fields, Field field) {
  const double feed = shopField(fields, field, Bound::Positive);
  if (!rateWritable(feed, kMaxFeed)) {
    throw ShopError("the shop job needs ", field,
                    " to be above 0 and at most " + machineNumber(kMaxFeed) +
                        " mm/min as its F word writes it, not \u201c" + fields[field] + "\u201d");
  }
  return feed;
}

// A job of millions of lines would fill the memory long before a machine
// could run it. Its size is estimated from its settings before anything is
// laid out, so that a job beyond the bounds is refused at once.
void checkCount(double count, double limit, const char* what) {
  if (!(count <= limit)) {
    throw ShopError("the shop job would need more than " + machineNumber(limit) + " " + what +
                    "; give wider stepovers, a larger scallop, deeper layers, a coarser tolerance or a smaller blade");
  }
}

// How far apart the heights along a line are sampled before refining. A
// ball's path bends no tighter than its radius, and a flat end mill's path
// has no feature narrower than its diameter, so the middle of each step
// (which the refining looks at in any case) shows where a step must be cut
// finer: the step is twice the length that stays within the tolerance of a
// bend of the tool's radius.
double sampleStep(double radius, double tol) { return std::clamp(2 * std::sqrt(8 * radius * tol), 0.1, 4.0); }

// The heights one tool's raster samples before refining: its lines across
// the block and the two edges along it.
double rasterSamples(const Block& b, double stepover, double step) {
  const double lines = std::ceil((b.x1 - b.x0) / stepover) + 1;
  return lines * (std::ceil((b.y1 - b.y0) / step) + 1) + 2 * (std::ceil((b.x1 - b.x0) / step) + 1);
}

// The tip height over (x, y), which must exist inside the laid-out surface.
double requireTip(const DropCutter& drop, double x, double y, DropCutter::Hint& hint) {
  const double z = drop.tipZ(x, y, &hint);
  if (!std::isfinite(z))
    throw ShopError("no surface lies under the tool at X " + machineNumber(x) + " Y " + machineNumber(y));
  return z;
}

double lowestOf(const std::vector<PathMove>& moves) {
  double low = std::numeric_limits<double>::infinity();
  for (const PathMove& m : moves) low = std::min(low, m.to.z);
  return low;
}

struct Tolerances {
  double refine, thin, rise;
};

// The tolerance is shared between the sampling and the thinning of the
// samples to moves, with a little left for the four decimals of the
// program's coordinates. Where the height bends sharply between two samples
// (one contact giving way to another), it can depart from the straight line
// between them by twice what the middle shows, so the sampling takes a
// quarter: half the tolerance at most; the thinning takes 45 hundredths.
// Where a tool climbs steeply its height can turn within a span without
// showing at the middle, so no span climbs more than 25 tolerances.
Tolerances splitTolerance(double tol) { return {tol / 4, tol * 0.45, tol * 25}; }

// Two neighbouring finishing passes `gap` apart, seen across them: their
// tips stand at different heights where the surface slopes along the span.
// A ball's centres lie a radius above its tips; between centres D apart the
// ridge left stands R - sqrt(R^2 - D^2/4) above the balls' lowest points,
// so the ridge grows with D. A flat end mill leaves a step as high as the
// rise between its passes. `spread` is the largest D (ball) or rise (flat).
struct Ridge {
  double height = 0;
  double spread = 0;
};

// The height of a sampled line at s, between its samples.
double heightAlong(const std::vector<ProfileSample>& line, std::size_t& k, double s) {
  while (k + 2 < line.size() && line[k + 1].s < s) ++k;
  const ProfileSample& a = line[k];
  const ProfileSample& b = line[std::min(k + 1, line.size() - 1)];
  if (b.s <= a.s) return a.z;
  return a.z + (b.z - a.z) * std::clamp((s - a.s) / (b.s - a.s), 0.0, 1.0);
}

// The highest ridge between two sampled lines `gap` apart, at every sample
// of either from `from` to `to` along them.
Ridge ridgeBetween(const Cutter& c, double gap, const std::vector<ProfileSample>& a,
                   const std::vector<ProfileSample>& b, double from = -std::numeric_limits<double>::infinity(),
                   double to = std::numeric_limits<double>::infinity()) {
  double spread = 0;
  std::size_t ka = 0, kb = 0, ia = 0, ib = 0;
  while (ia < a.size() || ib < b.size()) {
    const bool fromA = ib == b.size() || (ia < a.size() && a[ia].s <= b[ib].s);
    const double s = fromA ? a[ia++].s : b[ib++].s;
    if (s < from || s > to) continue;
    const double rise = heightAlong(b, kb, s) - heightAlong(a, ka, s);
    spread = std::max(spread, c.shape == ToolShape::Ball ? std::sqrt(gap * gap + rise * rise) : std::abs(rise));
  }
  const double r = c.radius;
  if (c.shape == ToolShape::Flat) return {gap < 2 * r ? spread : std::numeric_limits<double>::infinity(), spread};
  return {spread < 2 * r ? r - std::sqrt(r * r - spread * spread / 4) : r, spread};
}

// A path that climbs over the crest of a section and comes down its far
// side would take the far side's material with the tool's end, going down
// into it as steeply as the surface falls. Such a line is cut in two: up to
// the crest from its start, and up to the crest again from its far end, so
// that the tool only ever climbs in material. The second half is milled
// against the first half's direction. A path that comes down by less than
// kDescent after its highest point is cut in one.
inline constexpr double kDescent = 0.5;

// The crest of the path z from `from` to `to` (indices, either way round):
// its highest point when the path comes down from there by more than
// kDescent, otherwise `to`.
std::size_t crestOf(const std::vector<double>& z, std::size_t from, std::size_t to) {
  const bool up = to >= from;
  std::size_t top = from;
  for (std::size_t q = from;; q = up ? q + 1 : q - 1) {
    if (z[q] > z[top]) top = q;
    if (q == to) break;
  }
  double low = z[top];
  for (std::size_t q = top;; q = up ? q + 1 : q - 1) {
    low = std::min(low, z[q]);
    if (q == to) break;
  }
  return z[top] - low > kDescent ? top : to;
}

// The rest pass leaves at most this much (mm) above the finishing allowance
// between its lines, and puts no two lines closer than twice kRestClosest.
inline constexpr double kRestLeft = 1;
inline constexpr double kRestClosest = 0.5;

// The rest pass. A flat end mill's lines a stepover apart leave, where the
// surface falls along the span, as much material as the surface falls
// between two lines (a ball leaves its ridge besides): up to the stepover
// times the slope, far more than the finishing tool should meet. Where two
// neighbouring lines leave a ridge above kRestLeft, a line is added halfway
// between them, and again between it and each of them, until none does.
// Each rest line is cut in layers one roughing depth apart, from the highest
// material left under it down, and only where it meets material: it goes
// down in cleared space beside what it cuts, enters from the side and lifts
// again in cleared space; every link between lines runs above the material
// that the stock left so far holds.
class RestPass {
 public:
  using Sampler = std::function<std::vector<ProfileSample>(double)>;

  RestPass(const ShopPlan& plan, const Cutter& cutter, double ya, double thin, Sampler sample, ToolRun& run,
           Stock& stock)
      : plan_(plan), cutter_(cutter), ya_(ya), thin_(thin), sample_(std::move(sample)), run_(run), stock_(stock) {}

  // What the layers left: every line's last layer follows its heights.
  void roughed(double x, const std::vector<ProfileSample>& line) {
    for (const ProfileSample& p : line) stock_.lower(cutter_, x, ya_ + p.s, p.z);
  }

  // Rest lines between two lines already cut; returns how many.
  int between(double xa, const std::vector<ProfileSample>& a, double xb, const std::vector<ProfileSample>& b) {
    const double gap = xb - xa;
    const Block& blk = plan_.block;
    if (gap < 2 * kRestClosest || ridgeBetween(cutter_, gap, a, b, blk.y0 - ya_, blk.y1 - ya_).height <= kRestLeft) {
      return 0;
    }
    const double x = xa + gap / 2;
    const std::vector<ProfileSample> m = sample_(x);
    cut(x, m);
    return 1 + between(xa, a, x, m) + between(x, m, xb, b);
  }

  double lowest() const { return lowest_; }

 private:
  void travel(const Vec3& to) { travelOver(stock_, cutter_, run_.moves, to); }

  void cut(double x, const std::vector<ProfileSample>& line) {
    constexpr double kMet = 1e-3;  // less than this is no material
    const std::size_t n = line.size();
    // The highest material under the tool at each sample, before the line.
    std::vector<double> top(n);
    double highest = -std::numeric_limits<double>::infinity(), low = std::numeric_limits<double>::infinity();
    for (std::size_t q = 0; q < n; ++q) {
      top[q] = stock_.highestWithin(x, ya_ + line[q].s, cutter_.radius + kStockRim);
      if (top[q] <= line[q].z + kMet) continue;
      highest = std::max(highest, top[q]);
      low = std::min(low, line[q].z);
    }
    if (!(highest > low)) return;
    const double depth = plan_.roughDepth;
    const int layers = static_cast<int>(std::ceil((highest - low) / depth - 1e-9));
    // Where each sample was cut last: once the tool has stood at a height
    // over a sample, nothing is left above that height under it.
    std::vector<double> cutAt(n, std::numeric_limits<double>::infinity()), path(n);
    for (int k = 1; k <= layers; ++k) {
      const double level = k == layers ? low : highest - k * depth;
      std::size_t first = n, last = 0;
      for (std::size_t q = 0; q < n; ++q) {
        path[q] = std::max(level, line[q].z);
        if (top[q] > path[q] + kMet && path[q] < cutAt[q] - kMet) first = std::min(first, q), last = q;
      }
      if (first == n) continue;
      // The lines reach beyond the block on both sides, where the tool
      // meets nothing: there is a sample in the clear before and after.
      const std::size_t from = first - 1, to = last + 1;
      const auto point = [&](std::size_t q) { return Vec3{x, ya_ + line[q].s, path[q]}; };
      // Up to the crest from the start and, past a crest, from the end.
      const std::size_t crest = crestOf(path, from, to);
      for (const auto& [a, z] : {std::pair{from, crest}, std::pair{to, crest}}) {
        if (a == z) continue;
        const auto keep = thinProfile(line, a, z, thin_, [&](std::size_t q) { return path[q]; });
        travel(point(a));
        for (std::size_t i = 1; i < keep.size(); ++i) run_.moves.push_back({PathMoveKind::Cut, point(keep[i])});
      }
      for (std::size_t q = from; q <= to; ++q) cutAt[q] = std::min(cutAt[q], path[q]);
      lowest_ = std::min(lowest_, level);
      checkCount(static_cast<double>(run_.moves.size()), kMaxShopMoves, "program lines");
    }
    for (std::size_t q = 0; q < n; ++q) {
      if (std::isfinite(cutAt[q])) stock_.lower(cutter_, x, ya_ + line[q].s, cutAt[q]);
    }
  }

  const ShopPlan& plan_;
  Cutter cutter_;
  double ya_, thin_;
  Sampler sample_;
  ToolRun& run_;
  Stock& stock_;
  double lowest_ = std::numeric_limits<double>::infinity();
};

// Roughing: layer by layer from the block top down, each line of a layer
// cut in one direction across the chord, from outside the block to outside
// it again. The tool reaches each layer's depth beside the block, in the
// air, and enters the material from the side: a flat end mill never plunges
// into material. Layer by layer the lines step along the span one way and
// then back, and each is cut in the direction that keeps the material not
// yet cut on the tool's right, so that a clockwise spindle climbs: lines
// stepping towards the tip run from Y 0 to the far side, lines stepping back
// run the other way. Between two lines the tool lifts above the material
// either of them leaves and crosses back beside the block.
ToolRun roughing(const ShopPlan& plan, const TargetSurface& surface, const Cutter& cutter, double holderRadius,
                 int& layers, int& restLines, Stock& stock, WorkMonitor* monitor) {
  ToolRun run;
  run.number = 1;
  run.cutter = cutter;
  DropCutter drop(surface, cutter);
  const Tolerances tol = splitTolerance(plan.tolerance);
  // The rest lines only take the material the layers left between their
  // lines; they are sampled more coarsely still.
  const Tolerances restTol = splitTolerance(plan.roughTolerance);
  const Block& b = plan.block;
  // The lines reach a millimetre beyond the tool's radius (or its holder's,
  // when that is wider) past both sides; there the tool goes down clear of
  // the block, and so does the holder above it.
  const double clear = std::max(cutter.radius, holderRadius);
  const double reach = clear + 1;
  const double ya = b.y0 - reach, yb = b.y1 + reach;
  const double air = b.bottom - 1000;  // below anything: the tool is free there
  // The heights are sampled line by line along the span.
  const WorkPart sampling(monitor, 0, 0.25), layering(monitor, 0.25, 0.4), resting(monitor, 0.4, 0.6);
  int calls = 0;
  bool rastered = false;
  DropCutter::Hint hint;
  const auto need = [&](double x, double y) {
    if (!rastered && ++calls % 256 == 0) sampling.advance((x - b.x0) / (b.x1 - b.x0));
    // Half a millimetre before its footprint (or its holder's) meets the
    // block the tool has risen to where it must stand there: it climbs in
    // the air.
    const double lo = b.y0 - cutter.radius, hi = b.y1 + cutter.radius;
    if (y < b.y0 - clear - 0.5 || y > b.y1 + clear + 0.5) return air;
    return requireTip(drop, x, std::clamp(y, lo, hi), hint) + plan.finishDepth;
  };
  const double step = sampleStep(cutter.radius, plan.tolerance);
  const auto sampleRest = [&](double x) {
    return sampleProfile(yb - ya, sampleStep(cutter.radius, plan.roughTolerance), restTol.refine, restTol.rise,
                         [&](double s) { return need(x, ya + s); });
  };
  const RasterHeights raster =
      sampleRaster(rasterPositions(b.x0, b.x1, plan.roughStepover), ya, yb, step, tol.refine, tol.rise, need);
  rastered = true;
  const auto over = [&](const ProfileSample& p) { return p.z > air + 1; };

  double lowest = std::numeric_limits<double>::infinity();
  std::vector<double> highest;  // of each line
  for (const auto& line : raster.lines) {
    highest.push_back(air);
    for (const ProfileSample& p : line) {
      if (!over(p)) continue;
      lowest = std::min(lowest, p.z);
      highest.back() = std::max(highest.back(), p.z);
    }
  }
  // Layers down to the first one at or below the lowest height any line
  // needs: that one follows the heights everywhere.
  const double count = b.top > lowest ? std::ceil((b.top - lowest) / plan.roughDepth - 1e-9) : 0;
  // A layer writes at most five moves for a line and one for each sample
  // of it that stands above the layer (where the tool follows the heights);
  // a sample stands above the layers from the one at its height down.
  double moves = 5 * count * static_cast<double>(raster.lines.size());
  for (const auto& line : raster.lines) {
    for (const ProfileSample& p : line) {
      if (over(p)) moves += std::clamp(count - std::floor((b.top - p.z) / plan.roughDepth), 0.0, count);
    }
  }
  checkCount(moves, kMaxShopMoveEstimate, "moves before thinning");
  layers = static_cast<int>(count);

  // The lift between lines: a little above the material left around them.
  constexpr double kLift = 2;
  std::vector<double> clamped;
  double above = b.top;  // where the material ends before this layer
  std::size_t lastLine = 0;
  bool towardsTip = true;
  for (int k = 1; k <= layers; ++k) {
    layering.advance(static_cast<double>(k) / layers);
    const double level = b.top - k * plan.roughDepth;
    // Only lines with material left above their heights need the layer.
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < raster.lines.size(); ++i) {
      const auto& line = raster.lines[i];
      if (std::any_of(line.begin(), line.end(), [&](const ProfileSample& p) { return over(p) && p.z < above; })) {
        todo.push_back(i);
      }
    }
    if (!towardsTip) std::reverse(todo.begin(), todo.end());
    for (std::size_t n = 0; n < todo.size(); ++n) {
      const std::size_t i = todo[n];
      const auto& line = raster.lines[i];
      const std::size_t lastSample = line.size() - 1;
      clamped.resize(line.size());
      for (std::size_t q = 0; q < line.size(); ++q) clamped[q] = std::max(level, line[q].z);
      const std::size_t from = towardsTip ? 0 : lastSample, to = towardsTip ? lastSample : 0;
      const std::size_t crest = crestOf(clamped, from, to);
      const auto keep = thinProfile(line, from, crest, tol.thin, [&](std::size_t q) { return clamped[q]; });
      const auto point = [&](std::size_t q) {
        const double y = q == 0 ? ya : q == lastSample ? yb : ya + line[q].s;
        return Vec3{raster.xs[i], y, clamped[q]};
      };
      // Across at the height the last line was left at, then down beside
      // the block through the air to the layer, then across the block.
      // The crossing passes over every line between the last one cut and
      // this one (the last of a layer to the first of the next, too), each
      // standing as high as its heights: up above them first if need be.
      const Vec3 start = point(keep.front());
      if (!run.moves.empty()) {
        double standing = above;
        for (std::size_t j = std::min(lastLine, i); j <= std::max(lastLine, i); ++j) {
          standing = std::max(standing, highest[j]);
        }
        const Vec3 from = run.moves.back().to;
        const double cross = std::max(from.z, std::min(b.top, standing) + kLift);
        if (cross > from.z) run.moves.push_back({PathMoveKind::Rapid, {from.x, from.y, cross}});
        run.moves.push_back({PathMoveKind::Rapid, {start.x, start.y, cross}});
      }
      lastLine = i;
      run.moves.push_back({PathMoveKind::Rapid, {start.x, start.y, start.z + 1}});
      run.moves.push_back({PathMoveKind::Plunge, start});
      for (std::size_t q = 1; q < keep.size(); ++q) run.moves.push_back({PathMoveKind::Cut, point(keep[q])});
      // Up above what this line and the next leave, ready to cross back;
      // for a line cut in two, first over to its far end beside the block,
      // down through the air and back up to the crest. The material within
      // the tool's reach of the line is what this line, the one before and
      // the one after leave.
      const std::size_t next = n + 1 < todo.size() ? todo[n + 1] : i;
      const std::size_t before = n > 0 ? todo[n - 1] : i;
      const double lift = std::min(b.top, std::max({above, highest[i], highest[next], highest[before]})) + kLift;
      if (crest != to) {
        const Vec3 top = point(crest);
        const auto back = thinProfile(line, to, crest, tol.thin, [&](std::size_t q) { return clamped[q]; });
        const Vec3 far = point(back.front());
        run.moves.push_back({PathMoveKind::Rapid, {top.x, top.y, std::max(lift, top.z)}});
        run.moves.push_back({PathMoveKind::Rapid, {far.x, far.y, std::max(lift, top.z)}});
        run.moves.push_back({PathMoveKind::Rapid, {far.x, far.y, far.z + 1}});
        run.moves.push_back({PathMoveKind::Plunge, far});
        for (std::size_t q = 1; q < back.size(); ++q) run.moves.push_back({PathMoveKind::Cut, point(back[q])});
      }
      const Vec3 end = point(keep.back());
      run.moves.push_back({PathMoveKind::Rapid, {end.x, end.y, std::max(lift, end.z)}});
      checkCount(static_cast<double>(run.moves.size()), kMaxShopMoves, "program lines");
    }
    above = level;
    if (!todo.empty()) towardsTip = !towardsTip;
  }
  // The lowest the tool goes over the block: the last layer lies at or
  // below the lowest height, and follows the heights.
  run.lowest = layers > 0 ? lowest : b.top;
  if (layers > 0) {
    RestPass rest(plan, cutter, ya, restTol.thin, sampleRest, run, stock);
    for (std::size_t i = 0; i < raster.lines.size(); ++i) rest.roughed(raster.xs[i], raster.lines[i]);
    for (std::size_t i = 0; i + 1 < raster.lines.size(); ++i) {
      resting.advance((raster.xs[i] - b.x0) / (b.x1 - b.x0));
      restLines += rest.between(raster.xs[i], raster.lines[i], raster.xs[i + 1], raster.lines[i + 1]);
    }
    run.lowest = std::min(run.lowest, rest.lowest());
  }
  return run;
}

// Work that runs on a thread of its own beside the roughing: it says how
// far it has come, and stops at its next step once asked.
struct SideWork {
  std::atomic<bool> stop{false};
  std::atomic<double> done{0};

  void advance(double d) {
    if (stop.load()) throw WorkCancelled();
    done.store(d);
  }
};

// The finishing lines as sampled: where they stand along the span, and the
// tip's heights along each from ya to yb.
struct FinishLines {
  double ya = 0, yb = 0;
  std::vector<double> xs;
  std::vector<std::vector<ProfileSample>> lines;
  double scallopLeft = 0;  // the highest ridge left between two lines
  double closest = 0;      // the least distance between two lines
};

// The finishing lines depend on the surface and the tool alone, not on what
// the roughing leaves, so they are sampled while the roughing is laid out.
FinishLines finishingLines(const ShopPlan& plan, const TargetSurface& surface, const Cutter& cutter, SideWork& side) {
  FinishLines f;
  DropCutter drop(surface, cutter);
  const Tolerances tol = splitTolerance(plan.tolerance);
  const Block& b = plan.block;
  const double step = sampleStep(cutter.radius, plan.tolerance);
  DropCutter::Hint hint;
  const auto tip = [&](double x, double y) { return requireTip(drop, x, y, hint); };
  // Each line reaches a millimetre beyond the tool's radius past both
  // sides of the block: there the tool goes down in the air. Beside the
  // block it keeps the height it has on the block's edge: moved away from
  // the block at that height the tool only stands higher over the block,
  // and it never goes down towards the table beyond it.
  const double ya = b.y0 - cutter.radius - 1, yb = b.y1 + cutter.radius + 1;
  f.ya = ya;
  f.yb = yb;
  const auto line = [&](double x) {
    return sampleProfile(yb - ya, step, tol.refine, tol.rise,
                         [&](double s) { return tip(x, std::clamp(ya + s, b.y0, b.y1)); });
  };
  // Line after line along the span, each as far from the one before as the
  // scallop allows: on the level plan.finStepover (a ball's ridge between
  // centres that far apart is the scallop); where the surface slopes along
  // the span, as much closer as the slope between the last two lines asks,
  // and closer again where the next line shows more slope, down to a
  // sixteenth of the level spacing.
  const double level = plan.finStepover;
  const double closest = level / 16;
  const double allowed = cutter.shape == ToolShape::Ball ? level : plan.scallop;  // the spread allowed
  std::vector<double>& xs = f.xs;
  auto& lines = f.lines;
  xs.push_back(b.x0);
  lines.push_back(line(b.x0));
  double ratio = allowed / level;  // spread per millimetre of gap between the last two lines
  while (xs.back() < b.x1) {
    side.advance((xs.back() - b.x0) / (b.x1 - b.x0));
    double gap = std::clamp(allowed / ratio * 0.98, closest, level);
    for (;;) {
      // The last line stands on the block's end.
      const bool last = xs.back() + gap * 1.05 >= b.x1;
      if (last) gap = b.x1 - xs.back();
      std::vector<ProfileSample> next = line(last ? b.x1 : xs.back() + gap);
      const Ridge ridge = ridgeBetween(cutter, gap, lines.back(), next, b.y0 - ya, b.y1 - ya);
      if (ridge.height > plan.scallop && gap > closest) {
        gap = std::max(closest, gap * std::min(0.9, allowed / ridge.spread * 0.98));
        continue;
      }
      f.scallopLeft = std::max(f.scallopLeft, ridge.height);
      ratio = std::max(ridge.spread / gap, allowed / level);
      xs.push_back(last ? b.x1 : xs.back() + gap);
      lines.push_back(std::move(next));
      checkCount(static_cast<double>(xs.size()), 100000, "finishing lines");
      break;
    }
  }
  f.closest = level;
  for (std::size_t k = 1; k < xs.size(); ++k) f.closest = std::min(f.closest, xs[k] - xs[k - 1]);
  side.advance(1);
  return f;
}

// Each line from beside the block at Y 0 up to the section's crest, and
// from beside its far side up to the crest again: the ball climbs into the
// allowance and never goes down into it. Between the two, and from line to
// line, it passes above what the roughing left.
ToolRun finishing(const ShopPlan& plan, const FinishLines& f, const Cutter& cutter, const Stock& stock) {
  ToolRun run;
  run.number = 2;
  run.cutter = cutter;
  const Tolerances tol = splitTolerance(plan.tolerance);
  std::vector<double> z;
  for (std::size_t i = 0; i < f.xs.size(); ++i) {
    const auto& samples = f.lines[i];
    z.resize(samples.size());
    for (std::size_t q = 0; q < samples.size(); ++q) z[q] = samples[q].z;
    const std::size_t last = samples.size() - 1, crest = crestOf(z, 0, last);
    const auto point = [&](std::size_t q) {
      return Vec3{f.xs[i], q == 0 ? f.ya : q == last ? f.yb : f.ya + samples[q].s, z[q]};
    };
    for (const auto& [from, to] : {std::pair{std::size_t{0}, crest}, std::pair{last, crest}}) {
      if (from == to) continue;
      const auto keep = thinProfile(samples, from, to, tol.thin, [&](std::size_t q) { return z[q]; });
      travelOver(stock, cutter, run.moves, point(from));
      for (std::size_t k = 1; k < keep.size(); ++k) run.moves.push_back({PathMoveKind::Cut, point(keep[k])});
    }
    checkCount(static_cast<double>(run.moves.size()), kMaxShopMoves, "program lines");
  }
  run.lowest = lowestOf(run.moves);
  return run;
}

}  // namespace

ShopInputs readShopInputs(const JobFields& fields, const ShopSettings& settings) {
  ShopInputs in;
  in.roughDia = shopField(fields, Field::RoughDia, Bound::Positive);
  in.roughStep = shopField(fields, Field::RoughStep, Bound::Percent);
  in.finDia = shopField(fields, Field::FinDia, Bound::Positive);
  in.roughFeed = shopFeed(fields, Field::RoughFeed);
  in.finishFeed = shopFeed(fields, Field::FinishFeed);
  // A path may depart from the surface by the tolerance; a tolerance as
  // wide as a tool would let it depart by the tool.
  if (!(settings.tolerance < std::min(in.roughDia, in.finDia) / 2)) {
    throw SettingError(Setting::Tolerance, "must be smaller than the radius of the smaller tool, " +
                                               machineNumber(std::min(in.roughDia, in.finDia) / 2) + " mm");
  }
  // A ball leaves no ridge lower than nothing and none higher than its
  // radius; a scallop that high would let the passes lie a diameter apart.
  if (!(settings.scallop < in.finDia / 2)) {
    throw SettingError(Setting::Scallop,
                       "must be smaller than the finishing tool's radius, " + machineNumber(in.finDia / 2) + " mm");
  }
  in.roughDepth = shopField(fields, Field::RoughDepth, Bound::Positive);
  in.finishDepth = shopField(fields, Field::FinishDepth, Bound::NotNegative);
  return in;
}

ShopPlan planShopJob(const ShopInputs& in, const BladeParameters& parameters, const ShopSettings& settings,
                     WorkMonitor* monitor, const DesignSettings& design, std::optional<double> lift,
                     const Airfoil* airfoil, std::optional<PlankFace> face) {
  if (face && !design.blankThickness) throw ShopError("a face of a plank needs the plank's thickness");
  const double roughDia = in.roughDia, roughStep = in.roughStep, finDia = in.finDia;
  const double roughFeed = in.roughFeed, finishFeed = in.finishFeed;
  ShopPlan plan;
  plan.roughDepth = in.roughDepth;
  plan.finishDepth = in.finishDepth;
  plan.block = blockExtent(parameters);
  if (face) {
    // Past the tip the plank goes on: its tip section reaches on as a tab,
    // as long as the widest tool needs to pass between tip and end, into
    // the plank's end, which stays whole and holds the blade by its tip.
    // The finishing tool goes no farther than its radius past the tip (see
    // below), clear of the corners the roughing tool leaves its radius in
    // between tab and end.
    plan.plankEnd = plan.block.x1 + std::max({roughDia, finDia, roughDia / 2 + finDia}) + kTipTabBeyondTool;
    plan.block.x1 = *plan.plankEnd + kPlankEndLength;
  }
  plan.tolerance = settings.tolerance;
  plan.plungeFeed = settings.plungeFeed;
  plan.scallop = settings.scallop;
  plan.restLeft = kRestLeft;
  // The roughing paths stand the finishing allowance above the surface:
  // they need not follow it as closely as the finishing tool, only closely
  // enough to leave the allowance within a tenth.
  plan.roughTolerance = std::max(plan.tolerance, in.finishDepth / 10);
  // On the level a ball's passes 2 sqrt(h (2R - h)) apart leave a ridge of
  // h; a flat end mill leaves none there, and its passes overlap by half.
  const double finR = finDia / 2;
  const double finWidth =
      settings.finShape == ToolShape::Ball ? 2 * std::sqrt(plan.scallop * (2 * finR - plan.scallop)) : finR;
  const double span = plan.block.x1 - plan.block.x0;
  checkCount(span / (roughDia * roughStep / 100), 100000, "roughing lines");
  checkCount(span / finWidth, 100000, "finishing lines");
  checkCount(rasterSamples(plan.block, roughDia * roughStep / 100, sampleStep(roughDia / 2, plan.tolerance)) +
                 rasterSamples(plan.block, finWidth, sampleStep(finR, plan.tolerance)),
             kMaxShopSamples, "heights sampled under the tools");
  plan.roughStepover = span / static_cast<double>(rasterPositions(0, span, roughDia * roughStep / 100).size() - 1);
  plan.finStepover = std::min(finWidth, span);

  SectionTable table;
  table.fill();
  const BladeModel blade(parameters, table, design, lift, airfoil);
  plan.fit = bladeFit(blade);
  plan.plank = design.blankThickness.has_value();
  // The blade's upper surface; or a face of the plank, both surfaces.
  const SectionSource source = face ? plankFace(blade, *face, plan.block.y1, *design.blankThickness, *plan.plankEnd)
                                    : SectionSource([&blade](double x) { return SectionRows{blade.section(x)}; });
  // From each face the outline is cut deeper than the edge it passes by
  // more than the finishing allowance, so that what either side leaves
  // beside the blade the other takes: the blade comes free of the plank's
  // sides.
  const double margin = std::max(roughDia, finDia) / 2 + 1;
  const std::optional<OutlineFloors> floors =
      face ? std::optional<OutlineFloors>(std::in_place, source, plan.block.x0 - margin, plan.block.x1 + margin, margin,
                                          in.finishDepth + kOutlineCutPast)
           : std::nullopt;
  const auto surfaceWithin = [&](double tolerance) {
    return TargetSurface(source, blade.hubX(), blade.tipX(), plan.block, margin, tolerance,
                         floors ? &*floors : nullptr);
  };
  const TargetSurface surface = surfaceWithin(plan.tolerance);
  const auto [lowestTarget, highestTarget] = surface.heightsWithin(plan.block);
  // The underside at Z 0, unless the blade dips below it by more than the
  // tolerance.
  plan.block.bottom = lowestTarget < -plan.tolerance ? std::floor(lowestTarget) : 0;
  if (settings.blockTop) {
    plan.block.top = *settings.blockTop;
  } else if (design.blankThickness) {
    // The plank itself: the blade stands within its thickness.
    plan.block.top = *design.blankThickness;
  } else {
    const double passes = static_cast<double>(parameters.RoughPassesNo);
    plan.block.top = highestTarget + (passes * in.roughDepth + in.finishDepth);
  }
  if (!std::isfinite(plan.block.top)) throw ShopError("the block top is not a finite height");
  if (face) {
    const Block& b = plan.block;
    if (design.rootBlock)
      plan.keep.push_back({b.x0, blade.hubX() + design.rootBlock->first, b.y0, b.y1, b.bottom, b.top});
    KeptBox tab{blade.tipX(), *plan.plankEnd, b.y1, b.y0, b.top, b.bottom};
    for (const Section& row : {blade.section(blade.tipX()), blade.lowerSection(blade.tipX())}) {
      for (const SectionPoint& p : row) {
        tab.y0 = std::min(tab.y0, p.y), tab.y1 = std::max(tab.y1, p.y);
        tab.z0 = std::min(tab.z0, p.z), tab.z1 = std::max(tab.z1, p.z);
      }
    }
    plan.keep.push_back(tab);
    plan.keep.push_back({*plan.plankEnd, b.x1, b.y0, b.y1, b.bottom, b.top});
  }
  // The roughing tool stands the allowance above the surface and follows it
  // within a tenth of that: a surface as close as its own tolerance asks
  // has far fewer triangles under its wide footprint.
  const TargetSurface roughSurface =
      plan.roughTolerance > plan.tolerance ? surfaceWithin(plan.roughTolerance) : TargetSurface();
  // The finishing lines are sampled on a thread of their own while the
  // roughing is laid out (on this one, which reports the progress). Should
  // the roughing fail or be cancelled, the sampling is stopped and waited
  // for before the surfaces it reads go away.
  const Cutter finCutter{settings.finShape, finDia / 2};
  SideWork side;
  ShopPlan forLines = plan;
  // On a face of a plank the finishing lines end a radius and a millimetre
  // past the tip: beside the tab no blade is left to finish, and the cuts
  // of the roughing tool from both faces overlap there by themselves.
  if (plan.plankEnd) forLines.block.x1 = std::min(plan.block.x1, blade.tipX() + finDia / 2 + 1);
  std::future<FinishLines> sampled = std::async(std::launch::async, [&side, &surface, &forLines, finCutter] {
    return finishingLines(forLines, surface, finCutter, side);
  });
  struct StopSide {
    SideWork& side;
    ~StopSide() { side.stop.store(true); }
  } stopSide{side};
  // What the roughing leaves, on a millimetre grid: the finishing tool's
  // links pass above it.
  Stock stock(plan.block, 1);
  ToolRun rough = roughing(plan, plan.roughTolerance > plan.tolerance ? roughSurface : surface,
                           Cutter{settings.roughShape, roughDia / 2}, settings.roughHolder / 2, plan.layers,
                           plan.restLines, stock, monitor);
  if (floors) {
    const Cutter cutter{settings.roughShape, roughDia / 2};
    const OutlineCutSettings outline{in.finishDepth, in.roughDepth, plan.tolerance};
    rough.lowest = std::min(rough.lowest, outlineCut(*floors, plan.block, cutter, outline, stock, rough.moves));
  }
  // The rest of the progress follows the sampling, in as many steps
  // however far it has come by now.
  constexpr int kFinishSteps = 20;
  const WorkPart finishPart(monitor, 0.6, 1);
  for (int k = 1; k <= kFinishSteps; ++k) {
    while (side.done.load() < static_cast<double>(k) / kFinishSteps &&
           sampled.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
    }
    finishPart.advance(static_cast<double>(k) / kFinishSteps);
  }
  const FinishLines lines = sampled.get();
  plan.scallopLeft = lines.scallopLeft;
  plan.finClosest = lines.closest;
  rough.rpm = settings.roughRpm;
  rough.feed = roughFeed;
  rough.flutes = static_cast<int>(settings.roughFlutes);
  rough.chipLoadMax = settings.roughChipLoad;
  rough.fluteLength = settings.roughReach;
  rough.stickout = settings.roughStickout;
  rough.holder = settings.roughHolder;
  ToolRun finish = finishing(plan, lines, finCutter, stock);
  finish.rpm = settings.finRpm;
  finish.feed = finishFeed;
  finish.flutes = static_cast<int>(settings.finFlutes);
  finish.chipLoadMax = settings.finChipLoad;
  finish.fluteLength = settings.finReach;
  finish.stickout = settings.finStickout;
  finish.holder = settings.finHolder;

  // Rapid moves stay above the block, and above any path that a block top
  // given too low would leave standing over it.
  double highest = plan.block.top;
  for (const ToolRun* run : {&rough, &finish}) {
    for (const PathMove& m : run->moves) highest = std::max(highest, m.to.z);
  }
  plan.clearanceZ = highest + settings.clearance;
  if (!rough.moves.empty()) plan.tools.push_back(std::move(rough));
  plan.tools.push_back(std::move(finish));
  double lowest = plan.clearanceZ;
  for (const ToolRun& run : plan.tools) lowest = std::min(lowest, run.lowest);
  plan.zTravelNeeded = plan.clearanceZ - lowest;
  // A machine that cannot reach from the clearance height to the deepest
  // cut would run the tool into its end stop, or the spindle into the block.
  if (settings.zTravel && plan.zTravelNeeded > *settings.zTravel) {
    throw SettingError(Setting::ZTravel, "is " + machineNumber(*settings.zTravel) + " mm, but the job needs " +
                                             machineNumber(std::ceil(plan.zTravelNeeded)) +
                                             " mm from the clearance height to its deepest cut; give a lower block "
                                             "top or a smaller clearance, or mill the blade from a thinner blank");
  }
  return plan;
}

double chipLoad(const ToolRun& run) { return run.feed / (run.rpm * run.flutes); }

ShopPlan planShopJob(const JobFields& fields, const ShopSettings& settings) {
  const BladeParameters parameters = readParameters(fields);
  const ShopInputs inputs = readShopInputs(fields, settings);
  return planShopJob(inputs, parameters, settings);
}

}  // namespace ventaro
