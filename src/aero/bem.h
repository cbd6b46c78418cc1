// The rotor's steady performance by blade element momentum (BEM) theory.
//
// The blade is cut into annuli from the hub to the tip. In each, the flow
// through the rotor is slowed by the axial induction a and set turning by
// the tangential induction a'; the blade element there meets the relative
// wind at the inflow angle phi, and its lift and drag must balance the
// momentum the annulus loses. Prandtl's factor F takes the loss at the tip
// and at the hub into account, and Buhl's correction the heavily loaded
// annuli (a above 0.4) where momentum theory fails. The inflow angle is
// found in each annulus as the root of one residual, bracketed (Ning's
// method), which always converges.
#pragma once

#include <vector>

#include "aero/polar.h"
#include "blade/blade_model.h"

namespace ventaro {

struct BladeElement {
  double r = 0;      // the annulus's middle, metres from the axis
  double width = 0;  // the annulus's width, metres
  double chord = 0;  // metres
  double twist = 0;  // radians, from the rotor plane
};

struct Rotor {
  int blades = 3;
  double tipRadius = 0, hubRadius = 0;  // metres
  std::vector<BladeElement> elements;   // from the hub out
};

// The designed blade in `count` annuli of equal width from where its airfoil
// begins (the hub, or the end of a root transition) to the tip.
Rotor rotorOf(const BladeModel& blade, int count = 40);

struct Air {
  double density = 1.225;      // kg/m³
  double viscosity = 1.81e-5;  // Pa s
};

struct BemOptions {
  bool tipLoss = true, hubLoss = true;
};

// One annulus at one operating point.
struct ElementState {
  double r = 0;         // metres
  double reynolds = 0;  // of the relative wind on the chord
  double alpha = 0;     // angle of attack, degrees
  double cl = 0, cd = 0;
  double a = 0, aPrime = 0;  // axial and tangential induction
  double inflow = 0;         // degrees
};

struct OperatingPoint {
  double tsr = 0;
  double cp = 0, ct = 0, cq = 0;             // power, thrust and torque coefficients
  double power = 0, thrust = 0, torque = 0;  // W, N, N m
  std::vector<ElementState> elements;
};

// The rotor at tip speed ratio `tsr` in a wind of `wind` m/s.
OperatingPoint analyse(const Rotor& rotor, const PolarSet& polars, double tsr, double wind, const Air& air = {},
                       const BemOptions& options = {});

// The torque (N m) on the rotor standing still in a wind of `wind` m/s:
// every element meets the wind at 90° less its twist, with no induction.
double startingTorque(const Rotor& rotor, const PolarSet& polars, double wind, const Air& air = {});

}  // namespace ventaro
