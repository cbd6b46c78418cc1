// The setup sheet of a shop job: where the work zero lies, the block, each
// tool, each program file and how to hold the block, for the operator
// (setupSheetText, the window's page) and for other tools (setupSheetJson,
// the file of --setup). The JSON form is read by other programs, so its
// keys stay as they are:
//
//   {"format": "ventaro-setup", "version": 1, "units": "mm",
//    "blank": {"x": [x0, x1], "y": [y0, y1], "z": [z0, z1]},
//    "keep": [ {"x": [..], "y": [..], "z": [..]} ],
//    "setups": [{"name": "A", "program": "blade.ngc",
//                "to_program": [[1,0,0,ox],[0,1,0,oy],[0,0,1,oz]],
//                "tools": [{"number": 1, "shape": "flat", "diameter": 37.0,
//                           "flutes": 2, "reach": 60.0}]}]}
//
// `blank` is the stock in the blade frame (X the radius, Y across the
// stock, Z up); `keep` the boxes that must stay (none for a job that mills
// the upper surface only); `to_program` maps a blade-frame point (x, y, z, 1)
// to the program's coordinates, whose +Z is the tool axis; `program` names
// the program file beside the setup file, or lists the files run in order
// (GRBL: one per tool), null when the program was not written to a file; a
// tool's `reach` is its flute length (null when not given).
#pragma once

#include <string>
#include <vector>

#include "files/job_run.h"

namespace ventaro {

// Raises ShopError for a run that is not a shop job.
std::string setupSheetJson(const JobRun& run, const std::vector<std::string>& programFiles);
std::string setupSheetText(const JobRun& run, const std::vector<std::string>& programFiles);

}  // namespace ventaro
