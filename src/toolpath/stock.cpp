#include "toolpath/stock.h"

namespace ventaro {

void travelOver(const Stock& stock, const Cutter& cutter, std::vector<PathMove>& moves, const Vec3& to) {
  constexpr double kLift = 2;
  if (moves.empty()) {
    moves.push_back({PathMoveKind::Rapid, {to.x, to.y, to.z + 1}});
    moves.push_back({PathMoveKind::Plunge, to});
    return;
  }
  const Vec3 at = moves.back().to;
  const double r = cutter.radius + kStockRim;
  const double clear = stock.highest(std::min(at.x, to.x) - r, std::min(at.y, to.y) - r, std::max(at.x, to.x) + r,
                                     std::max(at.y, to.y) + r) +
                       kLift;
  const double z = std::max({clear, at.z, to.z + 1});
  if (at.z < z) moves.push_back({PathMoveKind::Rapid, {at.x, at.y, z}});
  moves.push_back({PathMoveKind::Rapid, {to.x, to.y, z}});
  if (z > to.z + 1) moves.push_back({PathMoveKind::Rapid, {to.x, to.y, to.z + 1}});
  moves.push_back({PathMoveKind::Plunge, to});
}

}  // namespace ventaro
