#include "files/job_run.h"

#include <algorithm>
#include <filesystem>

#include "files/machining_report.h"
#include "files/performance.h"
#include "files/shop_report.h"
#include "files/station_csv.h"
#include "gcode/program_bytes.h"
#include "machine/machine_limits.h"
#include "picture/preview_input.h"
#include "picture/preview_svg.h"
#include "post/controller_profile.h"
#include "post/shop_program.h"

namespace ventaro {

std::string programPartPath(const std::string& path, const std::string& suffix) {
  const std::filesystem::path p(path);
  std::filesystem::path named = p;
  named.replace_filename(p.stem().string() + suffix + p.extension().string());
  return named.string();
}

std::vector<std::string> programFileNames(const JobRun& run, const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (run.programParts.empty()) return {name};
  std::vector<std::string> names;
  for (const ProgramPart& part : run.programParts) names.push_back(programPartPath(name, part.suffix));
  return names;
}

namespace {

// One part of a longer piece of work, as work of its own.
void addParts(std::vector<ProgramPart>& to, std::vector<ProgramPart> parts, const std::string& side) {
  for (ProgramPart& part : parts) to.push_back({"-" + side + part.suffix, std::move(part.text)});
}

}  // namespace

JobRun runJob(const JobFields& fields, const MachineSettings& machine, const SectionTable& table,
              ComputeObserver* progress, bool outputs, WorkMonitor* monitor) {
  const bool shop = forMachine(machine.job);
  if (shop && machine.controller == Controller::Plain) {
    throw ShopError("the shop job is written for a machine: LinuxCNC or GRBL, not the plain controller");
  }
  // The plain program takes no machine setting; every other program does.
  if (shop || machine.controller != Controller::Plain) checkSettings(machine.shop);
  JobRun run{fields, machine, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
  DesignRecorder recorder(progress);
  ComputeObserver* observer = outputs || shop ? &recorder : progress;
  if (shop) {
    // The computation reads and checks the fields and records its stations
    // for the outputs; the shop job mills the blade they design, at its own
    // spacing. The plain program's table of stations does not bound it: a
    // small finishing tool may ask that program for more stations than it
    // holds, and then only the outputs drawn from those stations are lost.
    try {
      (void)compute(fields, table, observer);
    } catch (const RunError& error) {
      const bool stations = error.kind() == ErrorKind::SubscriptOutOfRange && error.field() &&
                            (*error.field() == Field::STNfinish || *error.field() == Field::STNrough);
      if (!stations) throw;
      run.stationsError = error;
    }
    // The fields are read once: the parameters as the computation read
    // them, and what the shop job reads beyond them. The block is laid out
    // once for the job and the check.
    run.parameters = readParameters(fields);
    const ShopInputs inputs = readShopInputs(fields, machine.shop);
    std::optional<double> lift;
    std::optional<Airfoil> airfoil;
    try {
      lift = designLift(*run.parameters, table, machine);
      airfoil = designAirfoil(machine.design);
    } catch (const PolarError& error) {
      throw ShopError(std::string("the blade's design: ") + error.what());
    } catch (const AirfoilError& error) {
      throw ShopError(std::string("the blade's design: ") + error.what());
    }
    if (machine.job == Job::TwoSided) {
      if (!machine.design.blankThickness) {
        throw ShopError(
            "the two-sided job mills a plank: give its thickness (--blank-thickness, Machine > Blade Design)");
      }
      // Side A mills the top of the blade from the plank's top face; side B,
      // the plank turned over about the span, its bottom.
      std::vector<ProgramPart> parts;
      for (const PlankFace face : {PlankFace::Top, PlankFace::Bottom}) {
        const bool a = face == PlankFace::Top;
        PartMonitor part(monitor, a ? 0 : 0.5, a ? 0.5 : 1);
        const ShopPlan plan = planShopJob(inputs, *run.parameters, machine.shop, monitor ? &part : nullptr,
                                          machine.design, lift, airfoil ? &*airfoil : nullptr, face);
        const std::string side = a ? "A" : "B";
        std::vector<ProgramPart> sideParts = shopPrograms(plan, machine.controller, "Blade from a plank, side " + side);
        run.sides.push_back(joinedProgram(sideParts));
        addParts(parts, std::move(sideParts), side);
        if (a) run.block = plan.block, run.plankEnd = plan.plankEnd, run.keep = plan.keep;
        // Each tool as deep as either side takes it.
        for (const ToolRun& tool : plan.tools) {
          const double depth = plan.block.top - tool.lowest;
          auto known = std::find_if(run.tools.begin(), run.tools.end(),
                                    [&](const JobTool& t) { return t.number == tool.number; });
          if (known != run.tools.end()) {
            known->depth = std::max(known->depth, depth);
            continue;
          }
          run.tools.push_back({tool.number, tool.cutter.shape, 2 * tool.cutter.radius, tool.flutes, tool.fluteLength,
                               depth, tool.holder, tool.stickout});
        }
        run.zTravelNeeded = std::max(run.zTravelNeeded, plan.zTravelNeeded);
        if (outputs) {
          run.shopReport += std::string(a ? "" : "\n") + "Side " + side +
                            (a ? ": the plank's top face up.\n\n"
                               : ": the plank turned over about the span (X), its far side now at Y 0 and its "
                                 "underside on top.\n\n") +
                            shopReport(plan, machine.controller, run.sides.back());
        }
      }
      run.program = joinedProgram(parts);
      run.programParts = std::move(parts);
    } else {
      const ShopPlan plan = planShopJob(inputs, *run.parameters, machine.shop, monitor, machine.design, lift,
                                        airfoil ? &*airfoil : nullptr);
      run.block = plan.block;
      for (const ToolRun& tool : plan.tools) {
        run.tools.push_back({tool.number, tool.cutter.shape, 2 * tool.cutter.radius, tool.flutes, tool.fluteLength,
                             plan.block.top - tool.lowest, tool.holder, tool.stickout});
      }
      run.zTravelNeeded = plan.zTravelNeeded;
      std::vector<ProgramPart> parts = shopPrograms(plan, machine.controller);
      run.program = joinedProgram(parts);
      if (parts.size() > 1) run.programParts = std::move(parts);
      if (outputs) run.shopReport = shopReport(plan, machine.controller, run.program);
    }
  } else {
    run.program = programFor(machine.controller, fields, table, observer, machine.shop);
  }
  if (outputs) {
    if (!run.parameters) run.parameters = readParameters(fields);
    if (!run.stationsError) run.record = recorder.record();
    run.moves = readProgramMoves(run.program);
  }
  return run;
}

JobRun runJobForFile(const JobFields& fields, const MachineSettings& machine, const SectionTable& table,
                     ComputeObserver* progress) {
  if (forMachine(machine.job)) {
    // The shop job is written as text from its plan; its file is that text's.
    JobRun run = runJob(fields, machine, table, progress, false);
    run.file = toProgramFileBytes(std::move(run.program));
    run.program.clear();
    return run;
  }
  if (machine.controller != Controller::Plain) checkSettings(machine.shop);
  JobRun run{fields, machine, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
  run.file = programFileFor(machine.controller, fields, table, progress, machine.shop);
  return run;
}

// These take what a run with outputs kept.
std::string jobStationTable(const JobRun& run, const SectionTable& table) {
  if (run.stationsError) throw *run.stationsError;
  return stationCsv(run.record, stationGeometry(*run.parameters), table,
                    stationDesignPoints(run.record, *run.parameters, table, run.machine.performance));
}

std::string jobReport(const JobRun& run, const SectionTable& table, const FieldNamer& name) {
  const std::string performance = performanceReport(run.fields, table, run.machine);
  if (forMachine(run.machine.job)) return run.shopReport + performance;
  return machiningReport(run.moves, run.record, run.fields, *run.parameters, table, name) + performance;
}

std::string jobPreviewSvg(const JobRun& run) {
  if (run.stationsError) throw *run.stationsError;
  return previewSvg(previewInput(run.record, run.moves, *run.parameters));
}

}  // namespace ventaro
