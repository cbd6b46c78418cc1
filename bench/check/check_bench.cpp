// Times the material-removal check as "ventaro-gcode --check" runs it on the
// program it has just written: the target surface, the height map at the
// default 0.5 mm and the simulation of every move with the tools' shapes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "core/section_table.h"
#include "files/job_check.h"
#include "files/job_run.h"

namespace {

void runCheck(benchmark::State& state, const ventaro::MachineSettings& machine) {
  ventaro::SectionTable table;
  table.fill();
  const ventaro::JobRun run = ventaro::runJob(ventaro::JobFields{}, machine, table, nullptr, true);
  bool hazard = false;
  for (auto _ : state) {
    const auto out = ventaro::checkJob(run, 0, false);
    hazard = out.hazard;
    benchmark::DoNotOptimize(out.text.data());
  }
  state.counters["hazard"] = hazard ? 1 : 0;
  state.counters["lines"] = static_cast<double>(std::count(run.program.begin(), run.program.end(), '\n') + 1);
}

void BM_CheckPlainJob(benchmark::State& state) { runCheck(state, ventaro::MachineSettings{}); }
BENCHMARK(BM_CheckPlainJob)->Unit(benchmark::kMillisecond);

// The default shop job for LinuxCNC, as "--job shop --check" writes it.
void BM_CheckShopJob(benchmark::State& state) {
  ventaro::MachineSettings machine;
  machine.job = ventaro::Job::Shop;
  machine.controller = ventaro::Controller::LinuxCnc;
  runCheck(state, machine);
}
BENCHMARK(BM_CheckShopJob)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
