#include "check/material_check.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <future>

namespace ventaro {

namespace {

// What one move did on the map.
struct MoveEffect {
  bool touched = false;
  double lowest = kNoCutter;        // the cutter's lowest point over the block
  double engagement = 0;            // the most material met above the cutter's bottom
  std::size_t engagementCell = 0;   // row by row from Y 0: j × columns + i
  double belowTarget = -kNoCutter;  // the deepest the cutter went under the target
  std::size_t belowCell = 0;
};

class Simulation {
 public:
  Simulation(const CheckSettings& settings, const TargetHeight& target)
      : settings_(settings),
        map_(settings.block, settings.cell),
        target_(map_.heights().size()),
        tileHighest_(static_cast<std::size_t>(map_.tileColumns()) * static_cast<std::size_t>(map_.tileRows()),
                     settings.block.top) {
    // Column by column: a target that works out a section per column
    // finds it again for every cell of the column.
    // Two halves of the columns, split where a tile column begins, so that
    // no tile is shared: each half is worked through on a thread of its own.
    const int split = std::min(map_.columns(), map_.tileColumns() / 2 * HeightMap::kTile);
    regions_[0].c1 = split;
    regions_[1].c0 = split;
    regions_[1].c1 = map_.columns();
    if (settings.interior) interior_.assign(map_.heights().size(), 0);
    for (int i = 0; i < map_.columns(); ++i) {
      for (int j = 0; j < map_.rows(); ++j) {
        const std::size_t k = map_.index(i, j);
        target_[k] = target(map_.xAt(i), map_.yAt(j));
        if (settings.interior) interior_[k] = settings.interior(map_.xAt(i), map_.yAt(j));
      }
    }
  }

  void run(const std::vector<ToolpathMove>& moves, WorkMonitor* monitor) {
    std::size_t n = 0;
    while (n < moves.size()) {
      ToolFigures& figures = figuresOf(moves[n]);
      std::size_t end = n + 1;
      while (end < moves.size() && moves[end].tool == moves[n].tool) ++end;
      runTool(figures, static_cast<std::size_t>(&figures - tools_.data()), moves, n, end, monitor);
      last_ = &figures;
      n = end;
    }
    if (last_) measureLeft(*last_);
  }

  CheckResult result() && { return CheckResult{settings_, std::move(tools_), std::move(map_), std::move(target_)}; }

 private:
  ToolFigures& figuresOf(const ToolpathMove& m) {
    auto it = std::find_if(tools_.begin(), tools_.end(), [&](const ToolFigures& t) { return t.tool == m.tool; });
    if (last_ && last_->tool != m.tool) measureLeft(*last_);
    if (it != tools_.end()) return *it;
    const auto cutter = settings_.tools.find(m.tool);
    if (cutter == settings_.tools.end()) {
      throw ToolpathError("line " + std::to_string(m.line) + ": tool " + std::to_string(m.tool) +
                          " is not a tool of the job (T1 roughing, T2 finishing)");
    }
    ToolFigures figures;
    figures.tool = m.tool;
    figures.cutter = cutter->second;
    figures.lowest = settings_.block.top;
    if (const auto holder = settings_.holders.find(m.tool); holder != settings_.holders.end()) {
      figures.holderChecked = true;
      figures.holder = holder->second;
    }
    regionLowest_.push_back({figures.lowest, figures.lowest});
    tools_.push_back(std::move(figures));
    last_ = nullptr;  // the vector may have moved
    return tools_.back();
  }

  // A part of the map's columns, [c0, c1), and what a thread working
  // through it keeps for itself.
  struct Region {
    int c0 = 0, c1 = 0;
    std::array<std::pair<int, int>, HeightMap::kTile> spans{};  // columns under the cutter, per row of one tile row
  };

  // What one tool's moves, first to end, did in one region: each move's
  // effect and how deep its holder met material.
  struct RegionWork {
    std::vector<MoveEffect> effects;
    std::vector<double> holderMet;
  };

