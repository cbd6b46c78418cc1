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
  std::vector<std::vector<ProfileSample>> lines;
  lines.reserve(xs.size());
  for (double x : xs) {
    lines.push_back(sampleProfile(y1 - y0, step, refine, rise, [&](double s) { return tipZ(x, y0 + s); }));
  }
  return rasterOfLines(std::move(xs), std::move(lines), y0, y1, step, refine, rise, tipZ);
}

RasterHeights rasterOfLines(std::vector<double> xs, std::vector<std::vector<ProfileSample>> lines, double y0, double y1,
                            double step, double refine, double rise,
                            const std::function<double(double, double)>& tipZ) {
  RasterHeights r;
  r.xs = std::move(xs);
  r.y0 = y0;
  r.y1 = y1;
  r.lines = std::move(lines);
  const double x0 = r.xs.front();
  std::vector<double> breaks;
  for (double x : r.xs) breaks.push_back(x - x0);
  for (int e = 0; e < 2; ++e) {
    const double y = e == 0 ? y0 : y1;
    r.edges[e] = sampleProfile(
        r.xs.back() - x0, step, refine, rise, [&](double s) { return tipZ(x0 + s, y); }, breaks);
    // Every X position is among the samples; find each in turn.
    std::size_t k = 0;
    for (double b : breaks) {
      while (k + 1 < r.edges[e].size() && r.edges[e][k].s < b) ++k;
      r.edgeIndex[e].push_back(k);
    }
  }
  return r;
}

RasterWriter::RasterWriter(const RasterHeights& raster, double tol, std::vector<PathMove>& out)
    : raster_(raster), tol_(tol), out_(out) {}

void RasterWriter::cutTo(const Vec3& p) {
  const Vec3& at = out_.back().to;
  if (p.x == at.x && p.y == at.y && p.z == at.z) return;
  // Straight down into the material is a plunge; anything else a cut.
  const bool down = p.x == at.x && p.y == at.y && p.z < at.z;
  out_.push_back({down ? PathMoveKind::Plunge : PathMoveKind::Cut, p});
}

void RasterWriter::alongLine(std::size_t i, double level) {
  const auto& samples = raster_.lines[i];
  clamped_.resize(samples.size());
  for (std::size_t k = 0; k < samples.size(); ++k) clamped_[k] = std::max(level, samples[k].z);
  const std::size_t last = samples.size() - 1;
  const std::size_t from = edge_ == 0 ? 0 : last, to = edge_ == 0 ? last : 0;
  const auto keep = thinProfile(samples, from, to, tol_, [&](std::size_t k) { return clamped_[k]; });
  for (const std::size_t k : keep) {
    // The ends exactly on the edges, where the edge moves meet them.
    const double y = k == 0 ? raster_.y0 : k == last ? raster_.y1 : raster_.y0 + samples[k].s;
    const Vec3 p{raster_.xs[i], y, clamped_[k]};
    if (!started_) {
      out_.push_back({PathMoveKind::Plunge, p});
      started_ = true;
    } else {
      cutTo(p);
    }
  }
  line_ = i;
  edge_ = 1 - edge_;
}

void RasterWriter::alongEdge(std::size_t from, std::size_t to, double level) {
  if (from == to) return;
  const auto& samples = raster_.edges[edge_];
  const std::size_t a = raster_.edgeIndex[edge_][from], b = raster_.edgeIndex[edge_][to];
  const std::size_t lo = std::min(a, b), hi = std::max(a, b);
  clamped_.resize(samples.size());
  for (std::size_t k = lo; k <= hi; ++k) clamped_[k] = std::max(level, samples[k].z);
  const auto keep = thinProfile(samples, a, b, tol_, [&](std::size_t k) { return clamped_[k]; });
  const double y = edge_ == 0 ? raster_.y0 : raster_.y1;
  for (std::size_t n = 1; n < keep.size(); ++n) {
    const std::size_t k = keep[n];
    // The last sample lies on the line's own X, exactly.
    cutTo({k == b ? raster_.xs[to] : raster_.xs.front() + samples[k].s, y, clamped_[k]});
  }
  line_ = to;
}

void RasterWriter::pass(double level, std::size_t first, std::size_t last) {
  // From where the pass before ended, along the edge at that pass's level;
  // the first line then starts with a plunge to the new level.
  if (started_) alongEdge(line_, first, level_);
  level_ = level;
  const int dir = last >= first ? 1 : -1;
  for (std::size_t i = first;; i += dir) {
    if (i != first) alongEdge(line_, i, level);
    alongLine(i, level);
    if (i == last) break;
  }
}

}  // namespace ventaro
