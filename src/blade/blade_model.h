// The blade as designed, at any radius: the upper surface's section worked
// out from the rotor parameters by the same rule and placement that give the
// program's stations (inflow angle, chord, twist, offsets, the 18 airfoil
// points turned and scaled), but at the radius asked and in double
// precision. The program's stations are samples of this blade; the shop job
// mills the blade itself, and the check measures a program against it.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <utility>

#include "blade/airfoil.h"
#include "core/job_parameters.h"
#include "core/section_table.h"
#include "machine/machine_settings.h"

namespace ventaro {

struct SectionPoint {
  double y = 0, z = 0;  // millimetres
};

// The upper surface's points across the chord, leading edge first.
using Section = std::array<SectionPoint, SectionTable::kUpper>;

class BladeModel {
 public:
  // Reads the rotor parameters once. Raises ShopError when they give no
  // blade (a tip not beyond the hub, a blade of no finite shape). The
  // design settings shape it beyond the rule; `lift`, when given, is the
  // design lift coefficient in place of the field's (read from a polar).
  // `airfoil`, when given, takes the place of NACA 4412 (the table's upper
  // points and its tabulated lower ordinates), read at the table's
  // chordwise stations.
  BladeModel(const BladeParameters& parameters, const SectionTable& table, const DesignSettings& design = {},
             std::optional<double> lift = std::nullopt, const Airfoil* airfoil = nullptr);

  // The section at `x` mm from the rotor axis. Short of the hub it is the
  // hub's section, beyond the tip the tip's: the block's ends keep them.
  Section section(double x) const;
  // The lower surface's points at the same chordwise stations, placed the
  // same way: NACA 4412's tabulated lower ordinates. The leading edge is
  // the upper surface's; the trailing edge lies 0.26 % of the chord below
  // the upper surface's.
  Section lowerSection(double x) const;

  double hubX() const { return hubX_; }  // mm
  double tipX() const { return tipX_; }
  // Where the airfoil begins (mm from the axis): the hub, or the end of the
  // transition from a root block. Short of it the blade carries no lift.
  double airfoilFrom() const;

  // The blade's plan at `x` mm from the axis (the hub's and the tip's
  // beyond them): the chord in metres, the inflow angle at the design tip
  // speed ratio and the twist (the inflow angle less the design angle of
  // attack) in radians.
  struct Planform {
    double chord = 0, inflow = 0, twist = 0;
  };
  Planform planformAt(double x) const;

  // The airfoil in its own frame: percent of chord along and above the
  // chord line, leading edge first, for the upper and the lower surface.
  using Profile = std::array<std::pair<double, double>, SectionTable::kUpper>;
  Profile upperProfile() const;
  Profile lowerProfile() const;

  double tipSpeedRatio() const { return tsr_; }
  double blades() const { return blades_; }
  double designAlpha() const { return alpha_; }  // radians
  double designLift() const { return lift_; }
  double stockWidth() const { return width_ * 1000; }  // mm

 private:
  // The radius in metres, the inflow angle, millimetres per percent of
  // chord and the twist at x.
  struct Geometry {
    double r, phi, scale, twist;
  };
  Geometry geometryAt(double x) const;
  // The points (percent of chord across and up) placed at x, those of the
  // upper surface or the lower.
  Section placed(double x, const std::array<double, SectionTable::kUpper>& ys, bool upper) const;

  // The chord (m) and inflow angle of the design method alone, before a
  // straight line or a cap.
  std::pair<double, double> methodAt(double r) const;
  // The share of the chord (percent of chord) each point stands beside the
  // leading edge across the stock, turned by `twist`: the lowest and the
  // highest.
  std::pair<double, double> acrossAt(double twist) const;
  // The same upward: the lowest and the highest point above the leading
  // edge, turned by `twist`.
  std::pair<double, double> upAt(double twist) const;

  double tsr_, diameter_, blades_, alpha_, lift_, width_;  // as read: m, radians
  DesignSettings design_;
  double straightR1_ = 0, straightR2_ = 0;               // m
  std::pair<double, double> straight1_{}, straight2_{};  // chord, inflow there
  double hubX_, tipX_;
  std::array<double, SectionTable::kUpper> px_{}, py_{};  // percent of chord
  std::array<double, SectionTable::kUpper> lowerY_{};     // the lower surface at px_
};

// How the blade, both surfaces, sits in the stock: the most any section
// reaches past the stock's sides (Y 0 and the stock width) and between which
// radii some section does, and the heights of its lowest and highest point.
struct BladeFit {
  double offStock = 0;            // mm; 0 when every section lies on the stock
  double offFrom = 0, offTo = 0;  // mm from the axis
  double lowest = 0, highest = 0;
};
// Sections `step` mm apart from the hub to the tip.
BladeFit bladeFit(const BladeModel& blade, double step = 1);

// The surface's height over `y` in a section: the highest of its segments
// there (a twisted section can fold back over itself); beyond the leading
// and trailing edges the level of that edge.
double sectionHeight(const Section& section, double y);
// The same for any row of points across the chord.
double profileHeight(std::span<const SectionPoint> points, double y);

}  // namespace ventaro