  // The moves first to end of one tool. Each region works through them on
  // its own (the second on a thread of its own); their effects are then
  // put together move by move, as one pass over the whole map would have
  // found them: the deepest figure, and of equal figures the first cell in
  // the map's order.
  void runTool(ToolFigures& figures, std::size_t tool, const std::vector<ToolpathMove>& moves, std::size_t first,
               std::size_t end, WorkMonitor* monitor) {
    splitAtMedian(moves, first, end);
    std::array<RegionWork, 2> work;
    std::atomic<bool> stop{false};
    const auto through = [&](std::size_t r, WorkMonitor* reporter) {
      Region& region = regions_[r];
      RegionWork& out = work[r];
      out.effects.resize(end - first);
      if (figures.holderChecked) out.holderMet.resize(end - first);
      double& lowest = regionLowest_[tool][r];
      for (std::size_t n = first; n < end; ++n) {
        if (n % 1024 == 0) {
          if (reporter != nullptr) reporter->advance(static_cast<double>(n) / static_cast<double>(moves.size()));
          if (stop.load()) return;
        }
        const ToolpathMove& m = moves[n];
        if (figures.holderChecked) out.holderMet[n - first] = holderMeets(figures.holder, m, region);
        const MoveEffect e = apply(figures.cutter, m, lowest, region);
        if (e.touched) lowest = std::min(lowest, e.lowest);
        out.effects[n - first] = e;
      }
    };
    {
      std::future<void> second;
      if (regions_[1].c0 < regions_[1].c1) second = std::async(std::launch::async, through, 1, nullptr);
      // Should this thread be cancelled, the other stops at its next step
      // and is waited for before the map goes away.
      struct Stop {
        std::atomic<bool>& stop;
        std::future<void>& second;
        ~Stop() {
          stop.store(true);
          if (second.valid()) second.wait();
        }
      } stopper{stop, second};
      through(0, monitor);
      if (second.valid()) second.get();
    }
    for (std::size_t n = first; n < end; ++n) {
      const ToolpathMove& m = moves[n];
      const MoveEffect& a = work[0].effects[n - first];
      const MoveEffect& b = work[1].effects.empty() ? MoveEffect{} : work[1].effects[n - first];
      if (figures.holderChecked) {
        const double met =
            std::max(work[0].holderMet[n - first], work[1].holderMet.empty() ? 0.0 : work[1].holderMet[n - first]);
        if (met > kRapidContact) {
          if (figures.holderContacts++ == 0) figures.firstHolderContact = m.line;
          figures.holderDeepest = std::max(figures.holderDeepest, met);
        }
      }
      record(figures, m, combined(a, b));
    }
  }

  // The work follows the moves: the two regions meet at the tile column
  // of the middle one of the moves' ends along X.
  void splitAtMedian(const std::vector<ToolpathMove>& moves, std::size_t first, std::size_t end) {
    std::vector<double> xs;
    xs.reserve(end - first);
    for (std::size_t n = first; n < end; ++n) xs.push_back(moves[n].to.x);
    std::nth_element(xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(xs.size() / 2), xs.end());
    const int column = map_.columnsWithin(-kNoCutter, xs[xs.size() / 2]).second;
    const int split =
        std::clamp((column + HeightMap::kTile / 2) / HeightMap::kTile * HeightMap::kTile, 0, map_.columns());
    regions_[0].c1 = split;
    regions_[1].c0 = split;
  }

  static MoveEffect combined(const MoveEffect& a, const MoveEffect& b) {
    MoveEffect e = a;
    e.touched = a.touched || b.touched;
    e.lowest = std::min(a.lowest, b.lowest);
    if (b.engagement > a.engagement || (b.engagement == a.engagement && b.engagementCell < a.engagementCell)) {
      e.engagement = b.engagement, e.engagementCell = b.engagementCell;
    }
    if (b.belowTarget > a.belowTarget || (b.belowTarget == a.belowTarget && b.belowCell < a.belowCell)) {
      e.belowTarget = b.belowTarget, e.belowCell = b.belowCell;
    }
    return e;
  }

