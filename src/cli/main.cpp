// ventaro-gcode: writes the G-code program of one blade from options named
// after the window's job fields.
#include <exception>
#include <new>
#include <string>

#include "cli/options.h"
#include "cli/run.h"
#include "files/output_files.h"

int main(int argc, char** argv) {
  using namespace ventaro::cli;
  try {
    ParseResult parsed;
    try {
      parsed = parseWithDesign(argc, argv);
    } catch (const ventaro::DesignError& error) {
      printError(std::string(kProgramName) + ": " + error.what());
      return kExitUsage;
    }
    if (parsed.usageError) {
      printError(std::string(kProgramName) + ": " + *parsed.usageError);
      printError(usageText().substr(0, usageText().size() - 1));
      return kExitUsage;
    }
    if (parsed.options.help) {
      if (auto failure = ventaro::writeStandardOutput(helpText())) {
        printError(std::string(kProgramName) + ": " + *failure);
        return kExitFailed;
      }
      return kExitOk;
    }
    return runGenerator(std::move(parsed.options));
  } catch (const std::bad_alloc&) {
    printError(std::string(kProgramName) + ": out of memory");
  } catch (const std::exception& error) {
    printError(std::string(kProgramName) + ": " + error.what());
  }
  return kExitFailed;
}
