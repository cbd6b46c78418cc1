// The options of ventaro-gcode: one per job field, named after it and taking
// the field's text exactly as a user would type it, plus the output options.
// The table is data: a new option is one more row in optionTable().
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/job_parameters.h"
#include "core/run_error.h"
#include "files/design_file.h"
#include "files/job_outputs.h"
#include "machine/shop_settings.h"
#include "post/controller_profile.h"

namespace ventaro::cli {

inline constexpr std::string_view kProgramName = "ventaro-gcode";

// What one command line asks for, after parsing.
struct CliOptions {
  JobFields fields;                           // every field starts at its initial text
  std::array<bool, kFieldCount> given{};      // true where an option set the field
  std::optional<std::string> output;          // -o FILE; standard output when absent
  bool quiet = false;                         // no progress line
  Controller controller = Controller::Plain;  // --controller plain|linuxcnc|grbl
  bool controllerGiven = false;               //   true where --controller was given
  Job job = Job::Plain;                       // --job plain|shop
  ShopSettings shop;                          // the shop job's options
  PerformanceSettings performance;            // --wind, --polar
  DesignSettings blade;                       // --method, --design-lift, --chord-cap, --straight, ...
  std::optional<std::string> design;          // --design FILE: settings read from a design file
  OutputRequest outputs;                      // --save-design, --stations, --report, --preview, --check
  bool help = false;                          // print the option list and stop

  bool isGiven(Field field) const { return given[static_cast<std::size_t>(field)]; }
};

// How an option takes its value.
enum class ValueKind {
  None,      // a switch: "--quiet"
  Required,  // "--tsr 6" or "--tsr=6"; the next argument is taken whatever it is
  Optional,  // "--report" alone, "--report=FILE", or "--report FILE" when the next
             // argument does not begin with "-" (there are no plain arguments)
};

struct OptionSpec {
  std::string_view name{};       // "--tsr"
  std::string_view shortName{};  // "-o", or empty
  ValueKind kind = ValueKind::Required;
  std::string_view valueName{};  // "TEXT", "FILE": shown in the help
  std::optional<Field> field{};  // the job field it sets; listed with the fields
  std::string help{};            // after the option in the help; "\n" continues
  // Stores the value; absent only for a switch or an optional value not
  // given. May return an error text, which makes the command line bad usage.
  std::function<std::optional<std::string>(CliOptions&, std::optional<std::string_view>)> apply{};
};

// Every option, in the order the help lists them.
const std::vector<OptionSpec>& optionTable();

// The job fields in the order their options are listed.
const std::array<Field, kFieldCount>& fieldOptionOrder();

// The option that sets a field: "--hub-radius".
std::string_view optionName(Field field);

// How the command line names a field in its messages: the label the window
// shows, then the option, “Hub Radius / meter” (--hub-radius).
std::string labelAndOption(Field field);

struct ParseResult {
  CliOptions options;
  std::optional<std::string> usageError;  // set when the command line is bad usage
};

// Parses argv[1..] over `start`. Repeated options: the last one wins.
ParseResult parseOptions(int argc, const char* const* argv, const CliOptions& start = CliOptions{});

// Parses argv[1..]; with --design FILE, reads the design and parses again
// over its settings, so that the options override the design wherever
// they stand. Raises DesignError for a design that cannot be read.
ParseResult parseWithDesign(int argc, const char* const* argv);

// The run's settings as a design file holds them.
Design designOf(const CliOptions& options);

// A combination of options that cannot work, e.g. the report and the program
// both on standard output.
std::optional<std::string> usageConflict(const CliOptions& options);

// Two lines for bad usage; the help text for --help.
std::string usageText();
std::string helpText();

}  // namespace ventaro::cli
