#include "machining/job_run.h"

#include "machining/controller_profile.h"
#include "machining/machining_report.h"
#include "machining/preview_input.h"
#include "machining/preview_svg.h"
#include "machining/station_csv.h"

namespace ventaro {

JobRun runJob(const JobFields& fields, const MachineSettings& machine, const SectionTable& table,
              ComputeObserver* progress, bool outputs) {
  if (machine.job != Job::Plain) throw JobError("the shop job is not part of this build");
  JobRun run{fields, machine, {}, {}, {}};
  DesignRecorder recorder(progress);
  std::string program = compute(fields, table, outputs ? &recorder : progress);
  run.program = forController(std::move(program), machine.controller);
  if (outputs) {
    run.record = recorder.record();
    run.moves = readProgramMoves(run.program);
  }
  return run;
}

// The run succeeded, so its fields are read once more without fault.
std::string jobStationTable(const JobRun& run, const SectionTable& table) {
  return stationCsv(run.record, stationGeometry(readParameters(run.fields)), table);
}

std::string jobReport(const JobRun& run, const SectionTable& table, const FieldNamer& name) {
  return machiningReport(run.moves, run.record, run.fields, readParameters(run.fields), table, name);
}

std::string jobPreviewSvg(const JobRun& run) {
  return previewSvg(previewInput(run.record, run.moves, readParameters(run.fields)));
}

}  // namespace ventaro
