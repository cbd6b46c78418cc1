#include "cli/options.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/station_count.h"
#include "files/output_files.h"
#include "files/performance.h"
#include "picture/preview_input.h"

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

using Error = std::optional<std::string>;
using Value = std::optional<std::string_view>;
template <class T>
using Slot = T& (*)(CliOptions&);  // where a row stores its value

OptionSpec fieldOptionSpec(Field field) {
  return {optionName(field),
          {},
          ValueKind::Required,
          "TEXT",
          field,
          fieldHelp(field),
          [field](CliOptions& o, Value v) -> Error {
            o.fields[field] = std::string(*v);
            o.given[static_cast<std::size_t>(field)] = true;
            return std::nullopt;
          }};
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

// The rows of the table by the kind of value they take.
OptionSpec fileRow(std::string_view name, std::string_view what, std::string help,
                   Slot<std::optional<std::string>> slot, std::string_view shortName = {}) {
  return {name, shortName, ValueKind::Required, "FILE", {}, std::move(help), [=](CliOptions& o, Value v) -> Error {
            if (v->empty()) return "the " + std::string(what) + " file name is empty";
            slot(o) = std::string(*v);
            return std::nullopt;
          }};
}

OptionSpec numberRow(std::string_view name, std::string_view unit, std::string help, std::string_view what,
                     Slot<double> slot) {
  return {name, {}, ValueKind::Required, unit, {}, std::move(help), [=](CliOptions& o, Value v) {
            return readNumber(*v, what, true, slot(o));
          }};
}

template <class T>
OptionSpec choiceRow(std::string_view name, std::string_view valueName, std::string help,
                     std::optional<T> (*byName)(std::string_view), std::string_view refusal, Slot<T> slot) {
  return {name, {}, ValueKind::Required, valueName, {}, std::move(help), [=](CliOptions& o, Value v) -> Error {
            const std::optional<T> choice = byName(*v);
            if (!choice) return std::string(refusal);
            slot(o) = *choice;
            return std::nullopt;
          }};
}

OptionSpec switchRow(std::string_view name, std::string_view shortName, std::string help, Slot<bool> slot) {
  return {name, shortName, ValueKind::None, {}, {}, std::move(help), [=](CliOptions& o, Value) -> Error {
            slot(o) = true;
            return std::nullopt;
          }};
}

// The defaults of the machine settings, as the help shows them.
std::string byDefault(double value) { return "default " + NumberText(value); }

// The options of the machine: the spindle speeds and the clearance serve the
// linuxcnc and grbl programs of either job; the tool shapes, the block top
// and the tolerance serve the shop job and the check.
void appendMachineRows(std::vector<OptionSpec>& table) {
  const ShopSettings initial;
  table.push_back(choiceRow<Job>("--job", "NAME",
                                 "plain (default: the window's program), shop\n"
                                 "(a job for a machine: layered roughing and\n"
                                 "drop-cutter finishing, for --controller\n"
                                 "linuxcnc, its default, or grbl) or two-sided\n"
                                 "(the whole blade from a plank of\n"
                                 "--blank-thickness: side A, then side B)",
                                 jobByName, "the job must be plain, shop or two-sided",
                                 [](CliOptions& o) -> Job& { return o.job; }));
  table.push_back({"--block-top",
                   {},
                   ValueKind::Required,
                   "MM",
                   {},
                   "Z of the block's top face (shop job, --check);\n"
                   "default the highest point of the blade plus the\nstock allowance",
                   [](CliOptions& o, Value v) -> Error {
                     double top = 0;
                     if (auto error = readNumber(*v, "the block top", false, top)) return error;
                     o.shop.blockTop = top;
                     return std::nullopt;
                   }});
  table.push_back(numberRow("--clearance", "MM",
                            "rapid moves this far above the block top (shop\n"
                            "job) or the program's highest Z (linuxcnc, grbl);\n" +
                                byDefault(initial.clearance),
                            "the clearance", [](CliOptions& o) -> double& { return o.shop.clearance; }));
  const auto shapeRow = [](std::string_view name, std::string help, Slot<ToolShape> slot) {
    return choiceRow<ToolShape>(name, "SHAPE", std::move(help), toolShapeByName, "the tool shape must be flat or ball",
                                slot);
  };
  table.push_back(shapeRow("--rough-shape", "roughing tool flat or ball (shop job, --check);\ndefault flat",
                           [](CliOptions& o) -> ToolShape& { return o.shop.roughShape; }));
  table.push_back(shapeRow("--fin-shape", "finishing tool ball or flat (shop job, --check);\ndefault ball",
                           [](CliOptions& o) -> ToolShape& { return o.shop.finShape; }));
  table.push_back(numberRow("--rough-rpm", "RPM",
                            "roughing spindle speed (linuxcnc, grbl);\n" + byDefault(initial.roughRpm),
                            "the spindle speed", [](CliOptions& o) -> double& { return o.shop.roughRpm; }));
  table.push_back(numberRow("--fin-rpm", "RPM",
                            "finishing spindle speed (linuxcnc, grbl);\n" + byDefault(initial.finRpm),
                            "the spindle speed", [](CliOptions& o) -> double& { return o.shop.finRpm; }));
  table.push_back(numberRow("--plunge-feed", "FEED",
                            "shop job: feed for moves into material along Z;\n" + byDefault(initial.plungeFeed),
                            "the plunge feed", [](CliOptions& o) -> double& { return o.shop.plungeFeed; }));
  table.push_back({"--tolerance",
                   {},
                   ValueKind::Required,
                   "MM",
                   {},
                   "how far a shop job path may depart from exact\n"
                   "contact with the surface, and a cut below it\n"
                   "that --check lets pass; 0.001 or more; " +
                       byDefault(initial.tolerance),
                   [](CliOptions& o, Value v) -> Error {
                     // The coordinates carry four decimals: a finer tolerance could not be kept.
                     if (auto error = readNumber(*v, "the tolerance", true, o.shop.tolerance)) return error;
                     if (o.shop.tolerance < kFinestTolerance) return "the tolerance must be 0.001 mm or more";
                     return std::nullopt;
                   }});
}

// A length that may be left out: "none" for not given.
OptionSpec lengthRow(std::string_view name, std::string help, std::string_view what, Slot<std::optional<double>> slot) {
  return {name, {}, ValueKind::Required, "MM", {}, std::move(help), [=](CliOptions& o, Value v) -> Error {
            if (*v == "none") {
              slot(o).reset();
              return std::nullopt;
            }
            double value = 0;
            if (auto error = readNumber(*v, what, true, value)) return *error + " or none";
            slot(o) = value;
            return std::nullopt;
          }};
}

// The options of the shop job's tools, machine and finish.
void appendFinishRows(std::vector<OptionSpec>& table) {
  const ShopSettings initial;
  table.push_back(numberRow("--rough-flutes", "N", "roughing tool's cutting edges; " + byDefault(initial.roughFlutes),
                            "the flute count", [](CliOptions& o) -> double& { return o.shop.roughFlutes; }));
  table.push_back(numberRow("--fin-flutes", "N", "finishing tool's cutting edges; " + byDefault(initial.finFlutes),
                            "the flute count", [](CliOptions& o) -> double& { return o.shop.finFlutes; }));
  table.push_back(numberRow("--rough-chip-load", "MM",
                            "the most a roughing tooth is meant to take, mm\nper tooth; the report warns above it "
                            "and below\n0.08; " +
                                byDefault(initial.roughChipLoad),
                            "the chip load", [](CliOptions& o) -> double& { return o.shop.roughChipLoad; }));
  table.push_back(numberRow("--fin-chip-load", "MM",
                            "the same for the finishing tool; " + byDefault(initial.finChipLoad), "the chip load",
                            [](CliOptions& o) -> double& { return o.shop.finChipLoad; }));
  table.push_back(lengthRow("--rough-reach",
                            "roughing tool's flute length: the report warns\nwhere it cuts deeper; "
                            "none (default) for not\nchecked",
                            "the flute length",
                            [](CliOptions& o) -> std::optional<double>& { return o.shop.roughReach; }));
  table.push_back(lengthRow("--fin-reach", "the same for the finishing tool", "the flute length",
                            [](CliOptions& o) -> std::optional<double>& { return o.shop.finReach; }));
  table.push_back(lengthRow("--z-travel",
                            "the machine's Z travel: a shop job that needs\nmore is refused; none "
                            "(default) for not checked",
                            "the Z travel", [](CliOptions& o) -> std::optional<double>& { return o.shop.zTravel; }));
  table.push_back(lengthRow("--rough-stickout",
                            "how far the roughing tool stands out below its\nholder: --check sweeps the holder "
                            "and counts\nwhere it meets material; none (default) for not\nchecked",
                            "the stick-out",
                            [](CliOptions& o) -> std::optional<double>& { return o.shop.roughStickout; }));
  table.push_back(lengthRow("--fin-stickout", "the same for the finishing tool", "the stick-out",
                            [](CliOptions& o) -> std::optional<double>& { return o.shop.finStickout; }));
  table.push_back(
      numberRow("--rough-holder", "MM",
                "the diameter of the roughing tool's holder\n(collet nut or chuck); " + byDefault(initial.roughHolder),
                "the holder diameter", [](CliOptions& o) -> double& { return o.shop.roughHolder; }));
  table.push_back(numberRow("--fin-holder", "MM", "the same for the finishing tool; " + byDefault(initial.finHolder),
                            "the holder diameter", [](CliOptions& o) -> double& { return o.shop.finHolder; }));
  table.push_back(numberRow("--scallop", "MM",
                            "shop job: the highest ridge the finishing passes\n"
                            "may leave between them; their spacing follows\n"
                            "from it, the tool and the slope; " +
                                byDefault(initial.scallop),
                            "the scallop height", [](CliOptions& o) -> double& { return o.shop.scallop; }));
}

// The outputs beside the program, and the switches.
void appendOutputRows(std::vector<OptionSpec>& table) {
  table.push_back(fileRow("--setup", "setup sheet",
                          "shop job: also write the setup sheet (JSON: the\n"
                          "block, the program's zero, the tools, the\n"
                          "program file, how to hold the block) to FILE",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.setup; }));
  table.push_back(fileRow("--performance", "performance table",
                          "also write the rotor's power, thrust and torque\n"
                          "coefficients at tip speed ratios 1 to 12 to FILE\n"
                          "(CSV: tsr, cp, ct, cq)",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.performance; }));
  table.push_back(fileRow("--power", "power curve",
                          "also write the rotor's power curve at wind speeds\n"
                          "3 to 15 m/s and the design tip speed ratio to\n"
                          "FILE (CSV: wind, rpm, power_w, torque_nm)",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.power; }));
  table.push_back(fileRow("--stl", "STL",
                          "also write the blade as a closed solid to FILE\n"
                          "(binary STL, millimetres, shaped as designed)",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.stl; }));
  table.push_back(fileRow("--templates", "templates",
                          "also write full-size section templates on A4\n"
                          "pages: one PDF for FILE.pdf, else SVG files of\n"
                          "a page each, FILE with -1, -2, ... before its\n"
                          "extension",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.templates; }));
  table.push_back({"--template-at",
                   {},
                   ValueKind::Required,
                   "MM,...",
                   {},
                   "the radii (mm) of the templates; default five,\n"
                   "evenly from where the airfoil begins to the tip",
                   [](CliOptions& o, Value v) -> Error {
                     std::vector<double> radii;
                     std::string_view rest = *v;
                     while (true) {
                       const std::size_t comma = rest.find(',');
                       const ParsedNumber r = parseNumber(rest.substr(0, comma));
                       if (r.status != ParseStatus::Ok || !std::isfinite(r.value) || !(r.value > 0) ||
                           radii.size() >= 50) {
                         return "the template radii must be up to 50 positive numbers of mm, separated by commas";
                       }
                       radii.push_back(r.value);
                       if (comma == std::string_view::npos) break;
                       rest = rest.substr(comma + 1);
                     }
                     o.outputs.templateRadii = std::move(radii);
                     return std::nullopt;
                   }});
  table.push_back(fileRow("--curves", "performance picture",
                          "also draw the Cp curve and the power curve to\n"
                          "FILE, .svg or .png",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.performancePicture; }));
  table.push_back({"--wind",
                   {},
                   ValueKind::Required,
                   "M/S",
                   {},
                   "the wind speed the performance is worked out at\n"
                   "(the report, --performance), at most 100; " +
                       byDefault(PerformanceSettings{}.wind),
                   [](CliOptions& o, Value v) -> Error {
                     double wind = 0;
                     if (auto error = readNumber(*v, "the wind speed", true, wind)) return error;
                     if (wind > kMaxWind) return "the wind speed must be at most 100 m/s";
                     o.performance.wind = wind;
                     return std::nullopt;
                   }});
  table.push_back(choiceRow<DesignMethod>("--method", "NAME",
                                          "how the blade is designed: classic (default: the\n"
                                          "rule the program follows) or schmitz (the optimum\n"
                                          "with wake rotation); the shop job, the\n"
                                          "performance",
                                          designMethodByName, "the method must be classic or schmitz",
                                          [](CliOptions& o) -> DesignMethod& { return o.blade.method; }));
  table.push_back({"--design-lift",
                   {},
                   ValueKind::Required,
                   "FROM",
                   {},
                   "the design lift coefficient: typed (default: the\n"
                   "field's) or polar (the airfoil's at the design\n"
                   "angle of attack, from the polars)",
                   [](CliOptions& o, Value v) -> Error {
                     if (*v != "typed" && *v != "polar") return "the design lift must be typed or polar";
                     o.blade.liftFromPolar = *v == "polar";
                     return std::nullopt;
                   }});
  table.push_back(lengthRow("--chord-cap",
                            "the widest chord; every section also within the\n"
                            "stock width, twisted; none (default) for no cap",
                            "the chord cap", [](CliOptions& o) -> std::optional<double>& { return o.blade.chordCap; }));
  table.push_back({"--straight",
                   {},
                   ValueKind::Required,
                   "F1,F2",
                   {},
                   "chord and twist straight through their values at\n"
                   "two fractions of the tip radius, e.g. 0.5,0.9;\n"
                   "none (default) for the method's curves",
                   [](CliOptions& o, Value v) -> Error {
                     if (*v == "none") {
                       o.blade.straight.reset();
                       return std::nullopt;
                     }
                     const auto pair = parseNumberPair(*v);
                     if (!pair || !(pair->first >= 0 && pair->first < pair->second && pair->second <= 1)) {
                       return "the straight chord needs two fractions of the tip radius, F1,F2 with 0 <= F1 < F2 "
                              "<= 1, or none";
                     }
                     o.blade.straight = pair;
                     return std::nullopt;
                   }});
  table.push_back(lengthRow("--blank-thickness",
                            "the plank the blade is made from: twist, and\n"
                            "chord if need be, limited so that every section\n"
                            "fits it, centred; none (default) for no limit",
                            "the blank thickness",
                            [](CliOptions& o) -> std::optional<double>& { return o.blade.blankThickness; }));
  table.push_back(
      {"--root-block",
       {},
       ValueKind::Required,
       "MM,MM",
       {},
       "a rectangular root block from the hub, its\n"
       "length and the transition's to the airfoil,\n"
       "e.g. 60,80; none (default) for the airfoil\n"
       "from the hub",
       [](CliOptions& o, Value v) -> Error {
         if (*v == "none") {
           o.blade.rootBlock.reset();
           return std::nullopt;
         }
         const auto pair = parseNumberPair(*v);
         if (!pair || !(pair->first >= 0 && pair->second > 0)) {
           return "the root block needs two lengths in mm, LENGTH,TRANSITION with the transition longer than 0, or "
                  "none";
         }
         o.blade.rootBlock = pair;
         return std::nullopt;
       }});
  table.push_back({"--airfoil",
                   {},
                   ValueKind::Required,
                   "NAME",
                   {},
                   "the blade's airfoil for the shop job, the STL\n"
                   "and the templates: naca followed by four digits\n"
                   "(naca2412), or a Selig or Lednicer .dat file;\n"
                   "default NACA 4412 as the program has it",
                   [](CliOptions& o, Value v) -> Error {
                     DesignSettings one;
                     one.airfoil = std::string(*v);
                     try {
                       (void)designAirfoil(one);
                     } catch (const AirfoilError& error) {
                       return error.what();
                     }
                     o.blade.airfoil = one.airfoil;
                     return std::nullopt;
                   }});
  table.push_back({"--polar",
                   {},
                   ValueKind::Required,
                   "FILE",
                   {},
                   "a polar of the blade's airfoil as XFOIL's PACC\n"
                   "writes it, for the performance; give one for\n"
                   "each Reynolds number; default the NACA 4412\n"
                   "polars shipped with Ventaro",
                   [](CliOptions& o, Value v) -> Error {
                     if (v->empty()) return "the polar file name is empty";
                     PerformanceSettings one;
                     one.polarFiles.emplace_back(*v);
                     try {
                       (void)performancePolars(one);
                     } catch (const PolarError& error) {
                       return error.what();
                     }
                     o.performance.polarFiles.emplace_back(*v);
                     return std::nullopt;
                   }});
  table.push_back(switchRow("--xfoil", {},
                            "the polars of the blade's airfoil from XFOIL,\n"
                            "run here (Debian's xfoil) at Re 50,000 to\n"
                            "1,000,000; takes some seconds",
                            [](CliOptions& o) -> bool& { return o.performance.xfoil; }));
  table.push_back(fileRow("--stations", "station table", "also write the station table of both sweeps\nto FILE (CSV)",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.stations; }));
  table.push_back({"--report",
                   {},
                   ValueKind::Optional,
                   "FILE",
                   {},
                   "also write the machining report (moves, path\n"
                   "lengths, times, boxes, block size, warnings) to\n"
                   "FILE, or to standard output when the program\n"
                   "goes to a file (-o)",
                   [](CliOptions& o, Value v) -> Error {
                     if (v && v->empty()) return "the report file name is empty";
                     o.outputs.report = true;
                     o.outputs.reportFile = v ? std::optional<std::string>(std::string(*v)) : std::nullopt;
                     return std::nullopt;
                   }});
  table.push_back(fileRow("--preview", "preview", "also draw the preview picture to FILE, .svg\nor .png",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.preview; }));
  table.push_back({"--check",
                   {},
                   ValueKind::Optional,
                   "FILE",
                   {},
                   "simulate the program on its block with the tools'\n"
                   "real shapes and print what a machine would meet\n"
                   "(to standard output when the program goes to a\n"
                   "file, -o; else to standard error); exit status 3\n"
                   "for a rapid move through material or a cut below\n"
                   "the blade beyond --tolerance; with FILE (.svg or\n"
                   ".png) also draw the milled block",
                   [](CliOptions& o, Value v) -> Error {
                     if (v && v->empty()) return "the check picture file name is empty";
                     if (v && !(v->size() > 4 && (v->ends_with(".png") || v->ends_with(".svg")))) {
                       return "the check picture must be a .svg or .png file";
                     }
                     o.outputs.check = true;
                     o.outputs.checkPicture = v ? std::optional<std::string>(std::string(*v)) : std::nullopt;
                     return std::nullopt;
                   }});
  table.push_back(numberRow("--check-grid", "MM",
                            "the check's cell size, at most a quarter of the\nsmaller tool's radius; " +
                                byDefault(kDefaultCheckGrid) + ",\nor that quarter where finer",
                            "the check grid", [](CliOptions& o) -> double& { return o.outputs.checkGrid; }));
  table.push_back(switchRow("--quiet", {}, "do not print the \"progress: \" line on standard error",
                            [](CliOptions& o) -> bool& { return o.quiet; }));
  table.push_back(switchRow("--help", "-h", "print this help and exit", [](CliOptions& o) -> bool& { return o.help; }));
}

