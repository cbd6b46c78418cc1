// Polars of any airfoil from XFOIL, run here as a program of its own.
//
// Each Reynolds number is swept twice, from 0° up and from just below 0°
// down, so that every point starts from a converged neighbour; XFOIL's
// polar accumulation (PACC) keeps only the points that converge, and the
// two sweeps are joined in order of angle.
//
// Debian's xfoil traps floating-point exceptions and dies with SIGFPE in
// ordinary viscous sweeps, where XFOIL itself would carry on. A small
// library preloaded into it leaves the exceptions untrapped; where that is
// missing, a sweep that dies is taken up again past the angle it died at,
// the points it had written kept.
#pragma once

#include <string>
#include <vector>

#include "aero/polar.h"
#include "blade/airfoil.h"

namespace ventaro {

struct XfoilOptions {
  std::string program = "xfoil";
  // The library that leaves floating-point exceptions untrapped; the one
  // built with Ventaro by default, "" for none.
  std::string preload = defaultPreload();
  std::vector<double> reynolds{50000, 100000, 200000, 500000, 1000000};
  double lowest = -8, highest = 18, step = 1;  // degrees
  int iterations = 100;                        // XFOIL's viscous iterations per point
  double timeoutSeconds = 120;                 // per sweep

  static std::string defaultPreload();
};

// Whether `program` can be found and run (on the PATH, or a path).
bool xfoilInstalled(const std::string& program = "xfoil");

// One polar per Reynolds number of `airfoil`, NACA 4412 as tabulated when
// it is null; a Reynolds number where fewer than five angles converge is
// left out. Raises PolarError when XFOIL cannot be run, runs past its
// time, or leaves no Reynolds number.
std::vector<Polar> xfoilPolars(const Airfoil* airfoil, const XfoilOptions& options = {});

}  // namespace ventaro
