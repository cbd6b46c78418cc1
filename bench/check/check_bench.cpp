// Times the material-removal check as "ventaro-gcode --check" runs it on the
// program it has just written: the target surface, the height map at the
// default 0.5 mm and the simulation of every move with the tools' shapes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "cli/check_run.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "machining/controller_profile.h"
#include "machining/shop_job.h"
#include "machining/shop_program.h"

namespace {

struct Written {
  std::string program;
  ventaro::DesignRecord record;
};

Written writeJob(const ventaro::cli::CliOptions& options) {
  ventaro::SectionTable table;
  table.fill();
  ventaro::DesignRecorder recorder;
  // The shop job takes its stations from the plain computation.
  const bool shop = options.job == ventaro::Job::Shop;
  std::string program =
      ventaro::programFor(shop ? ventaro::Controller::Plain : options.controller, options.fields, table, &recorder);
  if (shop) {
    const ventaro::ShopPlan plan = ventaro::planShopJob(options.fields, recorder.record(), options.shop);
    return {ventaro::shopProgram(plan, options.controller), recorder.record()};
  }
  return {std::move(program), recorder.record()};
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
  state.counters["lines"] = static_cast<double>(std::count(job.program.begin(), job.program.end(), '\n') + 1);
}

void BM_CheckPlainJob(benchmark::State& state) { runCheck(state, ventaro::cli::CliOptions{}); }
BENCHMARK(BM_CheckPlainJob)->Unit(benchmark::kMillisecond);

// The default shop job for LinuxCNC, as "--job shop --check" writes it.
void BM_CheckShopJob(benchmark::State& state) {
  ventaro::cli::CliOptions options;
  options.job = ventaro::Job::Shop;
  options.controller = ventaro::Controller::LinuxCnc;
  runCheck(state, options);
}
BENCHMARK(BM_CheckShopJob)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
