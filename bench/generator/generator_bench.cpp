// Times whole computations as the window's "Compute" and ventaro-gcode run
// them, from the field texts to the bytes of the saved file: the window
// keeps the text and saves its bytes, the command line writes the bytes
// directly.
#include <benchmark/benchmark.h>

#include <string>

#include "core/job_parameters.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "gcode/gcode_writer.h"
#include "gcode/program_bytes.h"

namespace {

// The largest program the limits allow: no hub, 1001 stations in both
// sweeps (indices 0 to 1000) and five roughing passes.
ventaro::JobFields largestJob() {
  ventaro::JobFields fields;
  fields[ventaro::Field::HubRad] = "0";
  fields[ventaro::Field::STNfinish] = "1000";
  fields[ventaro::Field::STNrough] = "1000";
  fields[ventaro::Field::RoughPassesNo] = "5";
  return fields;
}

void runJob(benchmark::State& state, const ventaro::JobFields& fields) {
  ventaro::SectionTable table;
  table.fill();
  std::size_t bytes = 0;
  std::size_t lines = 0;
  for (auto _ : state) {
    std::string file = ventaro::toProgramFileBytes(ventaro::compute(fields, table));
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
    benchmark::ClobberMemory();
    if (lines == 0) {
      for (char c : file) lines += c == '\n';
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_DefaultProgram(benchmark::State& state) { runJob(state, ventaro::JobFields{}); }
void BM_LargestProgram(benchmark::State& state) { runJob(state, largestJob()); }

// The command line's way: the file's bytes written as the program is
// computed, in memory of their own each time, as in a fresh process.
void fileDirect(benchmark::State& state, const ventaro::JobFields& fields) {
  ventaro::SectionTable table;
  table.fill();
  std::size_t bytes = 0;
  for (auto _ : state) {
    ventaro::GcodeWriter out(ventaro::GcodeWriter::Form::File);
    ventaro::compute(fields, table, out);
    const ventaro::FileBytes file = out.takeFile();
    bytes = file.size();
    benchmark::DoNotOptimize(file.view().data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_DefaultFile(benchmark::State& state) { fileDirect(state, ventaro::JobFields{}); }
void BM_LargestFile(benchmark::State& state) { fileDirect(state, largestJob()); }

// The program text alone, without the file encoding.
void computeOnly(benchmark::State& state, const ventaro::JobFields& fields) {
  ventaro::SectionTable table;
  table.fill();
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string program = ventaro::compute(fields, table);
    bytes = program.size();
    benchmark::DoNotOptimize(program.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_DefaultCompute(benchmark::State& state) { computeOnly(state, ventaro::JobFields{}); }
void BM_LargestCompute(benchmark::State& state) { computeOnly(state, largestJob()); }

}  // namespace

BENCHMARK(BM_DefaultProgram)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargestProgram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultCompute)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargestCompute)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
