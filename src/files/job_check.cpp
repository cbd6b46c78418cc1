#include "files/job_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "blade/blade_model.h"
#include "check/check_text.h"
#include "check/material_check.h"
#include "core/number_text.h"
#include "files/performance.h"
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

}  // namespace

JobCheck checkJob(const JobRun& run, double grid, bool picture, WorkMonitor* monitor) {
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
