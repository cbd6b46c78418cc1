#include "gcode/finishing.h"

#include "gcode/text_conventions.h"

namespace ventaro {

void finishingPass(RunState& run, int lastStation, std::string& program) {
  for (int i = 0; i <= lastStation; ++i) {
    BladeStation& st = run.stations->at(i, Sweep::Finishing);
    st = computeStation(run.p, run.p.STNfinish, i, Sweep::Finishing);
    const bool ascending = run.takeAscending();
    const StationFrame frame = frameOf(st, i, Sweep::Finishing);
    const float x = stationX(st, i, Sweep::Finishing);
    if (run.observer) run.observer->station(Sweep::Finishing, i, st, x);

    const int first = ascending ? run.table.lower() : run.table.upper();
    const int last = ascending ? run.table.upper() : run.table.lower();
    const int dir = ascending ? 1 : -1;
    for (int j = first;; j += dir) {
      const PlacedPoint pt = placePoint(frame, run.table, j);
      if (run.observer) run.observer->point(Sweep::Finishing, i, j, pt);
      appendLinearMove(program, x, pt.Y, pt.Z);
      if (j == last) break;
    }
    run.progressUpdate();
  }
}

}  // namespace ventaro
