// The shop job: the blade milled from its block on a real machine. Roughing
// with T1 in constant-Z layers from the block top down, one roughing depth
// apart, each clearing what lies above the target plus the finish depth,
// and a rest pass between its lines; then finishing with T2 in lines across
// the chord, as close as the scallop height allows for the tool and the
// slope along the span, each climbed from both sides of the block up to the
// section's crest. Every tool position comes from drop-cutter against the
// target with the tool's real shape, so no point under a tool lies below
// the target (plus the finish depth, when roughing) by more than the
// tool's tolerance.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "blade/shop_block.h"
#include "core/job_parameters.h"
#include "machine/shop_settings.h"
#include "toolpath/drop_cutter.h"
#include "toolpath/raster_paths.h"
#include "toolpath/work_monitor.h"

namespace ventaro {

struct ToolRun {
  int number = 0;  // T1, T2
  Cutter cutter;
  double rpm = 0;
  double feed = 0;  // for cuts; plunges take the plunge feed
  int flutes = 2;
  double chipLoadMax = 0;             // mm per tooth, the most a tooth is meant to take
  std::optional<double> fluteLength;  // mm; none: not checked
  std::optional<double> stickout;     // mm below the holder; none: not checked
  double holder = 0;                  // the holder's diameter, mm
  // The first move is the plunge to the start; all moves are feeds.
  std::vector<PathMove> moves;
  double lowest = 0;  // the lowest tip Z of the moves
};

struct ShopPlan {
  Block block;
  double clearanceZ = 0;      // block top + clearance: the height of every rapid move
  double tolerance = 0;       // of the finishing paths
  double roughTolerance = 0;  // of the roughing paths, above the allowance
  double plungeFeed = 0;
  double finishDepth = 0;
  double roughDepth = 0;
  int layers = 0;            // roughing layers; 0 when the block top lies below what roughing needs
  double roughStepover = 0;  // the spacing of the roughing lines
  // Lines of the rest pass between the roughing lines, where these leave
  // more than restLeft above the finishing allowance.
  int restLines = 0;
  double restLeft = 0;
  // The finishing lines: as far apart as the scallop allows on the level
  // (finStepover), closer where the surface slopes along the span (down to
  // finClosest); the highest ridge they leave between them.
  double finStepover = 0;
  double finClosest = 0;
  double scallop = 0;  // the setting
  double scallopLeft = 0;
  std::vector<ToolRun> tools;  // T1 (when it has layers to cut), T2
  // The Z travel the job needs: from the clearance height down to the
  // lowest tip, mm.
  double zTravelNeeded = 0;
  // How the blade sits in the stock, and whether its design fits it to a
  // plank (a blank thickness).
  BladeFit fit;
  bool plank = false;
  // A face of a plank: from here along X to the block's end the plank stays
  // whole; between the tip and here the tip's section reaches on as a tab.
  std::optional<double> plankEnd;
  // What of the plank holds the blade, in the frame of the plank's top
  // face: the root block, the tip's tab and the plank's end.
  std::vector<KeptBox> keep;
};

// On a face of a plank: how much longer the tip's tab is than the widest
// tool, or than the roughing tool's radius and the finishing tool's
// diameter together; how long the whole end of the plank beyond it; and
// how far past the finishing allowance each face cuts below the outline's
// edge, mm.
inline constexpr double kTipTabBeyondTool = 3;
inline constexpr double kPlankEndLength = 40;
inline constexpr double kOutlineCutPast = 1;

// The chip load a tool sees: its feed over its speed and cutting edges, mm
// per tooth.
double chipLoad(const ToolRun& run);

// The bounds of a job. Before it is laid out, the heights sampled under both
// tools (before refining) are estimated from its settings; before the
// roughing layers are written, the most moves they could take (one per
// sample above each layer, before thinning); while they are written, the
// program's lines. The default job samples about 24,000 heights and writes
// about 24,000 lines; 2,000,000 lines take about 70 MB of program text.
inline constexpr double kMaxShopSamples = 4e6;
inline constexpr double kMaxShopMoveEstimate = 50e6;
inline constexpr double kMaxShopMoves = 2e6;

// The job fields the shop job reads as numbers beyond what the computation
// read: the tools, their stepovers, the feeds and the depths, read once for
// the run.
struct ShopInputs {
  double roughDia = 0, roughStep = 0, finDia = 0;
  double roughFeed = 0, finishFeed = 0;
  double roughDepth = 0, finishDepth = 0;
};

// Reads them, with the bounds a machine needs. Raises ShopError naming the
// field, and SettingError for a tolerance not smaller than the tools or a
// scallop not smaller than the finishing tool.
ShopInputs readShopInputs(const JobFields& fields, const ShopSettings& settings);

// Lays out the whole job for the blade the rotor fields design, from what
// the run read. The block spans the blade from hub to tip and the stock
// width across; its top is the settings', the plank's thickness where the
// design gives one, or by default the highest point of the blade inside
// the block plus the stock allowance (passes times roughing depth plus
// finish depth). Raises ShopError for a job beyond the
// size bounds; reports to `monitor` (may be null), which may stop it.
// The blade is shaped by `design`, with `lift` in place of the typed lift
// coefficient and `airfoil` in place of NACA 4412 when given.
// With `face`, the job mills that face of the plank the design gives a
// thickness for (ShopError without one): the block is the plank, and the
// target the top or, turned over, the bottom of the closed section.
ShopPlan planShopJob(const ShopInputs& inputs, const BladeParameters& parameters, const ShopSettings& settings,
                     WorkMonitor* monitor = nullptr, const DesignSettings& design = {},
                     std::optional<double> lift = std::nullopt, const Airfoil* airfoil = nullptr,
                     std::optional<PlankFace> face = std::nullopt);
// The same from the field texts, each read for it.
ShopPlan planShopJob(const JobFields& fields, const ShopSettings& settings);

}  // namespace ventaro
