#include "files/setup_sheet.h"

#include <nlohmann/json.hpp>

#include "machine/fixed_text.h"
#include "machine/machine_limits.h"
#include "toolpath/toolpath.h"

namespace ventaro {

namespace {

// What the sheet says, read once from the run.
struct Sheet {
  Block block;
  Vec3 origin;
  double reachBeside = 0;  // how far beside the block the tools pass
};

Sheet sheetOf(const JobRun& run) {
  if (!forMachine(run.machine.job) || !run.block) {
    throw ShopError("the setup sheet is written for the shop job (--job shop)");
  }
  Sheet s;
  s.block = *run.block;
  s.origin = shopOrigin(s.block);
  // The roughing lines reach past the block by the tool's or its holder's
  // radius, whichever is wider, and a millimetre.
  for (const JobTool& tool : run.tools) {
    s.reachBeside = std::max(s.reachBeside, std::max(tool.diameter, tool.holder) / 2 + 1);
  }
  return s;
}

std::string mm(double v) { return machineNumber(v) + " mm"; }

std::string originText(const Sheet& s) {
  return "the block's top face, at its hub end and its Y 0 edge (X " + machineNumber(s.origin.x) + ", Y " +
         machineNumber(s.origin.y) + ", Z " + machineNumber(s.origin.z) + " from the rotor axis)";
}

std::string holdingText(const Sheet& s) {
  return "Fix the block from below (screws into the spoilboard outside the blade, or double-sided tape); the tools "
         "pass up to " +
         mm(s.reachBeside) + " beside the block on every side, down to its underside, so no clamp may stand there.";
}

nlohmann::ordered_json keepJson(const std::vector<KeptBox>& keep) {
  using Json = nlohmann::ordered_json;
  Json out = Json::array();
  for (const KeptBox& k : keep) {
    out.push_back(
        Json{{"x", Json::array({k.x0, k.x1})}, {"y", Json::array({k.y0, k.y1})}, {"z", Json::array({k.z0, k.z1})}});
  }
  return out;
}

}  // namespace

std::string setupSheetJson(const JobRun& run, const std::vector<std::string>& programFiles) {
  const Sheet s = sheetOf(run);
  using Json = nlohmann::ordered_json;
  const Block& b = s.block;
  const auto minus = [](double v) { return v == 0 ? 0.0 : -v; };  // no "-0.0"
  Json tools = Json::array();
  for (const JobTool& tool : run.tools) {
    tools.push_back(Json{{"number", tool.number},
                         {"shape", std::string(toolShapeName(tool.shape))},
                         {"diameter", tool.diameter},
                         {"flutes", tool.flutes},
                         {"reach", tool.fluteLength ? Json(*tool.fluteLength) : Json(nullptr)},
                         {"depth_below_top", tool.depth},
                         {"holder_diameter", tool.holder},
                         {"stickout", tool.stickout ? Json(*tool.stickout) : Json(nullptr)}});
  }
  const auto filesOf = [](const std::vector<std::string>& files) {
    return files.empty() ? Json(nullptr) : files.size() == 1 ? Json(files.front()) : Json(files);
  };
  // A setup: its name, its files, the matrix from the blade frame to its
  // program's coordinates, its zero.
  const auto setupOf = [&](const char* name, const std::vector<std::string>& files, Json toProgram,
                           const std::string& origin) {
    return Json{{"name", name},     {"program", filesOf(files)}, {"to_program", std::move(toProgram)},
                {"origin", origin}, {"holding", holdingText(s)}, {"z_travel_needed", run.zTravelNeeded},
                {"tools", tools}};
  };
  const Json upright =
      Json::array({Json::array({1, 0, 0, minus(s.origin.x)}), Json::array({0, 1, 0, minus(s.origin.y)}),
                   Json::array({0, 0, 1, minus(s.origin.z)})});
  Json setups = Json::array();
  if (run.machine.job == Job::TwoSided) {
    // The files follow the program's parts: side A's first (-A...), then
    // side B's.
    std::vector<std::string> filesA, filesB;
    for (std::size_t k = 0; k < programFiles.size(); ++k) {
      const bool b = k < run.programParts.size() && run.programParts[k].suffix.starts_with("-B");
      (b ? filesB : filesA).push_back(programFiles[k]);
    }
    setups.push_back(setupOf("A", filesA, upright, originText(s)));
    // Turned over about X, the plank's far side lies at Y 0 and its
    // underside on top: Y and Z change sign.
    setups.push_back(setupOf("B", filesB,
                             Json::array({Json::array({1, 0, 0, minus(s.origin.x)}), Json::array({0, -1, 0, b.y1}),
                                          Json::array({0, 0, -1, b.bottom})}),
                             "after turning the plank over about the span (X): " + originText(s)));
  } else {
    setups.push_back(setupOf("A", programFiles, upright, originText(s)));
  }
  Json root{
      {"format", "ventaro-setup"},
      {"version", 1},
      {"units", "mm"},
      {"controller", std::string(controllerName(run.machine.controller))},
      {"blank",
       Json{{"x", Json::array({b.x0, b.x1})}, {"y", Json::array({b.y0, b.y1})}, {"z", Json::array({b.bottom, b.top})}}},
      {"keep", keepJson(run.keep)},
      {"setups", std::move(setups)}};
  return root.dump(2) + "\n";
}

std::string setupSheetText(const JobRun& run, const std::vector<std::string>& programFiles) {
  const Sheet s = sheetOf(run);
  const Block& b = s.block;
  const bool twoSided = run.machine.job == Job::TwoSided;
  std::string out = twoSided ? "Setup sheet: two setups, side A with the plank's top face up, then side B with "
                               "the plank turned over about the span (X)\n\n"
                             : "Setup sheet: one setup, the blade's upper face up\n\n";
  out += "Block: " + mm(b.x1 - b.x0) + " along the span, " + mm(b.y1 - b.y0) + " across, " + mm(b.top - b.bottom) +
         " high.\n";
  out += "Program zero (G54): " + originText(s) + ".\n";
  out += "In the program the block spans X 0 to " + machineNumber(b.x1 - b.x0) + ", Y 0 to " +
         machineNumber(b.y1 - b.y0) + ", Z " + machineNumber(b.bottom - b.top) + " to 0; the hub end lies at X 0.\n";
  out += "Z travel needed: " + mm(std::ceil(run.zTravelNeeded)) + ".\n";
  std::string names;
  for (const std::string& name : programFiles) names += (names.empty() ? "" : ", then ") + name;
  const bool several = programFiles.size() > 1 || (programFiles.empty() && !run.programParts.empty());
  out += std::string(several ? "Programs, one per tool: " : "Program: ") +
         (names.empty() ? std::string("not written to a file yet") : names) + ", for " +
         std::string(controllerName(run.machine.controller)) + ".\n";
  if (several) out += "Before each program: fit its tool and set its Z zero as below.\n";
  out += "\n";
  out += "Tools, in the order they are used:\n";
  for (const JobTool& tool : run.tools) {
    out += "  T" + std::to_string(tool.number) + ": " + std::string(toolShapeTitle(tool.shape)) + " " +
           mm(tool.diameter) + ", " + std::to_string(tool.flutes) + " flutes";
    out += tool.fluteLength ? ", flutes " + mm(*tool.fluteLength) + " long" : "";
    out += ", in a holder " + mm(tool.holder) + " across";
    out += tool.stickout ? ", " + mm(*tool.stickout) + " out of it" : "";
    out += "; cuts down to " + mm(std::ceil(tool.depth * 10) / 10) + " below the block top.\n";
  }
  if (twoSided) {
    // What holds the blade, along the span as the programs read it.
    std::string kept;
    for (const KeptBox& k : run.keep) {
      const bool whole = k.y0 <= b.y0 && k.y1 >= b.y1;
      kept += std::string(kept.empty() ? "" : "; ") + (whole ? "the whole plank" : "the tip's tab") + " from X " +
              machineNumber(k.x0 - s.origin.x) + " to " + machineNumber(k.x1 - s.origin.x);
    }
    out += "\nHolding: beside the blade both sides cut the plank through. What stays whole holds the blade: " + kept +
           ". Fix the plank down at its two ends only, under the root block and under the plank's end past the\n"
           "tip (double-sided tape; no screw or clamp within " +
           mm(s.reachBeside) + " of the block's top or sides).\n";
    out +=
        "Turning over: after side A's programs, turn the plank over about its length (X), so that its far side\n"
        "lies along the Y 0 fence and its underside is on top, the hub end still at X 0; set the zero on it as\n"
        "before and run side B's programs. Then cut the tip's tab and saw off the plank's end.\n";
  } else {
    out += "\nHolding: " + holdingText(s) + "\n";
  }
  out +=
      "Zero: set X and Y on the block's hub end and Y 0 edge; set each tool's Z on the block top (the first)\n"
      "or on the reference the first was set against.\n";
  return out;
}

}  // namespace ventaro
