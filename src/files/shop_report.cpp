#include "files/shop_report.h"

#include <algorithm>
#include <cmath>

#include "gcode/text_conventions.h"
#include "machine/fixed_text.h"
#include "machine/machine_limits.h"
#include "toolpath/toolpath.h"

namespace ventaro {

namespace {

std::string mm(double v) { return fixedText(v, 3); }

std::size_t lineCount(std::string_view program) {
  if (program.empty()) return 0;
  std::size_t n = 1;
  for (std::size_t at = program.find(kLineBreak); at != std::string_view::npos; at = program.find(kLineBreak, at + 2)) {
    ++n;
  }
  return n;
}

// Feed lengths and the time they take; rapid moves and tool changes are not
// counted.
void movesLines(std::string& out, const ShopPlan& plan, const ToolRun& run) {
  double cut = 0, plunge = 0;
  std::size_t feeds = 0;
  Vec3 at{run.moves.front().to.x, run.moves.front().to.y, plan.clearanceZ};
  for (const PathMove& m : run.moves) {
    const double d = std::sqrt((m.to.x - at.x) * (m.to.x - at.x) + (m.to.y - at.y) * (m.to.y - at.y) +
                               (m.to.z - at.z) * (m.to.z - at.z));
    if (m.kind != PathMoveKind::Rapid) {
      (m.kind == PathMoveKind::Plunge ? plunge : cut) += d;
      ++feeds;
    }
    at = m.to;
  }
  const double minutes = cut / run.feed + plunge / plan.plungeFeed;
  out += "  " + std::to_string(feeds) + " feed moves: " + fixedText(cut, 1) + " mm at F" + machineNumber(run.feed) +
         ", " + fixedText(plunge, 1) + " mm down at F" + machineNumber(plan.plungeFeed) + "; about " +
         fixedText(minutes, 1) + " min of feed\n";
}

void reachLine(std::string& out, const ShopPlan& plan, const ToolRun& run) {
  const double depth = plan.block.top - run.lowest;
  out += "  the tool must reach Z " + mm(run.lowest) + ", " + mm(depth) + " mm below the block top";
  out += run.fluteLength ? "; flutes " + mm(*run.fluteLength) + " mm long\n" : "\n";
  if (run.fluteLength && depth > *run.fluteLength) {
    out += "  warning: the tool cuts deeper than its flutes reach: its shank would rub the material\n";
  }
  if (run.stickout && depth > *run.stickout) {
    out += "  the tool reaches deeper than its " + mm(*run.stickout) +
           " mm stick-out: the check sweeps its holder through what the job leaves around it\n";
  }
  const double load = chipLoad(run);
  out += "  chip load " + mm(load) + " mm per tooth (F" + machineNumber(run.feed) + " at S" + machineNumber(run.rpm) +
         ", " + std::to_string(run.flutes) + (run.flutes == 1 ? " flute" : " flutes") + ")\n";
  if (load < kLeastChipLoad) {
    out += "  warning: below " + mm(kLeastChipLoad) + " mm per tooth the tool rubs rather than cuts, burning wood " +
           "and dulling its edges: feed at F" + machineNumber(std::ceil(kLeastChipLoad * run.rpm * run.flutes)) +
           " or more, or turn it slower\n";
  } else if (load > run.chipLoadMax) {
    out += "  warning: above the " + mm(run.chipLoadMax) + " mm per tooth set for the tool: feed at F" +
           machineNumber(std::floor(run.chipLoadMax * run.rpm * run.flutes)) + " or less, or turn it faster\n";
  }
}

void roughingPart(std::string& out, const ShopPlan& plan, const ToolRun& run) {
  out += "T1 roughing, " + std::string(toolShapeTitle(run.cutter.shape)) + " " + machineNumber(2 * run.cutter.radius) +
         " mm, S" + machineNumber(run.rpm) + ":\n";
  out += "  " + std::to_string(plan.layers) + (plan.layers == 1 ? " layer" : " layers") + " " +
         machineNumber(plan.roughDepth) + " mm apart, from Z " + mm(plan.block.top - plan.roughDepth) + " down to Z " +
         mm(plan.block.top - plan.layers * plan.roughDepth) + "\n";
  out += "  lines across the chord " + mm(plan.roughStepover) +
         " mm apart, each entered from beside the block and climb milled up to the section's crest, "
         "the far side of a crest from the far side of the block (conventional); " +
         machineNumber(plan.finishDepth) +
         " mm left above the surface for "
         "finishing\n";
  if (plan.restLines > 0) {
    out += "  then " + std::to_string(plan.restLines) + (plan.restLines == 1 ? " rest line" : " rest lines") +
           " between them where the surface falls along the span, in layers over what the roughing left, so that "
           "no more than " +
           mm(plan.restLeft) + " mm stands above the allowance between lines\n";
  }
  reachLine(out, plan, run);
  movesLines(out, plan, run);
}

void finishingPart(std::string& out, const ShopPlan& plan, const ToolRun& run) {
  out += "T2 finishing, " + std::string(toolShapeTitle(run.cutter.shape)) + " " + machineNumber(2 * run.cutter.radius) +
         " mm, S" + machineNumber(run.rpm) + ":\n";
  out += "  lines across the chord, each climbed from both sides up to the crest, " + mm(plan.finStepover) +
         " mm apart on the level";
  out +=
      plan.finClosest < plan.finStepover ? ", down to " + mm(plan.finClosest) + " mm where the surface slopes\n" : "\n";
  const std::string what = run.cutter.shape == ToolShape::Ball ? "scallop" : "step";
  out += "  " + what + " height at most " + mm(plan.scallopLeft) + " mm between the lines (set: " + mm(plan.scallop) +
         " mm)\n";
  if (plan.scallopLeft > plan.scallop) {
    out += "  warning: the " + what + " stays above the setting where the surface drops steeply along the span\n";
  }
  reachLine(out, plan, run);
  movesLines(out, plan, run);
}

}  // namespace

std::string shopReport(const ShopPlan& plan, Controller controller, std::string_view program) {
  const Block& b = plan.block;
  std::string out = "Shop job report\n\n";
  out += "Program: " + std::to_string(lineCount(program)) + " lines for " + std::string(controllerName(controller));
  out += controller == Controller::Grbl
             ? ", one file per tool, each started once its tool is fitted and its zero set.\n"
             : ".\n";
  out += "Block: X " + mm(b.x0) + " to " + mm(b.x1) + ", Y " + mm(b.y0) + " to " + mm(b.y1) + ", top Z " + mm(b.top) +
         " (millimetres).\n";
  out += "Z travel needed: " + mm(plan.zTravelNeeded) + " mm, from the clearance height down to the deepest cut.\n";
  // Where the blade does not fit the stock, by how much, and what would
  // make it fit.
  const BladeFit& fit = plan.fit;
  if (fit.offStock > 0) {
    out += "The blade reaches up to " + mm(fit.offStock) + " mm past the stock's sides between X " + mm(fit.offFrom) +
           " and " + mm(fit.offTo) +
           ": those sections are not whole. A chord cap (--chord-cap, Machine > Blade Design) keeps every section "
           "on the stock.\n";
  }
  if (!plan.plank) {
    out += "The blade stands " + mm(fit.highest - fit.lowest) +
           " mm from its lowest to its highest point, the least thickness of stock that holds it whole. A blank "
           "thickness (--blank-thickness, Machine > Blade Design) limits the twist so that it fits a plank.\n";
  }
  out += "Rapid moves at Z " + mm(plan.clearanceZ) +
         " to and from each tool; between roughing lines 2 mm above the material they leave, down beside the "
         "block.\n";
  if (plan.roughTolerance > plan.tolerance) {
    out += "Finishing paths within " + machineNumber(plan.tolerance) +
           " mm of exact contact with the surface; roughing paths within " + machineNumber(plan.roughTolerance) +
           " mm of the allowance above it.\n";
  } else {
    out += "Paths within " + machineNumber(plan.tolerance) + " mm of exact contact with the surface.\n";
  }
  out += "Times count feed moves only: no rapid moves, acceleration or tool changes.\n\n";
  const bool hasRoughing = plan.tools.size() > 1;
  if (!hasRoughing)
    out += "T1 roughing: no layer needed; the block top lies no higher than the surface plus the finish depth.\n";
  for (const ToolRun& run : plan.tools) {
    if (run.number == 1) {
      roughingPart(out, plan, run);
    } else {
      finishingPart(out, plan, run);
    }
  }
  return out;
}

}  // namespace ventaro
