#include "cli/extras_run.h"

#include "cli/png_loader.h"
#include "machining/design_file.h"
#include "machining/job_check.h"
#include "machining/preview_input.h"
#include "machining/shop_block.h"
#include "machining/toolpath.h"

namespace ventaro::cli {

std::optional<std::string> extrasUsageError(const CliOptions& options) {
  if (options.job == Job::Shop && options.controllerGiven && options.controller == Controller::Plain) {
    return "the shop job is written for a machine: give --controller linuxcnc (its default) or grbl, not plain";
  }
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

bool needsDesignRecord(const CliOptions& options) {
  return options.stations || options.report || options.preview || options.check;
}

namespace {

// The check of the program in its final form, last of the outputs.
std::optional<std::string> prepareCheck(const CliOptions& options, const JobRun& run, ExtraOutputs& out) {
  try {
    JobCheck check = checkJob(run, options.checkGrid, options.checkPicture.has_value());
    out.checkText = std::move(check.text);
    out.checkToStandardOutput = options.output.has_value();
    out.checkHazard = check.hazard;
    if (options.checkPicture) out.files.emplace_back(*options.checkPicture, std::move(check.picture));
  } catch (const ShopError& error) {
    return "the check: " + error.text(labelAndOption);
  } catch (const ToolpathError& error) {
    return std::string("the check cannot follow the program: ") + error.what();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> prepareExtras(const CliOptions& options, const JobRun& run, const SectionTable& table,
                                         ExtraOutputs& out) {
  try {
    if (options.saveDesign) {
      out.files.emplace_back(*options.saveDesign, designText(designOf(options), *options.saveDesign));
    }
    if (options.stations) out.files.emplace_back(*options.stations, jobStationTable(run, table));
    if (options.report) {
      // The report names a feed to change by its label and its option.
      const auto labelComma = [](Field field) { return quotedLabel(field) + ", " + std::string(optionName(field)); };
      std::string text = jobReport(run, table, labelComma);
      if (options.reportFile) {
        out.files.emplace_back(*options.reportFile, std::move(text));
      } else {
        out.reportText = std::move(text);
      }
    }
    if (options.preview) {
      std::string svg = jobPreviewSvg(run);
      const bool png = previewFormat(*options.preview) == PreviewFormat::Png;
      out.files.emplace_back(*options.preview, png ? pngFromSvg(svg) : std::move(svg));
    }
    if (options.check) {
      if (auto failure = prepareCheck(options, run, out)) return failure;
    }
  } catch (const ShopError& error) {
    return error.text(labelAndOption);
  } catch (const DesignError& error) {
    return error.what();
  } catch (const PreviewError& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace ventaro::cli
