#include "cli/extras_run.h"

#include "cli/preview_loader.h"
#include "machining/controller_profile.h"
#include "machining/machining_report.h"
#include "machining/preview_input.h"
#include "machining/station_csv.h"

namespace ventaro::cli {

std::optional<std::string> extrasUsageError(const CliOptions& options) {
  if (options.report && !options.reportFile && !options.output) {
    return "the report and the program cannot both go to standard output: give -o FILE or --report=FILE";
  }
  if (options.preview) {
    try {
      (void)previewFormat(*options.preview);
    } catch (const PreviewError& error) {
      return error.what();
    }
  }
  return std::nullopt;
}

bool needsDesignRecord(const CliOptions& options) { return options.stations || options.report || options.preview; }

std::optional<std::string> prepareExtras(const CliOptions& options, std::string& program, const DesignRecord& record,
                                         const SectionTable& table, ExtraOutputs& out) {
  try {
    program = forController(std::move(program), options.controller);
    if (options.stations) {
      out.files.emplace_back(*options.stations, stationCsv(record, stationGeometry(options.fields), table));
    }
    if (options.report) {
      std::string text = machiningReport(program, record, options.fields, table);
      if (options.reportFile) {
        out.files.emplace_back(*options.reportFile, std::move(text));
      } else {
        out.reportText = std::move(text);
      }
    }
    if (options.preview) {
      out.files.emplace_back(*options.preview,
                             previewThroughModule(record, program, options.fields, previewFormat(*options.preview)));
    }
  } catch (const ControllerError& error) {
    return error.what();
  } catch (const PreviewError& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace ventaro::cli
