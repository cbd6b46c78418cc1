#include "files/job_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "blade/blade_model.h"
#include "check/check_text.h"
#include "check/material_check.h"
#include "check/plank_stock.h"
#include "core/number_text.h"
#include "files/performance.h"
#include "machine/fixed_text.h"
#include "picture/check_picture.h"
#include "toolpath/toolpath.h"

namespace ventaro {

namespace {

// More cells than this would take gigabytes; a finer grid than a tenth of a
// millimetre tells nothing more about a wooden blade.
constexpr double kMaxCells = 40e6;

CheckSettings settingsFor(const JobRun& run, const BladeParameters& p, const Block& block, double grid) {
  CheckSettings s;
  s.block = block;
  s.tolerance = run.machine.shop.tolerance;
  // The finishing tool's diameter as the computation read it, in single
  // precision; the roughing tool's, which it only copies, read here.
  const double rough = toDouble(p.RoughDia, Field::RoughDia);
  const double finish = static_cast<double>(p.FinDia);
  s.tools[1] = Cutter{run.machine.shop.roughShape, rough / 2};
  s.tools[2] = Cutter{run.machine.shop.finShape, finish / 2};
  for (const auto& [tool, cutter] : s.tools) {
    if (!(cutter.radius > 0) || !std::isfinite(cutter.radius)) {
      throw ShopError("the check needs a positive diameter for tool T" + std::to_string(tool));
    }
  }
  const ShopSettings& shop = run.machine.shop;
  if (shop.roughStickout) s.holders[1] = Holder{shop.roughHolder / 2, *shop.roughStickout};
  if (shop.finStickout) s.holders[2] = Holder{shop.finHolder / 2, *shop.finStickout};
  const double finest = std::min(s.tools[1].radius, s.tools[2].radius) / kToolRadiiPerCell;
  s.cell = grid > 0 ? grid : std::min(kDefaultCheckGrid, finest);
  if (s.cell > finest) {
    throw CheckGridError("a grid of " + NumberText(s.cell) +
                             " mm is coarser than a quarter of the smaller tool's radius (" + NumberText(finest) +
                             " mm): the tool could pass between its cells unseen",
                         true);
  }
  const double cells = std::ceil((block.x1 - block.x0) / s.cell) * std::ceil((block.y1 - block.y0) / s.cell);
  if (cells > kMaxCells) {
    throw CheckGridError("a grid of " + NumberText(s.cell) + " mm gives " + NumberText(cells) +
                             " cells, more than the check takes (40000000)",
                         false);
  }
  return s;
}

std::string pictureTitle(const JobRun& run) {
  std::string title = run.machine.job == Job::Shop ? "Shop job" : "Plain job";
  title +=
      ", " + std::string(controllerName(run.machine.controller)) + " profile: the block after the program, from above";
  return title;
}

// The closed section's rows at x as one face of the plank sees them (see
// plankFace), and where its outline begins and ends across the plank (see
// outlineOf): the nose of a twisted root that leans past the leading edge
// included.
struct FaceColumn {
  Section upper{}, lower{};
  SectionPoint lead{}, trail{};
  // The depth of the cut beside the outline's low and high side.
  double lowCut = 0, highCut = 0;

  // The highest and the lowest point of the closed section's boundary over
  // y (the segments that close it at its edges included); none outside it.
  std::optional<std::pair<double, double>> span(double y) const {
    std::optional<std::pair<double, double>> out;
    const auto meet = [&](const SectionPoint& p, const SectionPoint& q) {
      if (y < std::min(p.y, q.y) || y > std::max(p.y, q.y)) return;
      const double z = p.y == q.y ? std::max(p.z, q.z) : p.z + (y - p.y) / (q.y - p.y) * (q.z - p.z);
      const double lo = p.y == q.y ? std::min(p.z, q.z) : z;
      out = out ? std::pair{std::min(out->first, lo), std::max(out->second, z)} : std::pair{lo, z};
    };
    for (const Section* row : {&upper, &lower}) {
      for (std::size_t j = 0; j + 1 < row->size(); ++j) meet((*row)[j], (*row)[j + 1]);
    }
    meet(upper.front(), lower.front());
    meet(upper.back(), lower.back());
    return out;
  }
  // The face this side mills to: the top of the closed section, and beside
  // it the outline cut.
  double top(double y) const {
    if (y < lead.y) return lowCut;
    if (y > trail.y) return highCut;
    const auto s = span(y);
    return s ? s->second : lowCut;
  }
};

// One face of the plank column by column, each worked out once, when the
// column is first asked for.
class FaceColumns {
 public:
  FaceColumns(SectionSource source, const OutlineFloors& floors) : source_(std::move(source)), floors_(floors) {}

