// What a machine program needs beyond the job fields: the tools' shapes and
// spindle speeds, the plunge feed, the block top, the clearance and the
// tolerance of the compensated paths. The tool diameters, depths, stepovers
// and feeds stay in the job fields. The shop job takes all of them; the
// plain job's controller profiles take the spindle speeds and the clearance,
// so both jobs start from the same defaults.
#pragma once

#include <optional>
#include <string_view>

namespace ventaro {

// Which program a run writes: the window's program, or a job for a
// machine: the blade's upper surface from a block (shop), or the whole
// blade from a plank, milled from one face and then the other (two-sided).
enum class Job { Plain, Shop, TwoSided };

std::optional<Job> jobByName(std::string_view name);  // "plain", "shop", "two-sided"
std::string_view jobName(Job job);
// Whether the job is written for a machine from the shop settings.
inline bool forMachine(Job job) { return job != Job::Plain; }

// The cutting end of a tool: a flat end mill cuts with a flat disk, a
// ball-nose with a half sphere of the tool's radius.
enum class ToolShape { Flat, Ball };

std::optional<ToolShape> toolShapeByName(std::string_view name);  // "flat", "ball"
std::string_view toolShapeName(ToolShape shape);

// The finest tolerance: the program's coordinates carry four decimals.
inline constexpr double kFinestTolerance = 0.001;

struct ShopSettings {
  ToolShape roughShape = ToolShape::Flat;
  ToolShape finShape = ToolShape::Ball;
  double roughRpm = 12000;  // a large cutter in wood turns slower
  double finRpm = 18000;
  double plungeFeed = 300;         // mm/min, for moves into material along Z
  std::optional<double> blockTop;  // mm; worked out from the design when absent
  double clearance = 10;           // mm above the block top, for rapid moves
  double tolerance = 0.01;         // mm a path may depart from exact contact
  double scallop = 0.2;            // mm, the highest ridge the finishing passes may leave between them
  // The tools beyond their shapes: cutting edges, the most a tooth is meant
  // to take at a time (mm per tooth), and the length of the flutes (how
  // deep into material the tool can cut; none given: not checked).
  double roughFlutes = 2;
  double finFlutes = 2;
  double roughChipLoad = 0.3;
  double finChipLoad = 0.3;
  std::optional<double> roughReach;
  std::optional<double> finReach;
  // The machine's Z travel, mm; none given: not checked.
  std::optional<double> zTravel;
  // How far each tool stands out below its holder (collet nut or chuck),
  // mm, and the holder's diameter: the holder is a cylinder from that high
  // above the tip upwards. No stick-out given: the holder is not checked.
  std::optional<double> roughStickout;
  std::optional<double> finStickout;
  double roughHolder = 40;
  double finHolder = 40;
};

}  // namespace ventaro
