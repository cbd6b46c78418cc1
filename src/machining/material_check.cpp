#include "machining/material_check.h"

#include <algorithm>
#include <cmath>

namespace ventaro {

namespace {

// What one move did on the map.
struct MoveEffect {
  bool touched = false;
  double lowest = kNoCutter;  // the cutter's lowest point over the block
  double engagement = 0;      // the most material met above the cutter's bottom
  std::size_t engagementCell = 0;
  double belowTarget = -kNoCutter;  // the deepest the cutter went under the target
  std::size_t belowCell = 0;
};

class Simulation {
 public:
  Simulation(const CheckSettings& settings, const TargetHeight& target)
      : settings_(settings), map_(settings.block, settings.cell), target_(map_.heights().size()) {
    for (int j = 0; j < map_.rows(); ++j) {
      for (int i = 0; i < map_.columns(); ++i) target_[map_.index(i, j)] = target(map_.xAt(i), map_.yAt(j));
    }
  }

  void run(const std::vector<ToolpathMove>& moves) {
    for (const ToolpathMove& m : moves) {
      if (m.tool == 0) continue;  // no tool in the spindle: nothing can cut
      ToolFigures& figures = figuresOf(m);
      const MoveEffect effect = apply(figures.cutter, m);
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
    tools_.push_back(std::move(figures));
    last_ = nullptr;  // the vector may have moved
    return tools_.back();
  }

  MoveEffect apply(const Cutter& cutter, const ToolpathMove& m) {
    const SweptCutter sweep(cutter, m.fromKnown ? m.from : m.to, m.to);
    // A level move of a flat end leaves its whole footprint at one height.
    const bool level = cutter.shape == ToolShape::Flat && m.fromKnown && m.from.z == m.to.z;
    MoveEffect e;
    const auto [j0, j1] = map_.rowsWithin(sweep.yMin(), sweep.yMax());
    for (int j = j0; j < j1; ++j) {
      const double y = map_.yAt(j);
      const auto [xFrom, xTo] = sweep.spanAt(y);
      const auto [i0, i1] = map_.columnsWithin(xFrom, xTo);
      for (int i = i0; i < i1; ++i) {
        const double low = level ? m.to.z : sweep.lowestAt(map_.xAt(i), y);
        if (low != kNoCutter) lower(e, map_.index(i, j), low);
      }
    }
    return e;
  }

  // Lowers one cell to the cutter, measuring first.
  void lower(MoveEffect& e, std::size_t k, double low) {
    e.touched = true;
    e.lowest = std::min(e.lowest, low);
    double& h = map_.heights()[k];
    if (h > low) {
      if (h - low > e.engagement) e.engagement = h - low, e.engagementCell = k;
      h = low;
    }
    if (target_[k] - low > e.belowTarget) e.belowTarget = target_[k] - low, e.belowCell = k;
  }

  Place placeOf(std::size_t k, int line) const {
    const int i = static_cast<int>(k % static_cast<std::size_t>(map_.columns()));
    const int j = static_cast<int>(k / static_cast<std::size_t>(map_.columns()));
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
    const auto& h = map_.heights();
    double sum = 0, largest = 0;
    std::size_t at = 0;
    for (std::size_t k = 0; k < h.size(); ++k) {
      const double left = std::max(0.0, h[k] - target_[k]);
      sum += left;
      if (left > largest) largest = left, at = k;
    }
    t.leftLargest = largest;
    t.leftMean = sum / static_cast<double>(h.size());
    t.leftPlace = placeOf(at, 0);
    t.reach = settings_.block.top - t.lowest;
  }

  const CheckSettings& settings_;
  HeightMap map_;
  std::vector<double> target_;
  std::vector<ToolFigures> tools_;
  ToolFigures* last_ = nullptr;
};

}  // namespace

bool CheckResult::hazard() const {
  return std::any_of(tools.begin(), tools.end(), [&](const ToolFigures& t) {
    return t.rapidsThroughMaterial > 0 || t.deepestBelowTarget > settings.tolerance;
  });
}

CheckResult checkProgram(std::string_view program, const CheckSettings& settings, const TargetHeight& target) {
  Simulation simulation(settings, target);
  simulation.run(readToolpath(program));
  return std::move(simulation).result();
}

}  // namespace ventaro
