#include "toolpath/raster_paths.h"

#include <algorithm>
#include <cmath>

namespace ventaro {

std::vector<double> rasterPositions(double x0, double x1, double stepover) {
  const double span = x1 - x0;
  const int n = std::max(1, static_cast<int>(std::ceil(span / stepover - 1e-9)));
  std::vector<double> xs;
  xs.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) xs.push_back(i == n ? x1 : x0 + span * i / n);
  return xs;
}

RasterHeights sampleRaster(std::vector<double> xs, double y0, double y1, double step, double refine, double rise,
                           const std::function<double(double, double)>& tipZ) {
  RasterHeights r;
  r.y0 = y0;
  r.y1 = y1;
  r.lines.reserve(xs.size());
  for (double x : xs) {
    r.lines.push_back(sampleProfile(y1 - y0, step, refine, rise, [&](double s) { return tipZ(x, y0 + s); }));
  }
  r.xs = std::move(xs);
  return r;
}

}  // namespace ventaro
