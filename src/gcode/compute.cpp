#include "gcode/compute.h"

#include "core/checked.h"
#include "core/number_text.h"
#include "gcode/blocks.h"
#include "gcode/finishing.h"
#include "gcode/gcode_writer.h"
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

// The stations the finishing sweep is likely to have, from the count the
// progress step has already converted, so that nothing here can raise an
// error before the run reaches the finishing sweep: the count plus one, at
// most the 1001 stations of the table. Only a guess for making room; a wrong
// one costs time, not a byte.
std::size_t finishingGuess(const BladeParameters& p) {
  const double count = p.STNfinish.value();
  if (!(count >= 0.0)) return 0;
  return count >= 1000.0 ? 1001 : static_cast<std::size_t>(count) + 1;
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

void compute(const JobFields& fields, const SectionTable& table, ProgramWriter& out, ComputeObserver* observer) {
  RunState run(fields, table, observer, out);  // fills BladeParameters
  run.StockAllowance = formStockAllowance(run.p);
  run.ProgressStep = formProgressStep(run.p);

  writeHeader(out, run.p);
  writeRoughingToolBlock(out, run.p, fields[Field::RoughFeed]);

  // Roughing: every station first, then the walk that places the points
  // and keeps what the lines of every pass need.
  const int lastRough = LastStation(run.p, run.p.STNrough, Sweep::Roughing);
  for (int i = 0; i <= lastRough; ++i) {
    run.stations->at(i, Sweep::Roughing) = computeStation(run.p, run.p.STNrough, i, Sweep::Roughing);
  }
  // The stations fit the table by now, so these sizes are bounded.
  const std::size_t roughStations = lastRough < 0 ? 0 : static_cast<std::size_t>(lastRough) + 1;
  const std::size_t roughPoints = roughStations * static_cast<std::size_t>(run.pointsPerStation());
  const int passes = run.p.RoughPassesNo >= 0 && run.p.RoughPassesNo <= kPassSlots ? run.p.RoughPassesNo : 0;
  if (passes > 0) {
    run.RoughX.reserve(roughStations);
    run.RoughY.reserve(roughPoints);
    run.RoughSurface.reserve(roughPoints);
  }
  roughingWalk(run, lastRough);

  out.expectMoves(static_cast<std::size_t>(passes) * (roughPoints + 1) +
                  finishingGuess(run.p) * static_cast<std::size_t>(run.pointsPerStation()));
  writePasses(run);
  // The passes are written now; their memory is not needed for the
  // finishing sweep.
  std::vector<CoordWord>().swap(run.RoughX);
  std::vector<CoordWord>().swap(run.RoughY);
  std::vector<double>().swap(run.RoughSurface);

  writeFinishingToolBlock(out, run.p, fields[Field::FinishFeed]);
  finishingPass(run, LastStation(run.p, run.p.STNfinish, Sweep::Finishing));
  out.programEnd();
}

std::string compute(const JobFields& fields, const SectionTable& table, ComputeObserver* observer) {
  GcodeWriter out;
  compute(fields, table, out, observer);
  return out.take();
}

}  // namespace ventaro
