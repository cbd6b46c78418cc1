#include "gcode/finishing.h"

namespace ventaro {

void finishingPass(RunState& run, int lastStation) {
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
    std::optional<CoordWord> xWord;  // the same in all of the station's lines
    for (int j = first;; j += dir) {
      const PlacedPoint pt = placePoint(frame, run.table, j);
      if (run.observer) run.observer->point(Sweep::Finishing, i, j, pt);
      if (!xWord) xWord = coordWord(x, 'X', {"finishing station", i, Field::D});
      const CoordWord y = coordWord(pt.Y, 'Y', {"finishing station", i, std::nullopt});
      const CoordWord z = coordWord(pt.Z, 'Z', {"finishing station", i, std::nullopt});
      run.out.linearMove(*xWord, y, z);
      if (j == last) break;
    }
    run.progressUpdate();
  }
}

}  // namespace ventaro
