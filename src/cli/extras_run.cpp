#include "cli/extras_run.h"

#include "cli/check_run.h"
#include "cli/png_loader.h"
#include "machining/machining_report.h"
#include "machining/preview_input.h"
#include "machining/preview_svg.h"
#include "machining/shop_block.h"
#include "machining/shop_program.h"
#include "machining/shop_report.h"
#include "machining/station_csv.h"
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
  return options.stations || options.report || options.preview || options.check || options.job == Job::Shop;
}

namespace {

// The check of the program in its final form, last of the outputs.
std::optional<std::string> prepareCheck(const CliOptions& options, const std::string& program,
                                        const DesignRecord& record, ExtraOutputs& out) {
  try {
    CheckOutput check = checkRun(options, program, record);
    out.checkText = std::move(check.text);
    out.checkToStandardOutput = options.output.has_value();
    out.checkHazard = check.hazard;
    if (check.picture) out.files.push_back(std::move(*check.picture));
  } catch (const ShopError& error) {
    return "the check: " + error.text(labelAndOption);
  } catch (const ToolpathError& error) {
    return std::string("the check cannot follow the program: ") + error.what();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> prepareExtras(const CliOptions& options, std::string& program, const DesignRecord& record,
                                         const SectionTable& table, ExtraOutputs& out) {
  try {
    std::optional<std::string> shopText;
    if (options.job == Job::Shop) {
      // The shop job is written from the stations the computation placed;
      // the plain program only supplied them.
      const Controller controller = options.controllerGiven ? options.controller : Controller::LinuxCnc;
      const ShopPlan plan = planShopJob(options.fields, record, options.shop);
      program = shopProgram(plan, controller);
      if (options.report) shopText = shopReport(plan, controller, program);
    }
    if (!needsDesignRecord(options)) return std::nullopt;
    // The run succeeded, so its fields are read once more without fault; the
    // report and the picture share one reading of the program's moves.
    const BladeParameters params = readParameters(options.fields);
    const ProgramMoves moves =
        (options.report && !shopText) || options.preview ? readProgramMoves(program) : ProgramMoves{};
    if (options.stations) {
      out.files.emplace_back(*options.stations, stationCsv(record, stationGeometry(params), table));
    }
    if (options.report) {
      // The report names a feed to change by its label and its option.
      const auto labelComma = [](Field field) { return quotedLabel(field) + ", " + std::string(optionName(field)); };
      std::string text =
          shopText ? std::move(*shopText) : machiningReport(moves, record, options.fields, params, table, labelComma);
      if (options.reportFile) {
        out.files.emplace_back(*options.reportFile, std::move(text));
      } else {
        out.reportText = std::move(text);
      }
    }
    if (options.preview) {
      std::string svg = previewSvg(previewInput(record, moves, params));
      const bool png = previewFormat(*options.preview) == PreviewFormat::Png;
      out.files.emplace_back(*options.preview, png ? pngFromSvg(svg) : std::move(svg));
    }
    if (options.check) {
      if (auto failure = prepareCheck(options, program, record, out)) return failure;
    }
  } catch (const ShopError& error) {
    return error.text(labelAndOption);
  } catch (const PreviewError& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace ventaro::cli
