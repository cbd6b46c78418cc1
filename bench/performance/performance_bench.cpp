// Times the default blade's Cp curve as --performance writes it: 23 tip
// speed ratios from 1 to 12, each a BEM analysis of 40 annuli with the
// shipped NACA 4412 polars; and the whole report section (the curve, its
// peak found to a hundredth and the starting torque).
#include <benchmark/benchmark.h>

#include "aero/naca4412_polars.h"
#include "core/fields.h"
#include "core/job_parameters.h"
#include "files/performance.h"

namespace {

void BM_CpCurve(benchmark::State& state) {
  ventaro::SectionTable table;
  table.fill();
  const ventaro::BladeModel blade(ventaro::readParameters(ventaro::JobFields{}), table);
  const ventaro::PolarSet polars(ventaro::naca4412Polars());
  const ventaro::Rotor rotor = ventaro::rotorOf(blade);
  for (auto _ : state) {
    double sum = 0;
    for (int k = 2; k <= 24; ++k) sum += ventaro::analyse(rotor, polars, k / 2.0, 8).cp;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_CpCurve)->Unit(benchmark::kMillisecond);

void BM_PerformanceReport(benchmark::State& state) {
  ventaro::SectionTable table;
  table.fill();
  for (auto _ : state) {
    const std::string text = ventaro::performanceReport(ventaro::JobFields{}, table, ventaro::MachineSettings{});
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_PerformanceReport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
