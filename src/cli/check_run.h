// The material-removal check of the program a run has just written
// (--check): its block and target from the same computation, the tools'
// shapes and diameters from the options, its text and its picture.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/options.h"
#include "machining/design_record.h"

namespace ventaro::cli {

// The check's outcome, before anything is written.
struct CheckOutput {
  std::string text;  // the figures, lines ending in "\n"
  bool hazard = false;
  std::optional<std::pair<std::string, std::string>> picture;  // path, PNG bytes
};

// Exit status of a run whose check found a hazard; the program is still written.
inline constexpr int kExitHazard = 3;

// Checks `program` (the final text, in the controller's form). Raises
// ShopError, ToolpathError or RunError when it cannot be checked.
CheckOutput checkRun(const CliOptions& options, std::string_view program, const DesignRecord& record);

}  // namespace ventaro::cli
