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

// Upside down: the lowest of a row read as the highest.
Section flipped(Section row) {
  for (SectionPoint& p : row) p.z = -p.z;
  return row;
}

std::string pictureTitle(const JobRun& run) {
  std::string title = run.machine.job == Job::Shop ? "Shop job" : "Plain job";
  title +=
      ", " + std::string(controllerName(run.machine.controller)) + " profile: the block after the program, from above";
  return title;
}

// The closed section's rows at x as one face of the plank sees them (see
// plankFace), and where its outline begins and ends across the plank.
struct FaceColumn {
  Section upper{}, lower{};
  double lead = 0, trail = 0;
  double top(double y) const { return std::max(profileHeight(upper, y), profileHeight(lower, y)); }
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
  // Each column's section is worked out once, when the column is first
  // asked for.
  struct Columns {
    const BladeModel& blade;
    double width, thickness;
    bool turned;
    const FaceColumn& operator()(double at) {
      if (at == x) return column;
      x = at;
      column = {blade.section(at), blade.lowerSection(at)};
      if (turned) {
        for (Section* row : {&column.upper, &column.lower}) {
          for (SectionPoint& p : *row) p = {width - p.y, thickness - p.z};
        }
      }
      const auto& u = column.upper;
      const auto& l = column.lower;
      column.lead = std::min({u.front().y, u.back().y, l.front().y, l.back().y});
      column.trail = std::max({u.front().y, u.back().y, l.front().y, l.back().y});
      return column;
    }
    double x = std::numeric_limits<double>::quiet_NaN();
    FaceColumn column{};
  };
  constexpr double kInside = 10;
  settings.interiorMargin = kInside;
  std::string text;
  std::vector<CheckResult> results;
  for (const bool turned : {false, true}) {
    Columns at{blade, block.y0 + block.y1, thickness, turned, std::numeric_limits<double>::quiet_NaN(), {}};
    settings.interior = [&](double x, double y) {
      if (x < block.x0 + kInside || x > block.x1 - kInside || y < block.y0 + kInside || y > block.y1 - kInside) {
        return false;
      }
      const FaceColumn& c = at(x);
      return y >= c.lead + kInside && y <= c.trail - kInside;
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
  target.kept = [&](double x, double) { return x < held; };
  Columns at{blade, block.y0 + block.y1, thickness, false, std::numeric_limits<double>::quiet_NaN(), {}};
  target.inside = [&](double x, double y) {
    const FaceColumn& c = at(x);
    return x >= held && y > c.lead && y < c.trail;
  };
  target.interior = [&](double x, double y) {
    const FaceColumn& c = at(x);
    return x >= held + kInside && x <= block.x1 - kInside && y >= c.lead + kInside && y <= c.trail - kInside;
  };
  target.top = [&](double x, double y) { return at(x).top(y); };
  target.bottom = [&](double x, double y) {
    const FaceColumn& c = at(x);
    return -std::max(profileHeight(flipped(c.upper), y), profileHeight(flipped(c.lower), y));
  };
  const PlankFigures f = plankFigures(columns, target);
  text += "\nBoth sides, the plank " + NumberText(thickness) + " mm thick:\n";
  text += "  deepest cut into the blade: " + fixedText(std::max(0.0, f.deepestFromAbove), 3) + " mm from above, " +
          fixedText(std::max(0.0, f.deepestFromBelow), 3) + " mm from below\n";
  text += "  left on the lower surface at least 10 mm inside the outline: at most " +
          fixedText(std::max(0.0, f.mostLeftBelow), 3) + " mm\n";
  text += "  outside the outline: " + std::to_string(f.leftOutside) + " of " + std::to_string(f.columnsOutside) +
          " cells hold more than 0.5 mm; 99th percentile " + fixedText(f.leftOutside99, 3) + " mm\n";
  text += "  material in " + std::to_string(f.pieces) + (f.pieces == 1 ? " piece" : " pieces") + "; the blade " +
          (f.bladeHeld ? "is one piece with its root block" : "is not one piece with its root block") + "\n";
  JobCheck check{text, results[0].hazard() || results[1].hazard(), {}};
  if (picture) {
    const std::string profile = std::string(controllerName(run.machine.controller)) + " profile";
    check.picture = stackedPictureSvg(
        checkPictureSvg(results[0], "Side A after its program, from above"),
        checkPictureSvg(results[1], "Side B after its program, from above (the plank turned over about X)"),
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
