#include "cli/check_run.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "machining/check_picture.h"
#include "machining/check_text.h"
#include "machining/material_check.h"
#include "machining/target_surface.h"

namespace ventaro::cli {

namespace {

// More cells than this would take gigabytes; a finer grid than a tenth of a
// millimetre tells nothing more about a wooden blade.
constexpr double kMaxCells = 40e6;

CheckSettings settingsFor(const CliOptions& options, const Block& block) {
  CheckSettings s;
  s.block = block;
  s.cell = options.checkGrid;
  s.tolerance = options.shop.tolerance;
  const double rough = toDouble(options.fields[Field::RoughDia], Field::RoughDia);
  const double finish = static_cast<double>(toSingle(options.fields[Field::FinDia], Field::FinDia));
  s.tools[1] = Cutter{options.shop.roughShape, rough / 2};
  s.tools[2] = Cutter{options.shop.finShape, finish / 2};
  const double cells = std::ceil((block.x1 - block.x0) / s.cell) * std::ceil((block.y1 - block.y0) / s.cell);
  if (cells > kMaxCells) {
    throw ShopError("a grid of " + NumberText(s.cell) + " mm gives " + NumberText(cells) +
                    " cells, more than the check takes (40000000): give a larger --check-grid");
  }
  for (const auto& [tool, cutter] : s.tools) {
    if (!(cutter.radius > 0) || !std::isfinite(cutter.radius)) {
      throw ShopError("the check needs a positive diameter for tool T" + std::to_string(tool));
    }
  }
  return s;
}

std::string pictureTitle(const CliOptions& options) {
  std::string title = options.job == Job::Shop ? "SHOP JOB" : "PLAIN JOB";
  // The shop job is written for LinuxCNC unless a controller is given.
  const Controller controller =
      options.job == Job::Shop && !options.controllerGiven ? Controller::LinuxCnc : options.controller;
  title += ", " + std::string(controllerName(controller)) + " profile: the block after the program, from above";
  return title;
}

}  // namespace

CheckOutput checkRun(const CliOptions& options, std::string_view program, const DesignRecord& record) {
  const Block block = shopBlock(options.fields, record, options.shop.blockTop);
  const CheckSettings settings = settingsFor(options, block);
  double margin = 0;
  for (const auto& [tool, cutter] : settings.tools) margin = std::max(margin, cutter.radius);
  const TargetSurface surface(record, block, margin + settings.cell);
  const CheckResult result =
      checkProgram(program, settings, [&surface](double x, double y) { return surface.heightAt(x, y); });
  CheckOutput out{checkText(result), result.hazard(), std::nullopt};
  if (options.checkPicture) out.picture.emplace(*options.checkPicture, checkPicturePng(result, pictureTitle(options)));
  return out;
}

}  // namespace ventaro::cli
