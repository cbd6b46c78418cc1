#include "gcode/compute.h"

#include "core/checked.h"
#include "core/number_text.h"
#include "gcode/blocks.h"
#include "gcode/finishing.h"
#include "gcode/roughing.h"
#include "gcode/run_state.h"

namespace ventaro {

namespace {

// 100 divided by the number of station visits the passes make, rounded to
// single. The figure reaches 100% only where these counts agree with the
// stations actually generated.
float formProgressStep(const BladeParameters& p) {
  const Step step{"the progress step", std::nullopt};
  const double rough = mul(p.STNrough.value(), static_cast<double>(p.RoughPassesNo), step);
  const double sum = add(rough, p.STNfinish.value(), step);
  return toSingle(div(100.0, sum, step), step);
}

// Room for the moves of a sweep of stations 0 to lastStation: 18 lines of
// about 30 bytes per station. Only a guess to save reallocations.
std::size_t sweepBytes(int lastStation) {
  return lastStation < 0 ? 0 : static_cast<std::size_t>(lastStation + 1) * 18 * 32;
}

// Room for the finishing sweep, from the count the progress step has
// already converted, so that nothing here can raise an error before the
// run reaches the finishing sweep. Its last station is the count less the
// hub's share, rounded, and never past station 1000. Only a guess: a short
// one costs one reallocation, not a wrong byte.
int finishingGuess(const BladeParameters& p) {
  const double count = p.STNfinish.value();
  if (!(count >= 0.0)) return -1;
  return count >= 1000.0 ? 1000 : static_cast<int>(count) + 1;
}

}  // namespace

std::string progressFigure(float total) {
  std::string text = NumberText(total);
  if (text.size() > 5) text.resize(5);
  text += '%';
  return text;
}

void RunState::progressUpdate() {
  ProgressTotal = toSingle(static_cast<double>(ProgressTotal) + static_cast<double>(ProgressStep),
                           Step{"the progress figure", std::nullopt});
  if (observer) observer->progress(progressFigure(ProgressTotal));
}

std::string compute(const JobFields& fields, const SectionTable& table, ComputeObserver* observer) {
  RunState run(fields, table, observer);  // fills BladeParameters
  run.StockAllowance = formStockAllowance(run.p);
  run.ProgressStep = formProgressStep(run.p);

  std::string program;
  writeHeader(program, run.p);
  appendRoughingToolBlock(program, run.p, fields[Field::RoughFeed]);

  // Roughing: every station first, then the walk that places and writes.
  const int lastRough = LastStation(run.p, run.p.STNrough, Sweep::Roughing);
  for (int i = 0; i <= lastRough; ++i) {
    run.stations->at(i, Sweep::Roughing) = computeStation(run.p, run.p.STNrough, i, Sweep::Roughing);
  }
  // The stations fit the table by now, so these sizes are bounded.
  const int passes = run.p.RoughPassesNo >= 0 && run.p.RoughPassesNo <= kPassSlots ? run.p.RoughPassesNo : 0;
  for (int k = 0; k < passes; ++k) run.RoughPass[static_cast<std::size_t>(k)].reserve(sweepBytes(lastRough));
  roughingWalk(run, lastRough);
  // The whole program's room at once: growing a buffer of megabytes later
  // would hold the old and the new copy at the same time.
  program.reserve(program.size() + static_cast<std::size_t>(passes) * (sweepBytes(lastRough) + 64) +
                  sweepBytes(finishingGuess(run.p)) + 128);
  assemblePasses(run, program);
  // The pass texts are in the program now; their memory is not needed for
  // the finishing sweep.
  for (auto& text : run.RoughPass) std::string().swap(text);

  appendFinishingToolBlock(program, run.p, fields[Field::FinishFeed]);
  const int lastFinish = LastStation(run.p, run.p.STNfinish, Sweep::Finishing);
  program.reserve(program.size() + sweepBytes(lastFinish) + 64);
  finishingPass(run, lastFinish, program);
  return program;
}

}  // namespace ventaro
