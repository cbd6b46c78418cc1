#include "check/check_text.h"

#include <algorithm>

#include "machine/fixed_text.h"

namespace ventaro {

namespace {

std::string mm(double v) { return fixedText(v, 3) + " mm"; }
std::string at(const Place& p) { return "X " + fixedText(p.x, 2) + " Y " + fixedText(p.y, 2); }
std::string lineOf(const Place& p) { return "line " + std::to_string(p.line); }

std::string count(int n, std::string_view what) {
  return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

std::string cutterText(const ToolFigures& t) {
  std::string text = "T" + std::to_string(t.tool) + " (";
  text += t.cutter.shape == ToolShape::Flat ? "flat end" : "ball-nose";
  text += ", diameter " + fixedText(2 * t.cutter.radius, 3) + " mm)";
  return text;
}

void rapidLines(std::string& out, const ToolFigures& t) {
  out += "  rapid moves through material: " + std::to_string(t.rapidsThroughMaterial);
  if (t.rapidsThroughMaterial == 0) {
    out += "\n";
    return;
  }
  out += " (up to " + mm(t.rapidDeepest) + " of material)";
  out += t.rapidsThroughMaterial > static_cast<int>(t.firstRapidsThroughMaterial.size()) ? ", the first:\n" : ":\n";
  for (const ProgramLine& l : t.firstRapidsThroughMaterial) {
    out += "    line " + std::to_string(l.line) + ": " + l.text + "\n";
  }
}

void toolLines(std::string& out, const ToolFigures& t, const CheckSettings& s) {
  const double tolerance = s.tolerance;
  out += cutterText(t) + ": " + count(t.cuttingMoves, "cutting move") + ", " + count(t.rapidMoves, "rapid move") + "\n";
  if (!t.touchedBlock) {
    out += "  never over the block\n";
    return;
  }
  rapidLines(out, t);
  out += "  deepest engagement of a cutting move: " + mm(t.deepestEngagement);
  out += t.deepestEngagement > 0 ? " at " + at(t.engagementPlace) + ", " + lineOf(t.engagementPlace) + "\n" : "\n";
  out += "  steep descents into material (over " + fixedText(kSteepDescent, 0) + " degrees, more than " +
         fixedText(kSteepContact, 0) + " mm met): " + std::to_string(t.steepDescents);
  out += t.steepDescents > 0 ? ", the first at line " + std::to_string(t.firstSteepDescent) + "\n" : "\n";
  out += "  deepest cut below the target: ";
  if (t.deepestBelowTarget > 0) {
    out += mm(t.deepestBelowTarget) + " at " + at(t.belowTargetPlace) + ", " + lineOf(t.belowTargetPlace);
    out += t.deepestBelowTarget > tolerance ? " (beyond the tolerance)\n" : " (within the tolerance)\n";
  } else {
    out += "none\n";
  }
  out += "  material left above the target: largest " + mm(t.leftLargest);
  if (t.leftLargest > 0) out += " at " + at(t.leftPlace);
  out += ", mean " + mm(t.leftMean) + "\n";
  if (t.interiorCells > 0) {
    out += "  material left at least " + fixedText(s.interiorMargin, 0) +
           " mm inside the block's and the blade's edges: mean " + mm(t.interiorMean) + ", 99th percentile " +
           mm(t.interiorP99) + "\n";
  }
  if (t.holderChecked) {
    out += "  holder " + fixedText(2 * t.holder.radius, 3) + " mm across, " + fixedText(t.holder.stickout, 3) +
           " mm above the tip: ";
    out += t.holderContacts > 0
               ? "meets material in " + std::to_string(t.holderContacts) + " moves (up to " + mm(t.holderDeepest) +
                     "), the first at line " + std::to_string(t.firstHolderContact) + "\n"
               : "clear of the material\n";
  }
  out += "  reach below the block top: " + mm(t.reach) + " (lowest Z " + fixedText(t.lowest, 3) + ")\n";
}

}  // namespace

std::string checkText(const CheckResult& result) {
  const CheckSettings& s = result.settings;
  const HeightMap& map = result.finished;
  std::string out = "Material check: block X " + fixedText(s.block.x0, 2) + " to " + fixedText(s.block.x1, 2) + ", Y " +
                    fixedText(s.block.y0, 2) + " to " + fixedText(s.block.y1, 2) + ", top Z " +
                    fixedText(s.block.top, 3) + "; " + fixedText(map.cell(), 3) + " mm cells (" +
                    std::to_string(map.columns()) + " x " + std::to_string(map.rows()) + ")\n";
  for (const ToolFigures& t : result.tools) toolLines(out, t, s);
  if (result.tools.empty()) out += "No tool moves over the block.\n";
  int rapids = 0, holders = 0;
  double below = 0;
  for (const ToolFigures& t : result.tools) {
    rapids += t.rapidsThroughMaterial;
    holders += t.holderContacts;
    below = std::max(below, t.deepestBelowTarget);
  }
  if (!result.hazard()) {
    out += "Check passed: no rapid move through material, no cut below the target beyond " + mm(s.tolerance) + ".\n";
    return out;
  }
  out += "Check failed:";
  if (rapids > 0)
    out += " " + std::to_string(rapids) + (rapids == 1 ? " rapid move" : " rapid moves") + " through material;";
  if (below > s.tolerance) out += " cuts up to " + mm(below) + " below the target (tolerance " + mm(s.tolerance) + ");";
  if (holders > 0) {
    out += " " + std::to_string(holders) + (holders == 1 ? " move" : " moves") + " with the holder in material;";
  }
  out.back() = '.';
  out += "\n";
  return out;
}

}  // namespace ventaro
