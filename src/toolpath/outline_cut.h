// The outline cut on a face of a plank. The roughing lines run across the
// chord a stepover apart; beside the blade each drops its flat end to the
// cut below the outline only where its whole footprint clears the outline,
// so between two lines a cusp of material stands against the blade's edge,
// as high as the edge. From its own face no tool reaches below it (a ball
// leans on the edge), and from the other face the cut there stops short of
// it: the blade would stay joined to the plank's sides. So, after the
// roughing, the roughing tool follows the outline on both sides, its side
// touching the outline (seen from above), in layers a roughing depth apart
// down to the finishing allowance above the cut: a wall straight down from
// the outline, as a profile cut leaves it.
#pragma once

#include <vector>

#include "blade/target_surface.h"
#include "toolpath/drop_cutter.h"
#include "toolpath/raster_paths.h"
#include "toolpath/stock.h"

namespace ventaro {

struct OutlineCutSettings {
  double allowance = 0;  // mm left above the cut, as the roughing leaves it
  double depth = 0;      // the layers' spacing
  double tolerance = 0;  // the tool stands this much farther from the outline
};

// Appends the outline cut's moves for the face whose outline and cut
// `floors` read (over the block and a tool radius beyond it) to `moves`
// (each pass entered where the tool's reach holds no material, the links
// over `stock`), lowers `stock` under them and returns the lowest tip Z
// (plus infinity for none). Each side is cut in the direction that keeps
// the blade on the tool's right: a clockwise spindle climbs.
double outlineCut(const OutlineFloors& floors, const Block& block, const Cutter& cutter,
                  const OutlineCutSettings& settings, Stock& stock, std::vector<PathMove>& moves);

}  // namespace ventaro
