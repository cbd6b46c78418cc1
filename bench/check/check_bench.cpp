// Times the material-removal check as "ventaro-gcode --check" runs it on the
// program it has just written: the target surface, the height map at the
// default 0.5 mm and the simulation of every move with the tools' shapes.
#include <benchmark/benchmark.h>

#include <string>

#include "cli/check_run.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "machining/controller_profile.h"

namespace {

struct Written {
  std::string program;
  ventaro::DesignRecord record;
};

Written writeJob(const ventaro::cli::CliOptions& options) {
  ventaro::SectionTable table;
  table.fill();
  ventaro::DesignRecorder recorder;
  std::string program = ventaro::compute(options.fields, table, &recorder);
  return {ventaro::forController(std::move(program), options.controller), recorder.record()};
}

void runCheck(benchmark::State& state, const ventaro::cli::CliOptions& options) {
  const Written job = writeJob(options);
  bool hazard = false;
  for (auto _ : state) {
    const auto out = ventaro::cli::checkRun(options, job.program, job.record);
    hazard = out.hazard;
    benchmark::DoNotOptimize(out.text.data());
  }
  state.counters["hazard"] = hazard ? 1 : 0;
}

void BM_CheckPlainJob(benchmark::State& state) { runCheck(state, ventaro::cli::CliOptions{}); }
BENCHMARK(BM_CheckPlainJob)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
