#include "gcode/roughing.h"

#include <string>

#include "core/checked.h"
#include "gcode/text_conventions.h"

namespace ventaro {

namespace {

// The pass counter is 8 bits wide: a pass count below 0 or above 255 cannot
// become its limit.
int passCounterLimit(const BladeParameters& p) {
  if (p.RoughPassesNo < 0 || p.RoughPassesNo > 255) {
    raiseAbout(ErrorKind::Overflow, Field::RoughPassesNo, "is below 0 or above 255");
  }
  return p.RoughPassesNo;
}

std::string& passSlot(RunState& run, int k) {
  if (k < 1 || k > kPassSlots) {
    raise(ErrorKind::SubscriptOutOfRange, Field::RoughPassesNo, "more than 5 roughing passes");
  }
  return run.RoughPass[static_cast<std::size_t>(k - 1)];
}

}  // namespace

float formStockAllowance(const BladeParameters& p) {
  const Step step{"the stock allowance", Field::RoughDepth};
  const double d = p.RoughDepth.value();
  const double dp = mulN(d, static_cast<double>(p.RoughPassesNo), step);
  const double f = p.FinishDepth.value();
  return toSingleN(addN(dp, f, Step{"the stock allowance", Field::FinishDepth}), step);
}

void roughingWalk(RunState& run, int lastStation) {
  const double d = run.p.RoughDepth.value();
  for (int i = 0; i <= lastStation; ++i) {
    const BladeStation& st = run.stations->at(i, Sweep::Roughing);
    const bool ascending = run.takeAscending();
    const StationFrame frame = frameOf(st, i, Sweep::Roughing);
    const float x = stationX(st, i, Sweep::Roughing);
    const Step step{"a roughing Z", Field::RoughDepth, i, "roughing"};
    if (run.observer) run.observer->station(Sweep::Roughing, i, st, x);

    const int first = ascending ? run.table.lower() : run.table.upper();
    const int last = ascending ? run.table.upper() : run.table.lower();
    const int dir = ascending ? 1 : -1;
    for (int j = first;; j += dir) {
      const PlacedPoint pt = placePoint(frame, run.table, j);
      if (run.observer) run.observer->point(Sweep::Roughing, i, j, pt);
      // The highest point: strictly higher only, so of equal heights the
      // first one met keeps the rapid move's X. No value counts as 0.
      if (pt.Z > run.MaxZ.value_or(0.0f)) {
        run.MaxZ = pt.Z;
        run.MaxZX = x;
      }
      const int passes = passCounterLimit(run.p);
      const double surface = addN(run.StockAllowance, pt.Z, step);
      for (int k = 1; k <= passes; ++k) {
        std::string& pass = passSlot(run, k);
        const double z = subN(surface, mulN(d, static_cast<double>(k - 1), step), step);
        appendLinearMove(pass, x, pt.Y, z);
      }
      if (j == last) break;
    }
    run.progressUpdate();
  }
}

void assemblePasses(RunState& run, std::string& program) {
  const int passes = passCounterLimit(run.p);
  if (passes == 0) return;
  const Step step{"a rapid move's Z", Field::RoughDepth};
  const double d = run.p.RoughDepth.value();
  const float h = toSingleN(addN(run.MaxZ.value_or(0.0f), run.StockAllowance, step), step);
  for (int k = 1; k <= passes; ++k) {
    AppendLine(program, "( Roughing Pass no." + std::to_string(k) + " )");
    program += passSlot(run, k);
    const double zsafe = addN(subN(h, mulN(d, static_cast<double>(k - 1), step), step), 5.0, step);
    program += kLineBreak;
    program += "G0 X";
    appendNumberText(program, run.MaxZX);
    program += " Z";
    appendCoordText(program, zsafe);
  }
}

}  // namespace ventaro
