// The material-removal check: a program run on its block, each tool with its
// real shape, on a height map. Every move lowers the cells under it to the
// cutter's lower envelope over the move; before that, the material the move
// meets is measured. What a user must know before running the program on a
// machine comes out per tool: rapid moves through material, how deep a
// cutting move is buried, where the tool cuts below the designed surface,
// what it leaves above it and how far below the block's top it reaches.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "check/cutter_sweep.h"
#include "check/height_map.h"
#include "toolpath/work_monitor.h"

namespace ventaro {

// The designed surface the program should leave: its Z at a point of the
// block.
using TargetHeight = std::function<double(double x, double y)>;

// What holds a tool: a cylinder of `radius` whose flat underside stands
// `stickout` above the tool's tip, up without end.
struct Holder {
  double radius = 0;
  double stickout = 0;
};

struct CheckSettings {
  Block block;
  // Where the program's zero lies in the blade frame: a program point plus
  // this is a blade-frame point. The plain program's zero is the rotor axis.
  Vec3 origin{};
  double cell = 0.5;              // mm, the height map's grid
  double tolerance = 0.01;        // mm, how far below the target a cut may go
  std::map<int, Cutter> tools;    // by tool number
  std::map<int, Holder> holders;  // by tool number; a tool without one: not checked
  // Where the material left is judged on its own as well: the cells well
  // inside the block and the blade, away from the edges a tool of any size
  // rounds off. None: no such figure.
  std::function<bool(double x, double y)> interior;
  double interiorMargin = 0;  // mm, how far inside, for the text
};

// A rapid move through material is one that removes more than this (mm):
// anything above the rounding of the arithmetic.
inline constexpr double kRapidContact = 1e-6;

// A descent steeper than this (degrees from the horizontal) into more than
// kSteepContact mm of material is counted.
inline constexpr double kSteepDescent = 30;
inline constexpr double kSteepContact = 1;

struct ProgramLine {
  int line = 0;
  std::string text;
};

// Where a figure was found: the cell's centre and the program line.
struct Place {
  double x = 0, y = 0;
  int line = 0;
};

struct ToolFigures {
  int tool = 0;
  Cutter cutter;
  int cuttingMoves = 0, rapidMoves = 0;
  bool touchedBlock = false;  // whether any move of it came over the block
  int rapidsThroughMaterial = 0;
  std::vector<ProgramLine> firstRapidsThroughMaterial;  // at most kListedRapids
  double rapidDeepest = 0;                              // the most material a rapid move met, mm
  double deepestEngagement = 0;                         // of a cutting move, mm of material above the cutter's bottom
  Place engagementPlace;
  // Cutting moves that go down into material steeper than kSteepDescent,
  // meeting more than kSteepContact of it: the tool's bottom cuts, which a
  // flat end mill does badly and a plunge does worst.
  int steepDescents = 0;
  int firstSteepDescent = 0;  // its line
  // The deepest the tool cut material below the target, mm; 0 for none. A
  // pass through air already cut away by another tool is not a cut.
  double deepestBelowTarget = 0;
  Place belowTargetPlace;
  // After the tool's last move: material above the target.
  double leftLargest = 0, leftMean = 0;
  Place leftPlace;
  // The same within the interior: its mean and the depth that 99 in 100 of
  // its cells do not exceed; no cells, no figure.
  std::size_t interiorCells = 0;
  double interiorMean = 0, interiorP99 = 0;
  // Moves whose holder meets material (a collision), when the holder is
  // checked: how many, the first one's line and the most material met.
  bool holderChecked = false;
  Holder holder;
  int holderContacts = 0;
  int firstHolderContact = 0;
  double holderDeepest = 0;
  double lowest = 0;  // the lowest Z of the cutter over the block (the block top when it stays above)
  double reach = 0;   // block top - lowest
};

inline constexpr std::size_t kListedRapids = 5;

struct CheckResult {
  CheckSettings settings;
  std::vector<ToolFigures> tools;  // in the order the tools first move
  HeightMap finished;              // the block after the whole program
  std::vector<double> target;      // the target's Z at every cell, by HeightMap::index

  // A rapid move through material, a cut below the target deeper than the
  // tolerance or a holder meeting material.
  bool hazard() const;
};

// Runs `program` on the block. Raises ToolpathError for a program the check
// cannot follow, and for a move made with a tool that has no cutter in the
// settings. Reports to `monitor` (may be null), which may stop it.
CheckResult checkProgram(std::string_view program, const CheckSettings& settings, const TargetHeight& target,
                         WorkMonitor* monitor = nullptr);

}  // namespace ventaro
