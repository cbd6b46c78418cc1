#include "cli/options.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/station_count.h"

namespace ventaro::cli {

namespace {

// Every job field's option, in the order the help lists them, which is the
// order of the window's columns: rotor, passes and depths, feeds, tools, and
// last the two station counts, which follow from the tools.
struct FieldOption {
  Field field;
  std::string_view name;
};
constexpr std::array<FieldOption, kFieldCount> kFieldOptions{{
    {Field::TSR, "--tsr"},
    {Field::D, "--diameter"},
    {Field::HubRad, "--hub-radius"},
    {Field::B, "--blades"},
    {Field::AT, "--attack"},
    {Field::Cl, "--lift"},
    {Field::Max, "--max-chord"},
    {Field::RoughPassesNo, "--passes"},
    {Field::RoughDepth, "--rough-depth"},
    {Field::FinishDepth, "--finish-depth"},
    {Field::FinishFeed, "--finish-feed"},
    {Field::RoughFeed, "--rough-feed"},
    {Field::RoughDia, "--rough-dia"},
    {Field::RoughStep, "--rough-step"},
    {Field::FinDia, "--fin-dia"},
    {Field::FinStep, "--fin-step"},
    {Field::STNfinish, "--stations-finish"},
    {Field::STNrough, "--stations-rough"},
}};

constexpr std::array<Field, kFieldCount> fieldOrder() {
  std::array<Field, kFieldCount> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = kFieldOptions[i].field;
  return order;
}
constexpr std::array<Field, kFieldCount> kFieldOrder = fieldOrder();

std::string stationDefault(Field field) {
  const std::array<Field, 4> sources = countSources(field == Field::STNfinish ? Tool::Finishing : Tool::Roughing);
  std::string text = ";\ndefault worked out from ";
  text += optionName(sources[0]);
  text += ", ";
  text += optionName(sources[1]);
  text += ",\n";
  text += optionName(sources[2]);
  text += " and ";
  text += optionName(sources[3]);
  text += " (";
  text += JobFields::defaultText(field);
  text += " with the defaults)";
  return text;
}

std::string fieldHelp(Field field) {
  std::string text(fieldLabel(field));
  text += "; ";
  text += fieldInfo(field).unit;
  if (field == Field::STNfinish || field == Field::STNrough) {
    text += stationDefault(field);
  } else {
    text += "; default ";
    text += JobFields::defaultText(field);
  }
  return text;
}

OptionSpec fieldOptionSpec(Field field) {
  OptionSpec row;
  row.name = optionName(field);
  row.kind = ValueKind::Required;
  row.valueName = "TEXT";
  row.field = field;
  row.help = fieldHelp(field);
  row.apply = [field](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
    options.fields[field] = std::string(*value);
    options.given[static_cast<std::size_t>(field)] = true;
    return std::nullopt;
  };
  return row;
}

// A value in millimetres or another unit that must be a finite number,
// positive where asked.
std::optional<std::string> readNumber(std::string_view value, std::string_view what, bool positive, double& out) {
  const ParsedNumber n = parseNumber(value);
  if (n.status != ParseStatus::Ok || !std::isfinite(n.value) || (positive && !(n.value > 0))) {
    return std::string(what) + (positive ? " must be a positive number" : " must be a number");
  }
  out = n.value;
  return std::nullopt;
}

// The coordinates carry four decimals: a finer tolerance could not be kept.
std::optional<std::string> readTolerance(std::string_view value, double& out) {
  if (auto error = readNumber(value, "the tolerance", true, out)) return error;
  if (out < kFinestTolerance) return "the tolerance must be 0.001 mm or more";
  return std::nullopt;
}

OptionSpec numberOption(std::string_view name, std::string_view unit, std::string help, std::string_view what,
                        bool positive, double ShopSettings::*member) {
  return OptionSpec{
      .name = name,
      .kind = ValueKind::Required,
      .valueName = unit,
      .help = std::move(help),
      .apply = [what, positive, member](CliOptions& options, std::optional<std::string_view> value)
          -> std::optional<std::string> { return readNumber(*value, what, positive, options.shop.*member); },
  };
}

OptionSpec shapeOption(std::string_view name, std::string help, ToolShape ShopSettings::*member) {
  return OptionSpec{
      .name = name,
      .kind = ValueKind::Required,
      .valueName = "SHAPE",
      .help = std::move(help),
      .apply = [member](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        const auto shape = toolShapeByName(*value);
        if (!shape) return "the tool shape must be flat or ball";
        options.shop.*member = *shape;
        return std::nullopt;
      },
  };
}

// The options of the shop job (--job shop); the plain job ignores them.
void appendShopOptions(std::vector<OptionSpec>& table) {
  table.push_back(OptionSpec{
      .name = "--job",
      .kind = ValueKind::Required,
      .valueName = "NAME",
      .help = "plain (default: the window's program) or shop\n"
              "(a job for a machine: layered roughing and\n"
              "drop-cutter finishing, for --controller\n"
              "linuxcnc, its default, or grbl)",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        const auto job = jobByName(*value);
        if (!job) return "the job must be plain or shop";
        options.job = *job;
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--block-top",
      .kind = ValueKind::Required,
      .valueName = "MM",
      .help = "shop job: Z of the block's top face; default the\n"
              "highest point of the blade plus the stock allowance",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        double top = 0;
        if (auto error = readNumber(*value, "the block top", false, top)) return error;
        options.shop.blockTop = top;
        return std::nullopt;
      },
  });
  table.push_back(numberOption("--clearance", "MM",
                               "shop job: rapid moves only this far above the\nblock top; default 10", "the clearance",
                               true, &ShopSettings::clearance));
  table.push_back(
      shapeOption("--rough-shape", "shop job: roughing tool flat or ball; default flat", &ShopSettings::roughShape));
  table.push_back(
      shapeOption("--fin-shape", "shop job: finishing tool ball or flat; default ball", &ShopSettings::finShape));
  table.push_back(numberOption("--rough-rpm", "RPM", "shop job: roughing spindle speed; default 12000",
                               "the spindle speed", true, &ShopSettings::roughRpm));
  table.push_back(numberOption("--fin-rpm", "RPM", "shop job: finishing spindle speed; default 18000",
                               "the spindle speed", true, &ShopSettings::finRpm));
  table.push_back(numberOption("--plunge-feed", "FEED", "shop job: feed for moves into material along Z;\ndefault 300",
                               "the plunge feed", true, &ShopSettings::plungeFeed));
  table.push_back(OptionSpec{
      .name = "--tolerance",
      .kind = ValueKind::Required,
      .valueName = "MM",
      .help = "shop job: how far a path may depart from exact\n"
              "contact with the surface, 0.001 or more;\n"
              "default 0.01",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        return readTolerance(*value, options.shop.tolerance);
      },
  });
}