  // Only a cell above the move's lowest tip can be cut, and most cells under
  // a move are not. The map is kept in tiles with the highest cell of each,
  // so a move passes over a tile with nothing above its lowest tip without
  // looking at the tile's cells. The cutter's lowest point over the block is
  // worked out for every cell only when the move could set a new lowest for
  // its tool.
  MoveEffect apply(const Cutter& cutter, const ToolpathMove& m, double lowestSoFar, Region& region) {
    const Point3 from = m.fromKnown ? m.from : m.to;
    const SweptCutter sweep(cutter, from, m.to);
    const double tipLowest = std::min(from.z, m.to.z);
    const bool everyCell = tipLowest < lowestSoFar;
    MoveEffect e;
    const auto [j0, j1] = map_.rowsWithin(sweep.yMin(), sweep.yMax());
    const auto [x0, x1] = map_.columnsWithin(sweep.xMin(), sweep.xMax());
    const int c0 = std::max(x0, region.c0), c1 = std::min(x1, region.c1);
    if (j0 >= j1 || c0 >= c1) return e;
    // Whether the cutter comes over the block: judged by the move's box,
    // which for a diagonal move may reach a corner its footprint misses.
    e.touched = true;
    for (int tj = j0 / HeightMap::kTile; tj * HeightMap::kTile < j1; ++tj) {
      const int ja = std::max(j0, tj * HeightMap::kTile), jb = std::min(j1, (tj + 1) * HeightMap::kTile);
      bool spansKnown = false;
      for (int ti = c0 / HeightMap::kTile; ti * HeightMap::kTile < c1; ++ti) {
        double& tileHighest = tileHighest_[static_cast<std::size_t>(tj) * map_.tileColumns() + ti];
        if (!everyCell && tileHighest <= tipLowest) continue;
        if (!spansKnown) spansOfRows(sweep, ja, jb, region), spansKnown = true;
        if (cutTile(e, sweep, cutter, from, m.to, ti, ja, jb, everyCell ? kNoCutter : tipLowest, region)) {
          tileHighest = highestOfTile(ti, tj);
        }
      }
    }
    return e;
  }

  // The holder swept along the move as a flat cylinder its stick-out above
  // the tip, against the material before the move: the tool below it cuts
  // only its own footprint, and a holder that meets material beside or above
  // it breaks the tool or marks the blade. Tiles with nothing above the
  // holder's lowest underside are passed over.
  // Returns the most material the holder meets above its underside.
  double holderMeets(const Holder& holder, const ToolpathMove& m, const Region& region) const {
    const Point3 from = m.fromKnown ? m.from : m.to;
    const Point3 a{from.x, from.y, from.z + holder.stickout}, b{m.to.x, m.to.y, m.to.z + holder.stickout};
    const SweptCutter sweep(Cutter{ToolShape::Flat, holder.radius}, a, b);
    const double bottom = std::min(a.z, b.z);
    const auto [j0, j1] = map_.rowsWithin(sweep.yMin(), sweep.yMax());
    const auto [x0, x1] = map_.columnsWithin(sweep.xMin(), sweep.xMax());
    const int c0 = std::max(x0, region.c0), c1 = std::min(x1, region.c1);
    double met = 0;
    for (int j = j0; j < j1; ++j) {
      const int tj = j / HeightMap::kTile;
      const auto [s0, s1] = map_.columnsWithin(sweep.spanAt(map_.yAt(j)).first, sweep.spanAt(map_.yAt(j)).second);
      for (int i = std::max(c0, s0); i < std::min(c1, s1); ++i) {
        if (tileHighest_[static_cast<std::size_t>(tj) * map_.tileColumns() + i / HeightMap::kTile] <= bottom) {
          i = (i / HeightMap::kTile + 1) * HeightMap::kTile - 1;
          continue;
        }
        const double h = map_.at(i, j);
        if (h <= bottom) continue;
        const double low = sweep.lowestAt(map_.xAt(i), map_.yAt(j));
        if (low != kNoCutter) met = std::max(met, h - low);
      }
    }
    return met;
  }

  // The columns under the cutter in rows ja to jb.
  void spansOfRows(const SweptCutter& sweep, int ja, int jb, Region& region) const {
    for (int j = ja; j < jb; ++j) {
      const auto [xFrom, xTo] = sweep.spanAt(map_.yAt(j));
      region.spans[static_cast<std::size_t>(j - ja)] = map_.columnsWithin(xFrom, xTo);
    }
  }

