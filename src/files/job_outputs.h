// What a run writes beside its program: the design file, the station table,
// the machining report, the rotor's performance tables, the preview picture
// and the material-removal check.
// Everything is built in memory from the one computation before anything is
// written, so a failure leaves no half set of files. The client says what it
// wants and how it names a field and makes a PNG picture.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/run_error.h"
#include "core/section_table.h"
#include "files/design_file.h"
#include "files/job_check.h"
#include "files/job_run.h"

namespace ventaro {

struct OutputRequest {
  std::optional<std::string> saveDesign;          // the run's settings as a design file
  std::optional<std::string> stations;            // the station table (CSV)
  bool report = false;                            // the machining report
  std::optional<std::string> reportFile;          //   its file; the report text otherwise
  std::optional<std::string> preview;             // the preview picture, .svg or .png
  bool check = false;                             // the material-removal check
  std::optional<std::string> checkPicture;        //   its picture
  double checkGrid = 0;                           //   its cell size; 0 for the default
  std::optional<std::string> setup;               // the shop job's setup sheet (JSON)
  std::optional<std::string> performance;         // the rotor's Cp, Ct and Cq against tip speed ratio (CSV)
  std::optional<std::string> power;               // its power curve against wind speed (CSV)
  std::optional<std::string> performancePicture;  // both curves drawn, .svg or .png
  std::optional<std::string> stl;                 // the blade as a closed solid (binary STL)
  std::optional<std::string> templates;           // the section templates, an SVG file per A4 page
  std::vector<double> templateRadii;              //   at these radii (mm); none: five along the span
  std::optional<std::string> programFile;         //   the program's file, when written to one
};

// The client's ways: how an error and the report name a field, whether the
// program goes to a file (the check's figures then take standard output),
// and the PNG file of an SVG picture (raising PreviewError).
struct OutputWays {
  FieldNamer errorName = quotedLabel;
  FieldNamer reportName = quotedLabel;
  bool programToFile = false;
  std::function<std::string(std::string_view svg)> png;
};

struct JobOutputs {
  std::vector<std::pair<std::string, std::string>> files;  // path, bytes; written with the program
  std::optional<std::string> reportText;                   // the report, not for a file
  std::optional<std::string> checkText;                    // the check's figures
  bool checkToStandardOutput = false;                      //   there, else to standard error
  bool checkHazard = false;                                //   it found a hazard
};

// Whether an output asked for is built from the stations the computation
// placed: a run without one need not record them.
bool needsDesignRecord(const OutputRequest& request);

// Builds the outputs asked for beside the run's program, the check last.
// Returns the error text when one cannot be built; raises CheckGridError
// for a check grid too fine, which each client answers its own way.
std::optional<std::string> buildJobOutputs(const OutputRequest& request, const Design& design, const JobRun& run,
                                           const SectionTable& table, const OutputWays& ways, JobOutputs& out);

}  // namespace ventaro
