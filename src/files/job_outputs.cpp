#include "files/job_outputs.h"

#include "blade/shop_block.h"
#include "check/program_reader.h"
#include "files/blade_stl.h"
#include "files/job_check.h"
#include "files/performance.h"
#include "files/setup_sheet.h"
#include "picture/preview_input.h"

namespace ventaro {

bool needsDesignRecord(const OutputRequest& request) {
  return request.stations || request.report || request.preview || request.check;
}

namespace {

// The check of the program in its final form, last of the outputs.
std::optional<std::string> buildCheck(const OutputRequest& request, const JobRun& run, const OutputWays& ways,
                                      JobOutputs& out) {
  try {
    JobCheck check = checkJob(run, request.checkGrid, request.checkPicture.has_value());
    out.checkText = std::move(check.text);
    out.checkToStandardOutput = ways.programToFile;
    out.checkHazard = check.hazard;
    if (request.checkPicture) {
      const bool png = previewFormat(*request.checkPicture) == PreviewFormat::Png;
      if (png && !ways.png) throw PreviewError("this client cannot write PNG pictures");
      out.files.emplace_back(*request.checkPicture, png ? ways.png(check.picture) : std::move(check.picture));
    }
  } catch (const ShopError& error) {
    return "the check: " + error.text(ways.errorName);
  } catch (const ToolpathError& error) {
    return std::string("the check cannot follow the program: ") + error.what();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> buildJobOutputs(const OutputRequest& request, const Design& design, const JobRun& run,
                                           const SectionTable& table, const OutputWays& ways, JobOutputs& out) {
  try {
    if (request.saveDesign) out.files.emplace_back(*request.saveDesign, designText(design, *request.saveDesign));
    if (request.stations) out.files.emplace_back(*request.stations, jobStationTable(run, table));
    if (request.setup) {
      const std::vector<std::string> names =
          request.programFile ? programFileNames(run, *request.programFile) : std::vector<std::string>{};
      out.files.emplace_back(*request.setup, setupSheetJson(run, names));
    }
    if (request.report) {
      std::string text = jobReport(run, table, ways.reportName);
      if (request.reportFile) {
        out.files.emplace_back(*request.reportFile, std::move(text));
      } else {
        out.reportText = std::move(text);
      }
    }
    if (request.performance) {
      out.files.emplace_back(*request.performance, jobPerformanceCsv(run.fields, table, run.machine));
    }
    if (request.power) out.files.emplace_back(*request.power, jobPowerCsv(run.fields, table, run.machine));
    if (request.stl || request.templates) {
      const BladeModel blade =
          designedBlade(run.parameters ? *run.parameters : readParameters(run.fields), table, run.machine);
      if (request.stl) out.files.emplace_back(*request.stl, bladeStl(blade));
      if (request.templates) {
        for (auto& file : templateFiles(blade, *request.templates, request.templateRadii)) {
          out.files.push_back(std::move(file));
        }
      }
    }
    if (request.performancePicture) {
      std::string svg = jobPerformanceSvg(run.fields, table, run.machine);
      const bool png = previewFormat(*request.performancePicture) == PreviewFormat::Png;
      if (png && !ways.png) throw PreviewError("this client cannot write PNG pictures");
      out.files.emplace_back(*request.performancePicture, png ? ways.png(svg) : std::move(svg));
    }
    if (request.preview) {
      std::string svg = jobPreviewSvg(run);
      const bool png = previewFormat(*request.preview) == PreviewFormat::Png;
      if (png && !ways.png) throw PreviewError("this client cannot write PNG pictures");
      out.files.emplace_back(*request.preview, png ? ways.png(svg) : std::move(svg));
    }
    if (request.check) {
      if (auto failure = buildCheck(request, run, ways, out)) return failure;
    }
  } catch (const ShopError& error) {
    return error.text(ways.errorName);
  } catch (const DesignError& error) {
    return error.what();
  } catch (const PreviewError& error) {
    return error.what();
  } catch (const PolarError& error) {
    return error.what();
  } catch (const AirfoilError& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace ventaro
