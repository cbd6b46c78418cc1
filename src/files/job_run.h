// One computation of a job and what both clients build from it: the
// program in the chosen controller's form, the station table, the machining
// report and the preview picture. The window keeps the run of its last
// "Compute" and exports from it; the command line builds what its options
// ask for. Both go through these functions, so a design gives the same
// bytes in either.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "blade/design_record.h"
#include "blade/shop_block.h"
#include "check/program_moves.h"
#include "core/job_parameters.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "gcode/file_bytes.h"
#include "machine/machine_settings.h"
#include "post/shop_program.h"
#include "toolpath/work_monitor.h"

namespace ventaro {

// A tool of the shop job, as its setup sheet lists it.
struct JobTool {
  int number = 0;
  ToolShape shape = ToolShape::Flat;
  double diameter = 0;
  int flutes = 0;
  std::optional<double> fluteLength;
  double depth = 0;   // how far below the block top it cuts
  double holder = 0;  // the holder's diameter
  std::optional<double> stickout;
};

struct JobRun {
  JobFields fields;         // the texts the run was computed from
  MachineSettings machine;  // and the machine it was written for
  std::string program;      // the controller's program; lines joined by CR LF, no break at the end
  // Asked for by the outputs beside the program, else empty: the stations
  // the run placed and the moves of the program as written, read once for
  // the report and the picture.
  DesignRecord record;
  ProgramMoves moves;
  std::string shopReport;  // the shop job's own report, which takes the machining report's place
  // With the outputs, and for the shop job: the parameters the run read,
  // read once for all of them.
  std::optional<BladeParameters> parameters;
  // The shop job's block, laid out once for the job and its check.
  std::optional<Block> block;
  // A job of several program files (GRBL's shop job, one per tool): each
  // file's suffix and text; `program` then holds them joined. Empty for a
  // job of one file.
  std::vector<ProgramPart> programParts;
  // The shop job's tools and the Z travel it needs.
  std::vector<JobTool> tools;
  double zTravelNeeded = 0;
  // Why a shop job has no stations of the plain program to show: the
  // station table and the preview raise it.
  std::optional<RunError> stationsError;
  // A run for the program's file alone holds the file's bytes here, and no
  // text in `program`.
  FileBytes file;
  // The two-sided job's programs, side A's and side B's (each its parts
  // joined), for the check of each side; empty for other jobs.
  std::vector<std::string> sides;
  // The two-sided job: from here along X the plank's end stays whole (the
  // tip's tab reaches into it).
  std::optional<double> plankEnd;
  // What of the stock holds the blade (the setup sheet's `keep`).
  std::vector<KeptBox> keep;
};

// The file of a program part: `path` with the part's suffix before its
// extension ("blade.gcode" and "-T1": "blade-T1.gcode").
std::string programPartPath(const std::string& path, const std::string& suffix);

// The names of the program files a run writes for `path` (one, or one per
// part), without their folders.
std::vector<std::string> programFileNames(const JobRun& run, const std::string& path);

// Computes the program for the fields and the machine, reporting progress
// to `progress` (may be null). The shop job is laid out from the stations
// the computation placed, for LinuxCNC or GRBL. With `outputs` the stations
// are kept and the moves read for the outputs built from them. Raises
// RunError, ControllerError, ShopError, and SettingError for a machine
// setting out of its range (only where the program takes the settings).
// The shop job's layout reports to `monitor` (may be null), which may stop
// it.
JobRun runJob(const JobFields& fields, const MachineSettings& machine, const SectionTable& table,
              ComputeObserver* progress, bool outputs, WorkMonitor* monitor = nullptr);

// A run for a client that writes the program's file and builds nothing from
// the run beside it (a design file needs none): the file's bytes, those of
// programFileBytes(program), are written as the program is computed, without
// the program's text, which a large program would make twice over. Raises
// as runJob.
JobRun runJobForFile(const JobFields& fields, const MachineSettings& machine, const SectionTable& table,
                     ComputeObserver* progress);

// The outputs of a run made with `outputs`: the station table of both
// sweeps (CSV), the machining report, which names a field to change by
// `name`, the client's own way to name a field, and the preview picture as
// SVG text.
std::string jobStationTable(const JobRun& run, const SectionTable& table);
std::string jobReport(const JobRun& run, const SectionTable& table, const FieldNamer& name = quotedLabel);
std::string jobPreviewSvg(const JobRun& run);

}  // namespace ventaro
