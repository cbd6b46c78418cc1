#include "blade/design_record.h"

#include <cassert>

namespace ventaro {

void DesignRecorder::progress(const std::string& figure) {
  if (next_) next_->progress(figure);
}

void DesignRecorder::station(Sweep sweep, int index, const BladeStation& station, float x) {
  auto& list = sweep == Sweep::Roughing ? record_.roughing : record_.finishing;
  StationRecord rec;
  rec.index = index;
  rec.station = station;
  rec.x = x;
  list.push_back(rec);
  if (next_) next_->station(sweep, index, station, x);
}

void DesignRecorder::point(Sweep sweep, int index, int j, const PlacedPoint& point) {
  auto& list = sweep == Sweep::Roughing ? record_.roughing : record_.finishing;
  // The computation announces a station before placing its points.
  assert(!list.empty() && list.back().index == index);
  assert(j >= SectionTable::kLower && j <= SectionTable::kUpper);
  list.back().points[static_cast<std::size_t>(j)] = point;
  if (next_) next_->point(sweep, index, j, point);
}

}  // namespace ventaro
