// Times the shop job of the default blade as ventaro-gcode writes it: the
// computation that reads the fields and places the stations, the layout of both tools' paths by
// drop-cutter, and the program's bytes. Goal: under 100 ms. Peak memory is
// measured around the command itself:
//   /usr/bin/time -v ventaro-gcode --job shop -o /tmp/job.nc --quiet
// (goal: under 200 MiB "Maximum resident set size").
#include <benchmark/benchmark.h>

#include <string>

#include "blade/design_record.h"
#include "gcode/compute.h"
#include "gcode/program_bytes.h"
#include "post/shop_program.h"

namespace {

void runShopJob(benchmark::State& state, ventaro::Controller controller) {
  ventaro::SectionTable table;
  table.fill();
  const ventaro::JobFields fields;
  std::size_t bytes = 0;
  for (auto _ : state) {
    ventaro::DesignRecorder recorder;
    ventaro::compute(fields, table, &recorder);
    const ventaro::ShopPlan plan = ventaro::planShopJob(fields, ventaro::ShopSettings{});
    std::string file = ventaro::toProgramFileBytes(ventaro::shopProgram(plan, controller));
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
    benchmark::ClobberMemory();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_DefaultShopJobLinuxCnc(benchmark::State& state) { runShopJob(state, ventaro::Controller::LinuxCnc); }
void BM_DefaultShopJobGrbl(benchmark::State& state) { runShopJob(state, ventaro::Controller::Grbl); }

// The paths alone: surface, drop-cutter and thinning, without the text.
void BM_DefaultShopPlan(benchmark::State& state) {
  const ventaro::JobFields fields;
  for (auto _ : state) {
    const ventaro::ShopPlan plan = ventaro::planShopJob(fields, ventaro::ShopSettings{});
    benchmark::DoNotOptimize(plan.tools.data());
  }
}

}  // namespace

BENCHMARK(BM_DefaultShopJobLinuxCnc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultShopJobGrbl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultShopPlan)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