  // The cells of tile column ti in rows ja to jb under the cutter; a cell at
  // or below `skipBelow` is passed over. Returns whether any cell was cut.
  bool cutTile(MoveEffect& e, const SweptCutter& sweep, const Cutter& cutter, const Point3& from, const Point3& to,
               int ti, int ja, int jb, double skipBelow, const Region& region) {
    // A level move of a flat end leaves its whole footprint at one height.
    const bool level = cutter.shape == ToolShape::Flat && from.z == to.z;
    double* heights = map_.heights().data();
    bool cut = false;
    for (int j = ja; j < jb; ++j) {
      const auto [s0, s1] = region.spans[static_cast<std::size_t>(j - ja)];
      const int i0 = std::max(s0, ti * HeightMap::kTile), i1 = std::min(s1, (ti + 1) * HeightMap::kTile);
      if (i0 >= i1) continue;
      // The run of cells i0 to i1 is contiguous in the map.
      const std::size_t k0 = map_.index(i0, j), r0 = rowMajor(i0, j);
      if (level) {
        cut |= lowerRunTo(e, k0, r0, i1 - i0, to.z);
        continue;
      }
      const double y = map_.yAt(j);
      for (int i = i0; i < i1; ++i) {
        const std::size_t k = k0 + static_cast<std::size_t>(i - i0);
        if (skipBelow != kNoCutter && heights[k] <= skipBelow) continue;
        const double low = sweep.lowestAt(map_.xAt(i), y);
        if (low == kNoCutter) continue;
        e.lowest = std::min(e.lowest, low);
        if (heights[k] > low) lower(e, k, r0 + static_cast<std::size_t>(i - i0), low), cut = true;
      }
    }
    return cut;
  }

  // Lowers `count` contiguous cells from index k0 (row-major r0) to `z`,
  // with the figures lower() takes cell by cell. Under a level pass the cut
  // and uncut cells alternate in no order a processor could predict, so the
  // run is lowered without a branch, noting its highest cell and the
  // highest target under a cut cell; only when one of those could change a
  // figure is its first cell looked for.
  bool lowerRunTo(MoveEffect& e, std::size_t k0, std::size_t r0, int count, double z) {
    double* h = map_.heights().data() + k0;
    const double* t = target_.data() + k0;
    std::array<double, HeightMap::kTile> before;
    double highest = -kNoCutter, highestTarget = -kNoCutter;
    for (int i = 0; i < count; ++i) {
      const double hk = h[i];
      before[static_cast<std::size_t>(i)] = hk;
      highest = hk > highest ? hk : highest;
      const double tk = hk > z ? t[i] : -kNoCutter;
      highestTarget = tk > highestTarget ? tk : highestTarget;
      h[i] = hk > z ? z : hk;
    }
    e.lowest = std::min(e.lowest, z);
    if (!(highest > z)) return false;
    if (highest - z >= e.engagement) {
      const int at = static_cast<int>(std::find(before.begin(), before.begin() + count, highest) - before.begin());
      const std::size_t r = r0 + static_cast<std::size_t>(at);
      if (highest - z > e.engagement || r < e.engagementCell) e.engagement = highest - z, e.engagementCell = r;
    }
    if (highestTarget - z >= e.belowTarget) {
      std::size_t at = 0;
      while (!(before[at] > z && t[at] == highestTarget)) ++at;
      const std::size_t r = r0 + at;
      if (highestTarget - z > e.belowTarget || r < e.belowCell) e.belowTarget = highestTarget - z, e.belowCell = r;
    }
    return true;
  }

  double highestOfTile(int ti, int tj) const {
    const std::size_t first = map_.index(ti * HeightMap::kTile, tj * HeightMap::kTile);
    const double* z = map_.heights().data() + first;
    double highest = -kNoCutter;
    for (int k = 0; k < HeightMap::kTile * HeightMap::kTile; ++k) highest = std::max(highest, z[k]);
    return highest;
  }

  // Lowers one cell to the cutter, measuring first: the material met, and
  // how far below the target the cut goes.
  void lower(MoveEffect& e, std::size_t k, std::size_t r, double low) {
    double& h = map_.heights()[k];
    // Of equal figures the first cell in the map's order (rows from Y 0)
    // is named, whatever the order the cells were visited in.
    const double met = h - low, below = target_[k] - low;
    if (met > e.engagement || (met == e.engagement && r < e.engagementCell)) e.engagement = met, e.engagementCell = r;
    h = low;
    if (below > e.belowTarget || (below == e.belowTarget && r < e.belowCell)) e.belowTarget = below, e.belowCell = r;
  }

  std::size_t rowMajor(int i, int j) const {
    return static_cast<std::size_t>(j) * static_cast<std::size_t>(map_.columns()) + static_cast<std::size_t>(i);
  }

  // The place of the cell at row-major index r.
  Place placeOf(std::size_t r, int line) const {
    const int i = static_cast<int>(r % static_cast<std::size_t>(map_.columns()));
    const int j = static_cast<int>(r / static_cast<std::size_t>(map_.columns()));
    return Place{map_.xAt(i), map_.yAt(j), line};
  }

