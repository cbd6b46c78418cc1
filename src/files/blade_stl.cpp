#include "files/blade_stl.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "files/job_run.h"
#include "machine/fixed_text.h"
#include "picture/section_templates.h"

namespace ventaro {

namespace {

struct Point {
  double x, y, z;
};

// The section at x as one closed loop: the upper surface from the leading
// to the trailing edge, then the lower surface back, the leading edge once.
constexpr std::size_t kLoop = 2 * SectionTable::kUpper - 1;

std::array<Point, kLoop> loopAt(const BladeModel& blade, double x) {
  const Section upper = blade.section(x), lower = blade.lowerSection(x);
  std::array<Point, kLoop> loop{};
  for (std::size_t j = 0; j < upper.size(); ++j) loop[j] = {x, upper[j].y, upper[j].z};
  for (std::size_t j = 1; j < lower.size(); ++j) loop[kLoop - j] = {x, lower[j].y, lower[j].z};
  return loop;
}

using Triangle = std::array<Point, 3>;

void putFloat(std::string& out, double v) {
  const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(v));
  for (int k = 0; k < 4; ++k) out += static_cast<char>((bits >> (8 * k)) & 0xff);
}

}  // namespace

std::string bladeStl(const BladeModel& blade, double spacing) {
  const double from = blade.hubX(), to = blade.tipX();
  const int gaps = std::max(1, static_cast<int>(std::ceil((to - from) / spacing)));
  std::vector<std::array<Point, kLoop>> loops;
  for (int i = 0; i <= gaps; ++i) loops.push_back(loopAt(blade, i == gaps ? to : from + (to - from) * i / gaps));

  // Every edge is met by two triangles that run along it in opposite
  // directions: the sides quad by quad, the root's end against the loop's
  // direction and the tip's along it.
  std::vector<Triangle> triangles;
  for (std::size_t i = 0; i + 1 < loops.size(); ++i) {
    for (std::size_t k = 0; k < kLoop; ++k) {
      const Point &a = loops[i][k], &b = loops[i][(k + 1) % kLoop];
      const Point &a1 = loops[i + 1][k], &b1 = loops[i + 1][(k + 1) % kLoop];
      triangles.push_back({a, b, b1});
      triangles.push_back({a, b1, a1});
    }
  }
  // An end in strips from the leading edge: between the upper surface's
  // point j and the lower surface's at the same share of the chord.
  const auto end = [&](const std::array<Point, kLoop>& loop, bool reversed) {
    const auto add = [&](std::size_t p, std::size_t q, std::size_t r) {
      triangles.push_back(reversed ? Triangle{loop[p], loop[r], loop[q]} : Triangle{loop[p], loop[q], loop[r]});
    };
    const std::size_t n = SectionTable::kUpper;
    add(0, 1, kLoop - 1);
    for (std::size_t j = 1; j + 1 < n; ++j) {
      add(j, j + 1, kLoop - j - 1);
      add(j, kLoop - j - 1, kLoop - j);
    }
  };
  end(loops.front(), true);
  end(loops.back(), false);

  // Outward: a solid's triangles, seen from outside, run counterclockwise,
  // and then enclose a positive volume. Turned round all together where
  // they do not.
  double volume = 0;
  for (const Triangle& t : triangles) {
    const Point &a = t[0], &b = t[1], &c = t[2];
    volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x)) / 6;
  }
  if (volume < 0) {
    for (Triangle& t : triangles) std::swap(t[1], t[2]);
  }

  std::string out = "Ventaro blade, binary STL in millimetres";
  out.resize(80, ' ');
  const auto count = static_cast<std::uint32_t>(triangles.size());
  for (int k = 0; k < 4; ++k) out += static_cast<char>((count >> (8 * k)) & 0xff);
  for (const Triangle& t : triangles) {
    const double ux = t[1].x - t[0].x, uy = t[1].y - t[0].y, uz = t[1].z - t[0].z;
    const double vx = t[2].x - t[0].x, vy = t[2].y - t[0].y, vz = t[2].z - t[0].z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0) nx /= length, ny /= length, nz /= length;
    for (double v : {nx, ny, nz}) putFloat(out, v);
    for (const Point& p : t) {
      for (double v : {p.x, p.y, p.z}) putFloat(out, v);
    }
    out += std::string(2, '\0');
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> templateFiles(const BladeModel& blade, const std::string& path,
                                                               const std::vector<double>& radii) {
  std::vector<double> at = radii;
  if (at.empty()) {
    // Five, evenly from where the airfoil begins to the tip.
    const double from = blade.airfoilFrom();
    for (int k = 0; k <= 4; ++k) at.push_back(from + (blade.tipX() - from) * k / 4);
  }
  std::vector<TemplateSection> sections;
  for (double x : at) {
    const BladeModel::Planform p = blade.planformAt(x);
    TemplateSection s;
    s.chord = p.chord * 1000;
    s.label = "r " + fixedText(std::clamp(x, blade.hubX(), blade.tipX()), 1) + " mm, chord " + fixedText(s.chord, 2) +
              " mm, twist " + fixedText(p.twist * 180 / std::numbers::pi, 2) + "\u00b0";
    for (const auto& [px, py] : blade.upperProfile()) s.upper.emplace_back(px * s.chord / 100, py * s.chord / 100);
    for (const auto& [px, py] : blade.lowerProfile()) s.lower.emplace_back(px * s.chord / 100, py * s.chord / 100);
    sections.push_back(std::move(s));
  }
  // A PDF holds every page; SVG pages are a file each.
  if (path.size() >= 4 && (path.ends_with(".pdf") || path.ends_with(".PDF"))) {
    return {{path, sectionTemplatePdf(sections)}};
  }
  const std::vector<std::string> pages = sectionTemplatePages(sections);
  std::vector<std::pair<std::string, std::string>> files;
  for (std::size_t k = 0; k < pages.size(); ++k) {
    files.emplace_back(programPartPath(path, "-" + std::to_string(k + 1)), pages[k]);
  }
  return files;
}

}  // namespace ventaro