  const FaceColumn& operator()(double at) {
    if (at == x_) return column_;
    x_ = at;
    const SectionRows rows = source_(at);
    const Outline outline = outlineOf(rows);
    column_ = {rows[0], rows[1], outline.low, outline.high, floors_.low(at), floors_.high(at)};
    return column_;
  }

 private:
  SectionSource source_;
  const OutlineFloors& floors_;
  double x_ = std::numeric_limits<double>::quiet_NaN();
  FaceColumn column_{};
};

// Side A and side B of a plank, each checked against its own face of the
// blade; then both together, as one interval of material per column.
JobCheck checkTwoSided(const JobRun& run, double grid, bool picture, WorkMonitor* monitor) {
  const BladeParameters parameters = run.parameters ? *run.parameters : readParameters(run.fields);
  if (!run.block || run.sides.size() != 2 || !run.machine.design.blankThickness) {
    throw ShopError("the two-sided job's check needs both sides' programs");
  }
  const Block block = *run.block;
  const double thickness = *run.machine.design.blankThickness;
  CheckSettings settings = settingsFor(run, parameters, block, grid);
  settings.origin = shopOrigin(block);
  SectionTable table;
  table.fill();
  const BladeModel blade = designedBlade(parameters, table, run.machine);
  if (!run.plankEnd) throw ShopError("the two-sided job's check needs the plank's end");
  // Each face as the job milled it: the closed section, past the tip its
  // tab, the plank's end whole, and beside the outline the cut through,
  // read over the widest tool's reach.
  const double cutBelow = readShopInputs(run.fields, run.machine.shop).finishDepth + kOutlineCutPast;
  double margin = 0;
  for (const auto& [number, cutter] : settings.tools) margin = std::max(margin, cutter.radius + 1);
  const auto faceOf = [&](PlankFace face) { return plankFace(blade, face, block.y1, thickness, *run.plankEnd); };
  const OutlineFloors topFloors(faceOf(PlankFace::Top), block.x0 - margin, block.x1 + margin, margin, cutBelow);
  const OutlineFloors bottomFloors(faceOf(PlankFace::Bottom), block.x0 - margin, block.x1 + margin, margin, cutBelow);
  constexpr double kInside = 10;
  settings.interiorMargin = kInside;
  std::string text;
  std::vector<CheckResult> results;
  for (const bool turned : {false, true}) {
    FaceColumns at(faceOf(turned ? PlankFace::Bottom : PlankFace::Top), turned ? bottomFloors : topFloors);
    settings.interior = [&](double x, double y) {
      if (x < block.x0 + kInside || x > blade.tipX() - kInside || y < block.y0 + kInside || y > block.y1 - kInside) {
        return false;
      }
      const FaceColumn& c = at(x);
      return y >= c.lead.y + kInside && y <= c.trail.y - kInside;
    };
    PartMonitor sideMonitor(monitor, turned ? 0.5 : 0, turned ? 1 : 0.5);
    results.push_back(checkProgram(
        run.sides[turned ? 1 : 0], settings, [&](double x, double y) { return at(x).top(y); },
        monitor != nullptr ? &sideMonitor : nullptr));
    text += std::string(turned ? "\nSide B, the plank turned over about the span (X):\n" : "Side A:\n") +
            checkText(results.back());
  }
  // Both sides together, in the blade frame of side A.
  const PlankColumns columns(results[0].finished, results[1].finished, thickness);
  const double held = blade.hubX() + (run.machine.design.rootBlock ? run.machine.design.rootBlock->first : 0) +
                      results[0].finished.cell();
  PlankTarget target;
  FaceColumns at(faceOf(PlankFace::Top), topFloors);
  const auto within = [&](double x, double y) {
    const FaceColumn& c = at(x);
    return y > c.lead.y && y < c.trail.y;
  };
  // The root block at the hub; past the tip its tab and the plank's end.
  target.kept = [&](double x, double y) {
    return x < held || (run.plankEnd && x >= *run.plankEnd) || (x > blade.tipX() && within(x, y));
  };
  target.inside = [&](double x, double y) { return x >= held && x <= blade.tipX() && within(x, y); };
  // Beside the tip's tab, in the corners it makes with the plank's end, a
  // tool leaves its radius: what is left is measured along the blade.
  target.beside = [&](double x, double) { return x <= blade.tipX(); };
  target.interior = [&](double x, double y) {
    const FaceColumn& c = at(x);
    return x >= held + kInside && x <= blade.tipX() - kInside && y >= c.lead.y + kInside && y <= c.trail.y - kInside;
  };
  target.top = [&](double x, double y) {
    const auto s = at(x).span(y);
    return s ? s->second : -std::numeric_limits<double>::infinity();
  };
  target.bottom = [&](double x, double y) {
    const auto s = at(x).span(y);
    return s ? s->first : std::numeric_limits<double>::infinity();
  };
  const PlankFigures f = plankFigures(columns, target);
  text += "\nBoth sides, the plank " + NumberText(thickness) + " mm thick:\n";
  text += "  deepest cut into the blade: " + fixedText(std::max(0.0, f.deepestFromAbove), 3) + " mm from above, " +
          fixedText(std::max(0.0, f.deepestFromBelow), 3) + " mm from below\n";
  text += "  left on the lower surface at least 10 mm inside the outline: at most " +
          fixedText(std::max(0.0, f.mostLeftBelow), 3) + " mm\n";
  text += "  beside the blade, outside the outline: " + std::to_string(f.leftOutside) + " of " +
          std::to_string(f.columnsOutside) + " cells hold more than 0.5 mm; 99th percentile " +
          fixedText(f.leftOutside99, 3) + " mm\n";
  text += "  material in " + std::to_string(f.pieces) + (f.pieces == 1 ? " piece" : " pieces") + "; the blade " +
          (f.bladeHeld ? "is one piece with its root block" : "is not one piece with its root block") + "\n";
  JobCheck check{text, results[0].hazard() || results[1].hazard(), {}};
  if (picture) {
    const std::string profile = std::string(controllerName(run.machine.controller)) + " profile";
    check.picture = stackedPictureSvg(
        checkPictureSvg(results[0], "Side A after its program, from above", "end"),
        checkPictureSvg(results[1], "Side B after its program, from above (the plank turned over about X)", "end"),
        "Two-sided job, " + profile + ": both sides");
  }
  return check;
}

}  // namespace

JobCheck checkJob(const JobRun& run, double grid, bool picture, WorkMonitor* monitor) {
  if (run.machine.job == Job::TwoSided) return checkTwoSided(run, grid, picture, monitor);
  const BladeParameters parameters = run.parameters ? *run.parameters : readParameters(run.fields);
  const Block block = run.block ? *run.block : plainJobBlock(parameters, run.record, run.machine.shop.blockTop);
  CheckSettings settings = settingsFor(run, parameters, block, grid);
  if (run.machine.job == Job::Shop) settings.origin = shopOrigin(block);
  // The blade as designed, section by section: the check follows neither
  // the program's stations nor the shop job's own triangles.
  SectionTable table;
  table.fill();
  // The shop job mills the blade as the design settings shape it; the
  // plain program the blade of the rule.
  const BladeModel blade =
      run.machine.job == Job::Shop ? designedBlade(parameters, table, run.machine) : BladeModel(parameters, table);
  // The cells are asked for column by column: each column's section is
  // worked out once, when the column is first asked for.
  double columnX = std::numeric_limits<double>::quiet_NaN();
  Section column{};
  const auto sectionAt = [&](double x) -> const Section& {
    if (!(x == columnX)) column = blade.section(x), columnX = x;
    return column;
  };
  // Near the block's edges and the blade's leading and trailing edges any
  // tool leaves what its radius cannot reach; inside them what is left is
  // the paths' doing.
  constexpr double kInside = 10;
  settings.interiorMargin = kInside;
  settings.interior = [&](double x, double y) {
    if (x < block.x0 + kInside || x > block.x1 - kInside || y < block.y0 + kInside || y > block.y1 - kInside) {
      return false;
    }
    const Section& s = sectionAt(x);
    const double lo = std::min(s.front().y, s.back().y), hi = std::max(s.front().y, s.back().y);
    return y >= lo + kInside && y <= hi - kInside;
  };
  const CheckResult result = checkProgram(
      run.program, settings, [&](double x, double y) { return sectionHeight(sectionAt(x), y); }, monitor);
  JobCheck check{checkText(result), result.hazard(), {}};
  if (picture) check.picture = checkPictureSvg(result, pictureTitle(run));
  return check;
}

}  // namespace ventaro
