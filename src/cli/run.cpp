#include "cli/run.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "blade/shop_block.h"
#include "core/section_table.h"
#include "core/station_count.h"
#include "files/job_outputs.h"
#include "files/job_run.h"
#include "files/output_files.h"
#include "gcode/program_bytes.h"
#include "machine/machine_limits.h"
#include "picture/png_module_loader.h"
#include "picture/preview_input.h"

namespace ventaro::cli {

namespace {

// Keeps the last progress figure. A run whose sweeps have no station makes
// no update, and the window's progress field then still shows "0%".
class ProgressRecorder : public ComputeObserver {
 public:
  void progress(const std::string& figure) override { last_ = figure; }
  const std::string& last() const { return last_; }

 private:
  std::string last_ = "0%";
};

// The options a derived count is worked out from, for the hint.
std::string countOptions(Tool tool) {
  const std::array<Field, 4> from = countSources(tool);
  std::string text(optionName(from[0]));
  text += ", ";
  text += optionName(from[1]);
  text += ", ";
  text += optionName(from[2]);
  text += " and ";
  text += optionName(from[3]);
  return text;
}

// A PNG picture, or the reason this build cannot write one.
std::string pngPicture(std::string_view svg) {
  if (!pngModuleBuilt()) {
    throw PreviewError(
        "this ventaro-gcode was built without Qt and cannot write PNG pictures; an SVG picture "
        "(--preview FILE.svg, --check FILE.svg) needs no Qt");
  }
  return pngFromSvg(svg);
}

void reportRunError(const RunError& error) {
  std::string line(kProgramName);
  line += ": ";
  line += error.report(labelAndOption);
  printError(line);
}

// Writes every output of the run: the files all or nothing, then what goes
// to standard output (the program, or else the report and the check's
// figures; with the program there, the figures go to standard error).
// Returns the exit status.
int writeOutputs(const CliOptions& options, FileBytes bytes, bool programInParts, JobOutputs& extras) {
  OutputFiles files;
  if (options.output && !programInParts) files.add(*options.output, std::move(bytes));
  for (auto& [path, fileBytes] : extras.files) files.add(path, std::move(fileBytes));
  if (auto error = files.commit()) {
    printError(std::string(kProgramName) + ": " + error->text);
    return error->kind == OutputError::Kind::SameFile ? kExitUsage : kExitFailed;
  }
  std::optional<std::string> failure;
  if (!options.output) {
    failure = writeStandardOutput(bytes.view());
  } else if (extras.reportText) {
    failure = writeStandardOutput(*extras.reportText);
  }
  if (!failure && extras.checkText) {
    if (extras.checkToStandardOutput) {
      failure = writeStandardOutput(*extras.checkText);
    } else {
      std::fwrite(extras.checkText->data(), 1, extras.checkText->size(), stderr);
    }
  }
  if (failure) {
    printError(std::string(kProgramName) + ": " + *failure);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void printError(std::string_view line) {
  std::string text(line);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), stderr);
}

int runGenerator(CliOptions options) {
  // The shop job is written for LinuxCNC unless GRBL is asked for.
  if (forMachine(options.job) && !options.controllerGiven) options.controller = Controller::LinuxCnc;
  if (auto error = usageConflict(options)) {
    printError(std::string(kProgramName) + ": " + *error);
    return kExitUsage;
  }
  // The station counts come first: a count that cannot be worked out is a
  // failed run, not a silent fallback to the initial "100" or "50".
  for (Tool tool : {Tool::Finishing, Tool::Roughing}) {
    const Field field = stationField(tool);
    if (options.isGiven(field)) continue;
    try {
      options.fields[field] = derivedStationCountText(options.fields, tool);
    } catch (const RunError& error) {
      reportRunError(error);
      // The rotor fields are read by the computation too, so giving the
      // count would not help there; a tool field is read by the count alone.
      if (error.field() == Field::D || error.field() == Field::HubRad) return kExitFailed;
      std::string hint(kProgramName);
      hint += ": the ";
      hint += tool == Tool::Finishing ? "finishing" : "roughing";
      hint += " station count is worked out from ";
      hint += countOptions(tool);
      hint += "; give ";
      hint += optionName(field);
      hint += " to set it directly.";
      printError(hint);
      return kExitFailed;
    }
  }

  SectionTable table;
  table.fill();
  ProgressRecorder progress;
  JobOutputs extras;
  FileBytes bytes;
  bool programInParts = false;
  try {
    // The stations are recorded only for an output built from them; without
    // one, the program is written straight as the bytes of its file.
    const Design design = designOf(options);
    const bool fromRun = needsDesignRecord(options.outputs);
    JobRun run = fromRun ? runJob(options.fields, design.machine, table, &progress, true)
                         : runJobForFile(options.fields, design.machine, table, &progress);
    // The report names a feed to change by its label and its option.
    const OutputWays ways{labelAndOption,
                          [](Field field) { return quotedLabel(field) + ", " + std::string(optionName(field)); },
                          options.output.has_value(), pngPicture};
    // The setup sheet names the program file that lies beside it.
    OutputRequest request = options.outputs;
    request.programFile = options.output;
    if (auto failure = buildJobOutputs(request, design, run, table, ways, extras)) {
      printError(std::string(kProgramName) + ": " + *failure);
      return kExitFailed;
    }
    // A job of one file per tool writes them beside each other, all or
    // none; to a device or a pipe (-o /dev/null) they go one after the other.
    std::error_code ignored;
    const bool stream = !options.output || (std::filesystem::exists(*options.output, ignored) &&
                                            !std::filesystem::is_regular_file(*options.output, ignored));
    programInParts = !run.programParts.empty() && !stream;
    if (programInParts) {
      for (const ProgramPart& part : run.programParts) {
        extras.files.emplace(extras.files.begin(), programPartPath(*options.output, part.suffix),
                             programFileBytes(part.text));
      }
    }
    if (!programInParts) bytes = fromRun ? FileBytes(toProgramFileBytes(std::move(run.program))) : std::move(run.file);
  } catch (const RunError& error) {
    reportRunError(error);
    return kExitFailed;
  } catch (const ShopError& error) {
    printError(std::string(kProgramName) + ": " + error.text(labelAndOption));
    return kExitFailed;
  } catch (const CheckGridError& error) {
    printError(std::string(kProgramName) + ": the check: " + error.what() + ": give a " +
               (error.coarse() ? "smaller" : "larger") + " --check-grid");
    return kExitFailed;
  } catch (const SettingError& error) {
    printError(std::string(kProgramName) + ": " + error.text([](Setting setting) {
      return quotedSettingLabel(setting) + " (--" + std::string(settingKey(setting)) + ")";
    }));
    return kExitFailed;
  } catch (const ControllerError& error) {
    printError(std::string(kProgramName) + ": " + error.text(labelAndOption));
    return kExitFailed;
  } catch (const std::runtime_error& error) {
    printError(std::string(kProgramName) + ": " + error.what());
    return kExitFailed;
  }

  if (const int status = writeOutputs(options, std::move(bytes), programInParts, extras); status != kExitOk)
    return status;
  if (!options.quiet) printError("progress: " + progress.last());
  return extras.checkHazard ? kExitHazard : kExitOk;
}

}  // namespace ventaro::cli
