#include "check/material_check.h"

#include <algorithm>
#include <array>
#include <cmath>

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
    for (std::size_t n = 0; n < moves.size(); ++n) {
      if (monitor != nullptr && n % 1024 == 0)
        monitor->advance(static_cast<double>(n) / static_cast<double>(moves.size()));
      const ToolpathMove& m = moves[n];
      ToolFigures& figures = figuresOf(m);
      if (figures.holderChecked) holderMeets(figures, m);
      const MoveEffect effect = apply(figures.cutter, m, figures.lowest);
      record(figures, m, effect);
      last_ = &figures;
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
    tools_.push_back(std::move(figures));
    last_ = nullptr;  // the vector may have moved
    return tools_.back();
  }

  // Only a cell above the move's lowest tip can be cut, and most cells under
  // a move are not. The map is kept in tiles with the highest cell of each,
  // so a move passes over a tile with nothing above its lowest tip without
  // looking at the tile's cells. The cutter's lowest point over the block is
  // worked out for every cell only when the move could set a new lowest for
  // its tool.
  MoveEffect apply(const Cutter& cutter, const ToolpathMove& m, double lowestSoFar) {
    const Point3 from = m.fromKnown ? m.from : m.to;
    const SweptCutter sweep(cutter, from, m.to);
    const double tipLowest = std::min(from.z, m.to.z);
    const bool everyCell = tipLowest < lowestSoFar;
    MoveEffect e;
    const auto [j0, j1] = map_.rowsWithin(sweep.yMin(), sweep.yMax());
    const auto [c0, c1] = map_.columnsWithin(sweep.xMin(), sweep.xMax());
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
        if (!spansKnown) spansOfRows(sweep, ja, jb), spansKnown = true;
        if (cutTile(e, sweep, cutter, from, m.to, ti, ja, jb, everyCell ? kNoCutter : tipLowest)) {
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
  void holderMeets(ToolFigures& t, const ToolpathMove& m) {
    const Point3 from = m.fromKnown ? m.from : m.to;
    const Point3 a{from.x, from.y, from.z + t.holder.stickout}, b{m.to.x, m.to.y, m.to.z + t.holder.stickout};
    const SweptCutter sweep(Cutter{ToolShape::Flat, t.holder.radius}, a, b);
    const double bottom = std::min(a.z, b.z);
    const auto [j0, j1] = map_.rowsWithin(sweep.yMin(), sweep.yMax());
    const auto [c0, c1] = map_.columnsWithin(sweep.xMin(), sweep.xMax());
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
    if (!(met > kRapidContact)) return;
    if (t.holderContacts++ == 0) t.firstHolderContact = m.line;
    t.holderDeepest = std::max(t.holderDeepest, met);
  }

  // The columns under the cutter in rows ja to jb.
  void spansOfRows(const SweptCutter& sweep, int ja, int jb) {
    for (int j = ja; j < jb; ++j) {
      const auto [xFrom, xTo] = sweep.spanAt(map_.yAt(j));
      spans_[static_cast<std::size_t>(j - ja)] = map_.columnsWithin(xFrom, xTo);
    }
  }

  // The cells of tile column ti in rows ja to jb under the cutter; a cell at
  // or below `skipBelow` is passed over. Returns whether any cell was cut.
  bool cutTile(MoveEffect& e, const SweptCutter& sweep, const Cutter& cutter, const Point3& from, const Point3& to,
               int ti, int ja, int jb, double skipBelow) {
    // A level move of a flat end leaves its whole footprint at one height.
    const bool level = cutter.shape == ToolShape::Flat && from.z == to.z;
    double* heights = map_.heights().data();
    bool cut = false;
    for (int j = ja; j < jb; ++j) {
      const auto [s0, s1] = spans_[static_cast<std::size_t>(j - ja)];
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
  std::vector<char> interior_;                                 // by HeightMap::index; empty: none
  std::vector<double> tileHighest_;                            // the highest cell of each tile, tile rows from Y 0
  std::array<std::pair<int, int>, HeightMap::kTile> spans_{};  // columns under the cutter, per row of one tile row
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
