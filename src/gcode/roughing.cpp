#include "gcode/roughing.h"

#include <cmath>
#include <string>

#include "core/checked.h"
#include "gcode/gcode_writer.h"

namespace ventaro {

namespace {

// The pass count is taken as a number from 0 to 255; outside that range it
// is an overflow, before any pass is looked at.
int passCount(const BladeParameters& p) {
  if (p.RoughPassesNo < 0 || p.RoughPassesNo > 255) {
    raiseAbout(ErrorKind::Overflow, Field::RoughPassesNo, "is below 0 or above 255");
  }
  return p.RoughPassesNo;
}

// There are five passes at most.
void checkPassSlot(int k) {
  if (k < 1 || k > kPassSlots) {
    raise(ErrorKind::SubscriptOutOfRange, Field::RoughPassesNo, "more than 5 roughing passes");
  }
}

// Pass k cuts the roughing depth times k - 1 below the first pass.
double passZ(double surface, double d, int k, const Step& step) {
  return subN(surface, mulN(d, static_cast<double>(k - 1), step), step);
}

// A roughing Z stands the stock allowance above the surface. When the
// surface point alone fits its word, it is the allowance (the roughing depth
// times the passes) that does not.
CoordWord roughZWord(double z, float surfaceZ, const char* what, int number) {
  const CoordWord word(z);
  if (word.fits()) return word;
  const bool allowance = CoordWord(surfaceZ).fits();
  raiseWordOverflow(NumberText(z), 'Z',
                    {what, number, allowance ? std::optional<Field>(Field::RoughDepth) : std::nullopt});
}

// The lines of one pass: every point of every station, at the pass's Z.
template <typename Writer, typename PassZ>
void writePassLines(Writer& out, const RunState& run, std::size_t perStation, const PassZ& passZOf) {
  for (std::size_t n = 0, station = 0; n < run.RoughSurface.size(); ++station) {
    for (const std::size_t end = n + perStation; n < end; ++n) {
      out.linearMove(run.RoughX[station], run.RoughY[n], CoordWord(passZOf(run.RoughSurface[n])));
    }
  }
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
    bool firstLine = true;
    for (int j = first;; j += dir) {
      const PlacedPoint pt = placePoint(frame, run.table, j);
      if (run.observer) run.observer->point(Sweep::Roughing, i, j, pt);
      // The highest point: strictly higher only, so of equal heights the
      // first one met keeps the rapid move's X. No value counts as 0.
      if (pt.Z > run.MaxZ.value_or(0.0f)) {
        run.MaxZ = pt.Z;
        run.MaxZX = x;
      }
      const int passes = passCount(run.p);
      const double surface = addN(run.StockAllowance, pt.Z, step);
      for (int k = 1; k <= passes; ++k) {
        checkPassSlot(k);
        const double z = passZ(surface, d, k, step);
        // The words of the line, in the order they stand in it: X and Y are
        // made with the first pass's line and used by every pass; each Z is
        // made when its pass is written, but must fit already.
        if (k == 1) {
          if (firstLine) run.RoughX.push_back(coordWord(x, 'X', {"roughing station", i, Field::D}));
          firstLine = false;
          run.RoughY.push_back(coordWord(pt.Y, 'Y', {"roughing station", i, std::nullopt}));
          run.RoughSurface.push_back(surface);
        }
        if (!(std::fabs(z) < 99999.0)) (void)roughZWord(z, pt.Z, "roughing station", i);
      }
      if (j == last) break;
    }
    run.progressUpdate();
  }
}

void writePasses(RunState& run) {
  const int passes = passCount(run.p);
  if (passes == 0) return;
  const Step rapid{"a rapid move's Z", Field::RoughDepth};
  const double d = run.p.RoughDepth.value();
  const float h = toSingleN(addN(run.MaxZ.value_or(0.0f), run.StockAllowance, rapid), rapid);
  const std::size_t perStation = static_cast<std::size_t>(run.pointsPerStation());
  for (int k = 1; k <= passes; ++k) {
    run.out.comment("Roughing Pass no." + std::to_string(k), false);
    checkPassSlot(k);
    const Step step{"a roughing Z", Field::RoughDepth};
    const auto zOf = [&](double surface) { return passZ(surface, d, k, step); };
    // The plain writer's lines are written without a virtual call each.
    if (auto* plain = dynamic_cast<GcodeWriter*>(&run.out)) {
      writePassLines(*plain, run, perStation, zOf);
    } else {
      writePassLines(run.out, run, perStation, zOf);
    }
    const double zsafe = addN(passZ(h, d, k, rapid), 5.0, rapid);
    run.out.rapidMove(run.MaxZX, roughZWord(zsafe, run.MaxZ.value_or(0), "the rapid move of roughing pass", k));
  }
}

}  // namespace ventaro