std::vector<OptionSpec> buildTable() {
  std::vector<OptionSpec> table;
  for (Field field : kFieldOrder) table.push_back(fieldOptionSpec(field));
  table.push_back(fileRow(
      "--output", "output",
      "write the program to FILE instead of standard output;\n"
      "FILE is replaced only once the new one is complete",
      [](CliOptions& o) -> std::optional<std::string>& { return o.output; }, "-o"));
  table.push_back({"--controller",
                   {},
                   ValueKind::Required,
                   "NAME",
                   {},
                   "plain (default: the window's program), linuxcnc\n"
                   "(adds G21 G90; T M6 G43 H and M3 S at each\n"
                   "tool; a retract, M5 and a pause before T2; a\n"
                   "retract, M5 and M2 at the end) or grbl (the same\n"
                   "without M6, G43 and G64; lines within 80\n"
                   "characters)",
                   [](CliOptions& o, Value v) -> Error {
                     const auto controller = controllerByName(*v);
                     if (!controller) return "the controller must be plain, linuxcnc or grbl";
                     o.controller = *controller;
                     o.controllerGiven = true;
                     return std::nullopt;
                   }});
  table.push_back(fileRow("--design", "design",
                          "take the job fields and the machine settings\n"
                          "from the design file FILE; the options given\n"
                          "here override it",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.design; }));
  table.push_back(fileRow("--save-design", "design",
                          "also write this run's job fields (station\n"
                          "counts as used) and machine settings to the\n"
                          "design file FILE",
                          [](CliOptions& o) -> std::optional<std::string>& { return o.outputs.saveDesign; }));
  appendMachineRows(table);
  appendFinishRows(table);
  appendOutputRows(table);
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
  start.performance = design.machine.performance;
  start.blade = design.machine.design;
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

