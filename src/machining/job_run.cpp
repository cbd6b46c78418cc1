#include "machining/job_run.h"

#include "machining/controller_profile.h"
#include "machining/machining_report.h"
#include "machining/station_csv.h"

namespace ventaro {

JobRun runJob(const JobFields& fields, const MachineSettings& machine, const SectionTable& table,
              ComputeObserver* progress, bool record) {
  if (machine.job != Job::Plain) throw JobError("the shop job is not part of this build");
  JobRun run{fields, machine, {}, {}};
  DesignRecorder recorder(progress);
  std::string program = compute(fields, table, record ? &recorder : progress);
  run.program = forController(std::move(program), machine.controller);
  if (record) run.record = recorder.record();
  return run;
}

std::string jobStationTable(const JobRun& run, const SectionTable& table) {
  return stationCsv(run.record, stationGeometry(run.fields), table);
}

std::string jobReport(const JobRun& run, const SectionTable& table, const FieldNamer& name) {
  return machiningReport(run.program, run.record, run.fields, table, name);
}

}  // namespace ventaro