  void record(ToolFigures& t, const ToolpathMove& m, const MoveEffect& e) {
    ++(m.rapid ? t.rapidMoves : t.cuttingMoves);
    if (!e.touched) return;
    t.touchedBlock = true;
    t.lowest = std::min(t.lowest, e.lowest);
    if (m.rapid && e.engagement > kRapidContact) {
      ++t.rapidsThroughMaterial;
      t.rapidDeepest = std::max(t.rapidDeepest, e.engagement);
      if (t.firstRapidsThroughMaterial.size() < kListedRapids) {
        t.firstRapidsThroughMaterial.push_back(ProgramLine{m.line, std::string(m.text)});
      }
    }
    if (!m.rapid && e.engagement > kSteepContact && m.fromKnown && m.to.z < m.from.z) {
      const double across = std::hypot(m.to.x - m.from.x, m.to.y - m.from.y);
      if (m.from.z - m.to.z > across * std::tan(kSteepDescent * 3.14159265358979323846 / 180)) {
        if (t.steepDescents++ == 0) t.firstSteepDescent = m.line;
      }
    }
    if (!m.rapid && e.engagement > t.deepestEngagement) {
      t.deepestEngagement = e.engagement;
      t.engagementPlace = placeOf(e.engagementCell, m.line);
    }
    if (e.belowTarget > t.deepestBelowTarget) {
      t.deepestBelowTarget = e.belowTarget;
      t.belowTargetPlace = placeOf(e.belowCell, m.line);
    }
  }

  // The material above the target once the tool has made its moves.
  void measureLeft(ToolFigures& t) const {
    double sum = 0, largest = 0;
    std::size_t at = 0;
    std::vector<double> inside;
    for (int j = 0; j < map_.rows(); ++j) {
      for (int i = 0; i < map_.columns(); ++i) {
        const std::size_t k = map_.index(i, j);
        const double left = std::max(0.0, map_.heights()[k] - target_[k]);
        sum += left;
        if (left > largest) largest = left, at = rowMajor(i, j);
        if (!interior_.empty() && interior_[k]) inside.push_back(left);
      }
    }
    t.interiorCells = inside.size();
    if (!inside.empty()) {
      double insideSum = 0;
      for (double left : inside) insideSum += left;
      t.interiorMean = insideSum / static_cast<double>(inside.size());
      // The 99th percentile: the smallest depth that at least 99 % of the
      // cells do not exceed.
      const auto rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(inside.size()))) - 1;
      std::nth_element(inside.begin(), inside.begin() + static_cast<std::ptrdiff_t>(rank), inside.end());
      t.interiorP99 = inside[rank];
    }
    t.leftLargest = largest;
    t.leftMean = sum / (static_cast<double>(map_.columns()) * static_cast<double>(map_.rows()));
    t.leftPlace = placeOf(at, 0);
    t.reach = settings_.block.top - t.lowest;
  }

  const CheckSettings& settings_;
  HeightMap map_;
  std::vector<double> target_;
  std::vector<char> interior_;       // by HeightMap::index; empty: none
  std::vector<double> tileHighest_;  // the highest cell of each tile, tile rows from Y 0
  std::array<Region, 2> regions_;
  std::vector<std::array<double, 2>> regionLowest_;  // by tool as in tools_: the lowest each region has seen
  std::vector<ToolFigures> tools_;
  ToolFigures* last_ = nullptr;
};

}  // namespace

bool CheckResult::hazard() const {
  return std::any_of(tools.begin(), tools.end(), [&](const ToolFigures& t) {
    return t.rapidsThroughMaterial > 0 || t.deepestBelowTarget > settings.tolerance || t.holderContacts > 0;
  });
}

CheckResult checkProgram(std::string_view program, const CheckSettings& settings, const TargetHeight& target,
                         WorkMonitor* monitor) {
  Simulation simulation(settings, target);
  std::vector<ToolpathMove> moves = readToolpath(program);
  const Vec3& o = settings.origin;
  for (ToolpathMove& m : moves) {
    for (Point3* p : {&m.from, &m.to}) *p = {p->x + o.x, p->y + o.y, p->z + o.z};
  }
  simulation.run(moves, monitor);
  return std::move(simulation).result();
}

}  // namespace ventaro