std::optional<std::string> usageConflict(const CliOptions& options) {
  if (forMachine(options.job) && options.controllerGiven && options.controller == Controller::Plain) {
    return "the " + std::string(jobName(options.job)) +
           " job is written for a machine: give --controller linuxcnc (its default) or grbl, not plain";
  }
  if (options.job == Job::Shop && options.controller == Controller::Grbl && !options.output) {
    return "the grbl shop job is one program per tool: give -o FILE (they are written as FILE with -T1, -T2 "
           "before its extension)";
  }
  if (options.job == Job::TwoSided && !options.output) {
    return "the two-sided job is one program per side: give -o FILE (they are written as FILE with -A, -B "
           "before its extension)";
  }
  if (options.outputs.setup && !forMachine(options.job)) {
    return "the setup sheet is written for the shop job: give --job shop with --setup";
  }
  if (options.outputs.report && !options.outputs.reportFile && !options.output) {
    return "the report and the program cannot both go to standard output: give -o FILE or --report=FILE";
  }
  // The design being read is an input: one mistyped name must not replace
  // it with a program. Saving the design over itself stays allowed.
  if (options.design) {
    const std::pair<const std::optional<std::string>*, const char*> outputs[] = {
        {&options.output, "-o"},
        {&options.outputs.stations, "--stations"},
        {&options.outputs.setup, "--setup"},
        {&options.outputs.reportFile, "--report"},
        {&options.outputs.preview, "--preview"},
        {&options.outputs.checkPicture, "--check"},
        {&options.outputs.performance, "--performance"},
        {&options.outputs.power, "--power"},
        {&options.outputs.performancePicture, "--curves"},
        {&options.outputs.stl, "--stl"},
        {&options.outputs.templates, "--templates"},
    };
    for (const auto& [path, option] : outputs) {
      if (*path && sameExistingFile(**path, *options.design)) {
        return "the design \"" + *options.design + "\" is read by this run; " + option + " cannot write over it";
      }
    }
  }
  if (options.outputs.performancePicture) {
    try {
      (void)previewFormat(*options.outputs.performancePicture);
    } catch (const PreviewError& error) {
      return error.what();
    }
  }
  if (options.outputs.preview) {
    try {
      (void)previewFormat(*options.outputs.preview);
    } catch (const PreviewError& error) {
      return error.what();
    }
  }
  return std::nullopt;
}

Design designOf(const CliOptions& options) {
  Design design;
  design.fields = options.fields;
  design.machine.controller = options.controller;
  design.machine.job = options.job;
  design.machine.shop = options.shop;
  design.machine.performance = options.performance;
  design.machine.design = options.blade;
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