std::vector<OptionSpec> buildTable() {
  std::vector<OptionSpec> table;
  for (Field field : kFieldOrder) table.push_back(fieldOptionSpec(field));

  table.push_back(OptionSpec{
      .name = "--output",
      .shortName = "-o",
      .kind = ValueKind::Required,
      .valueName = "FILE",
      .help = "write the program to FILE instead of standard output;\n"
              "FILE is replaced only once the new one is complete",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value->empty()) return "the output file name is empty";
        options.output = std::string(*value);
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--controller",
      .kind = ValueKind::Required,
      .valueName = "NAME",
      .help = "plain (default: the window's program), linuxcnc\n"
              "(adds G21 G90, M6 with each tool call, a pause\n"
              "before T2, M2) or grbl (no G64, the same pause\n"
              "and M2, lines within 80 characters)",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        const auto controller = controllerByName(*value);
        if (!controller) return "the controller must be plain, linuxcnc or grbl";
        options.controller = *controller;
        options.controllerGiven = true;
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--design",
      .kind = ValueKind::Required,
      .valueName = "FILE",
      .help = "take the job fields and the machine settings\n"
              "from the design file FILE; the options given\n"
              "here override it",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value->empty()) return "the design file name is empty";
        options.design = std::string(*value);
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--save-design",
      .kind = ValueKind::Required,
      .valueName = "FILE",
      .help = "also write this run's job fields (station\n"
              "counts as used) and machine settings to the\n"
              "design file FILE",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value->empty()) return "the design file name is empty";
        options.saveDesign = std::string(*value);
        return std::nullopt;
      },
  });
  appendShopOptions(table);
  table.push_back(OptionSpec{
      .name = "--stations",
      .kind = ValueKind::Required,
      .valueName = "FILE",
      .help = "also write the station table of both sweeps\n"
              "to FILE (CSV)",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value->empty()) return "the station table file name is empty";
        options.stations = std::string(*value);
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--report",
      .kind = ValueKind::Optional,
      .valueName = "FILE",
      .help = "also write the machining report (moves, path\n"
              "lengths, times, boxes, block size, warnings) to\n"
              "FILE, or to standard output when the program\n"
              "goes to a file (-o)",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value && value->empty()) return "the report file name is empty";
        options.report = true;
        options.reportFile = value ? std::optional<std::string>(std::string(*value)) : std::nullopt;
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--preview",
      .kind = ValueKind::Required,
      .valueName = "FILE",
      .help = "also draw the preview picture to FILE, .svg\n"
              "or .png",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value->empty()) return "the preview file name is empty";
        options.preview = std::string(*value);
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--check",
      .kind = ValueKind::Optional,
      .valueName = "FILE.png",
      .help = "simulate the program on its block with the tools'\n"
              "real shapes and print what a machine would meet\n"
              "(to standard output when the program goes to a\n"
              "file, -o; else to standard error); exit status 3\n"
              "for a rapid move through material or a cut below\n"
              "the blade beyond --tolerance; with FILE.png also\n"
              "draw the milled block",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        if (value && value->empty()) return "the check picture file name is empty";
        if (value && !(value->size() > 4 && value->ends_with(".png"))) return "the check picture must be a .png file";
        options.check = true;
        options.checkPicture = value ? std::optional<std::string>(std::string(*value)) : std::nullopt;
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--check-grid",
      .kind = ValueKind::Required,
      .valueName = "MM",
      .help = "the check's cell size; default 0.5",
      .apply = [](CliOptions& options, std::optional<std::string_view> value) -> std::optional<std::string> {
        return readNumber(*value, "the check grid", true, options.checkGrid);
      },
  });
  table.push_back(OptionSpec{
      .name = "--quiet",
      .kind = ValueKind::None,
      .help = "do not print the \"progress: \" line on standard error",
      .apply = [](CliOptions& options, std::optional<std::string_view>) -> std::optional<std::string> {
        options.quiet = true;
        return std::nullopt;
      },
  });
  table.push_back(OptionSpec{
      .name = "--help",
      .shortName = "-h",
      .kind = ValueKind::None,
      .help = "print this help and exit",
      .apply = [](CliOptions& options, std::optional<std::string_view>) -> std::optional<std::string> {
        options.help = true;
        return std::nullopt;
      },
  });
  return table;
}

const OptionSpec* findLong(std::string_view name) {
  const auto& table = optionTable();
  const auto it = std::find_if(table.begin(), table.end(), [&](const OptionSpec& s) { return s.name == name; });
  return it == table.end() ? nullptr : &*it;
}

const OptionSpec* findShort(std::string_view name) {
  const auto& table = optionTable();
  const auto it = std::find_if(table.begin(), table.end(),
                               [&](const OptionSpec& s) { return !s.shortName.empty() && s.shortName == name; });
  return it == table.end() ? nullptr : &*it;
}

std::string quotedArg(std::string_view arg) {
  std::string text = "'";
  text += arg;
  text += "'";
  return text;
}

// Handles one argument at argv[i], advancing i past a value it takes.
// Returns the usage error, if any.
std::optional<std::string> parseOne(CliOptions& options, int argc, const char* const* argv, int& i) {
  const std::string_view arg = argv[i];
  std::string_view name = arg;
  std::optional<std::string_view> value;
  const OptionSpec* row = nullptr;

  if (arg.starts_with("--")) {
    if (const auto eq = arg.find('='); eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    row = findLong(name);
  } else if (arg.size() > 1 && arg.front() == '-') {
    row = findShort(name);
  } else {
    return "unexpected argument " + quotedArg(arg);
  }
  if (!row) return "unknown option " + quotedArg(name);

  switch (row->kind) {
    case ValueKind::None:
      if (value) return "option " + quotedArg(name) + " takes no value";
      break;
    case ValueKind::Required:
      if (!value) {
        // The next argument is the value whatever it looks like, so that
        // "--hub-radius -1" means what it says.
        if (i + 1 >= argc) return "option " + quotedArg(name) + " needs a value";
        value = argv[++i];
      }
      break;
    case ValueKind::Optional:
      if (!value && i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0') value = argv[++i];
      break;
  }
  // A line break in a value would split a line of the program in two.
  if (value && value->find_first_of("\r\n") != std::string_view::npos) {
    return "the value of " + quotedArg(name) + " holds a line break";
  }
  if (auto error = row->apply(options, value)) return "option " + quotedArg(name) + ": " + *error;
  return std::nullopt;
}

std::string optionColumn(const OptionSpec& row) {
  std::string text = "  ";
  if (!row.shortName.empty()) {
    text += row.shortName;
    text += ", ";
  }
  text += row.name;
  if (row.kind == ValueKind::Required) {
    text += ' ';
    text += row.valueName;
  } else if (row.kind == ValueKind::Optional) {
    text += "[=";
    text += row.valueName;
    text += ']';
  }
  return text;
}

void appendOptionLine(std::string& out, const OptionSpec& row, std::size_t column) {
  std::string left = optionColumn(row);
  out += left;
  out.append(column > left.size() ? column - left.size() : 1, ' ');
  // Continuation lines of the help text stand under its first line.
  for (char c : row.help) {
    out += c;
    if (c == '\n') out.append(column, ' ');
  }
  out += '\n';
}

}  // namespace

const std::vector<OptionSpec>& optionTable() {
  static const std::vector<OptionSpec> table = buildTable();
  return table;
}

const std::array<Field, kFieldCount>& fieldOptionOrder() { return kFieldOrder; }

std::string_view optionName(Field field) {
  for (const FieldOption& option : kFieldOptions) {
    if (option.field == field) return option.name;
  }
  return "";
}

std::string labelAndOption(Field field) {
  std::string text = quotedLabel(field);
  text += " (";
  text += optionName(field);
  text += ')';
  return text;
}

ParseResult parseOptions(int argc, const char* const* argv, const CliOptions& start) {
  ParseResult result{start, std::nullopt};
  for (int i = 1; i < argc; ++i) {
    if (auto error = parseOne(result.options, argc, argv, i)) {
      result.usageError = std::move(error);
      break;
    }
  }
  return result;
}

ParseResult parseWithDesign(int argc, const char* const* argv) {
  ParseResult first = parseOptions(argc, argv);
  if (first.usageError || first.options.help || !first.options.design) return first;
  const Design design = readDesignFile(*first.options.design);
  CliOptions start;
  start.fields = design.fields;
  start.controller = design.machine.controller;
  start.controllerGiven = true;  // the design chose it
  start.job = design.machine.job;
  start.shop = design.machine.shop;
  ParseResult second = parseOptions(argc, argv, start);
  // A station count is kept as the design holds it, not worked out again,
  // unless an option changes its tool: as in the window, where typing a
  // tool field after opening a design updates its count.
  CliOptions& options = second.options;
  const auto keep = [&options](Field count, Field dia, Field step) {
    if (!options.isGiven(dia) && !options.isGiven(step)) options.given[static_cast<std::size_t>(count)] = true;
  };
  keep(Field::STNfinish, Field::FinDia, Field::FinStep);
  keep(Field::STNrough, Field::RoughDia, Field::RoughStep);
  return second;
}

Design designOf(const CliOptions& options) {
  Design design;
  design.fields = options.fields;
  design.machine.controller = options.controller;
  design.machine.job = options.job;
  design.machine.shop = options.shop;
  return design;
}

std::string usageText() {
  std::string text = "Usage: ";
  text += kProgramName;
  text += " [OPTION...] [-o FILE]\nTry '";
  text += kProgramName;
  text += " --help' for the list of options.\n";
  return text;
}

std::string helpText() {
  const auto& table = optionTable();
  std::size_t column = 0;
  for (const auto& row : table) column = std::max(column, optionColumn(row).size() + 2);

  std::string text = "Usage: ";
  text += kProgramName;
  text +=
      " [OPTION...] [-o FILE]\n\n"
      "Designs one wind-turbine blade by the Betz optimum rule and writes its\n"
      "3-axis G-code program: the roughing passes with tool T1, then the\n"
      "finishing pass with tool T2.\n\n"
      "Each job option takes the text of its window field exactly as it would be\n"
      "typed there, and defaults to the field's initial text. Give a value as\n"
      "\"--option VALUE\" or \"--option=VALUE\"; it may be empty or begin with \"-\"\n"
      "(--attack -1). When an option is given more than once, the last one\n"
      "wins. A station count that is not given is worked out from the rotor and\n"
      "its tool, as the window does when a tool field is typed.\n\n"
      "Job fields (label; unit; default):\n";
  for (const auto& row : table) {
    if (row.field) appendOptionLine(text, row, column);
  }
  text += "\nOther options:\n";
  for (const auto& row : table) {
    if (!row.field) appendOptionLine(text, row, column);
  }
  text +=
      "\nThe program is written in Windows-1252 with CR LF after every line. On\n"
      "success the last line on standard error is \"progress: \" followed by the\n"
      "final progress figure. Exit status: 0 on success, 1 when the computation\n"
      "or the writing fails (no output file is created or changed), 2 for bad\n"
      "usage or a design file that cannot be read.\n";
  return text;
}

}  // namespace ventaro::cli
