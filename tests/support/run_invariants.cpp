#include "run_invariants.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "core/blade_stations.h"
#include "core/number_text.h"
#include "core/section_table.h"
#include "core/station_count.h"
#include "gcode/compute.h"
#include "gcode/program_bytes.h"
#include "program_grammar.h"

namespace ventaro::fuzzing {

namespace {

std::vector<std::string_view> splitInput(std::string_view input, std::size_t fields) {
  char separator = '\n';
  if (!input.empty() && input[0] == '\0') {
    separator = '\0';
    input.remove_prefix(1);
  }
  std::vector<std::string_view> texts;
  while (texts.size() < fields) {
    const std::size_t end = input.find(separator);
    if (end == std::string_view::npos) {
      // A last text without its separator still counts, unless empty.
      if (!input.empty()) texts.push_back(input);
      break;
    }
    texts.push_back(input.substr(0, end));
    input.remove_prefix(end + 1);
  }
  return texts;
}

bool holdsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A report is "<Kind>: <detail>.", however a client names the field.
std::string reportProblem(const RunError& e) {
  const std::string kind(kindName(e.kind()));
  const FieldNamer labelOnly = quotedLabel;
  const FieldNamer withHandle = [](Field field) { return quotedLabel(field) + " (--x)"; };
  for (const FieldNamer& name : {labelOnly, withHandle}) {
    const std::string report = e.report(name);
    if (report.substr(0, kind.size() + 2) != kind + ": " || report.size() < kind.size() + 4 || report.back() != '.') {
      return "malformed error report \"" + report + "\"";
    }
    for (const char c : report) {
      if (static_cast<unsigned char>(c) < 0x20) return "control character in error report \"" + report + "\"";
    }
  }
  if (e.field() && (static_cast<int>(*e.field()) < 0 || static_cast<int>(*e.field()) >= kFieldCount)) {
    return "error names no field of the window";
  }
  return "";
}

bool isNamedKind(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::TypeMismatch:
    case ErrorKind::Overflow:
    case ErrorKind::DivisionByZero:
    case ErrorKind::FloatingPoint:
    case ErrorKind::SubscriptOutOfRange:
      return true;
  }
  return false;
}

// A type mismatch must blame a field whose text is really not a number (or
// holds a line break, which no program line may carry).
std::string typeMismatchProblem(const RunError& e, const JobFields& fields) {
  if (e.kind() != ErrorKind::TypeMismatch) return "";
  if (!e.field()) return "type mismatch without a field: " + e.report();
  const std::string& text = fields[*e.field()];
  if (parseNumber(text).status == ParseStatus::NotANumber || holdsLineBreak(text)) return "";
  return "type mismatch blames a field holding a number: " + e.report();
}

class CountingObserver : public ComputeObserver {
 public:
  void progress(const std::string& figure) override {
    ++figures;
    if (figure.size() < 2 || figure.size() > 6 || figure.back() != '%') bad = figure;
  }
  int figures = 0;
  std::string bad;
};

int stationsOf(int lastStation) { return lastStation < 0 ? 0 : lastStation + 1; }

std::string fileBytesProblem(const std::string& program, std::size_t lines) {
  const std::string bytes = programFileBytes(program);
  std::size_t joins = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool cr = bytes[i] == '\r';
    const bool lf = bytes[i] == '\n';
    if (cr && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return "lone carriage return in the file bytes";
    if (lf && (i == 0 || bytes[i - 1] != '\r')) return "lone line feed in the file bytes";
    if (lf) ++joins;
  }
  if (joins != lines) return std::to_string(joins) + " line ends in the file for " + std::to_string(lines) + " lines";
  return "";
}

}  // namespace

JobFields fieldsFromInput(std::string_view input) {
  JobFields fields;
  const std::vector<std::string_view> texts = splitInput(input, kFieldCount);
  for (std::size_t i = 0; i < texts.size(); ++i) fields[static_cast<Field>(i)] = std::string(texts[i]);
  return fields;
}

std::string computeRunProblem(std::string_view input) {
  const JobFields fields = fieldsFromInput(input);
  SectionTable table;
  table.fill();
  CountingObserver observer;
  std::string program;
  try {
    program = compute(fields, table, &observer);
  } catch (const RunError& e) {
    if (!isNamedKind(e.kind())) return "error of no named kind";
    std::string problem = reportProblem(e);
    if (problem.empty()) problem = typeMismatchProblem(e, fields);
    return problem;
  }
  if (!observer.bad.empty()) return "progress figure \"" + observer.bad + "\"";

  // The run succeeded, so every conversion these need succeeds again.
  const BladeParameters p = readParameters(fields);
  // Every station lies on the rotor, from the axis outwards.
  for (const double value : {p.D.value(), static_cast<double>(p.HubRad), p.STNrough.value(), p.STNfinish.value()}) {
    if (value < 0.0) return "a run with a rotor value below 0 succeeded";
  }
  const grammar::ProgramShape shape{p.RoughPassesNo, stationsOf(LastStation(p, p.STNrough, Sweep::Roughing)),
                                    stationsOf(LastStation(p, p.STNfinish, Sweep::Finishing))};
  if (observer.figures != shape.roughStations + shape.finishStations) {
    return std::to_string(observer.figures) + " progress figures for " +
           std::to_string(shape.roughStations + shape.finishStations) + " stations";
  }
  std::string problem = grammar::programProblem(program, shape);
  if (!problem.empty()) return problem;

  // The field texts stand where they were copied, exactly as typed.
  const std::vector<std::string_view> lines = grammar::programLines(program);
  const std::string t2 = "( T2:" + NumberText(p.FinDia) + " )";
  const std::size_t finishFeed = grammar::expectedLineCount({shape.passes, shape.roughStations, 0}) - 3;
  // In a comment a parenthesis of the text is written as a square bracket.
  const auto inComment = [&](Field field) {
    std::string text = fields[field];
    std::replace(text.begin(), text.end(), '(', '[');
    std::replace(text.begin(), text.end(), ')', ']');
    return text;
  };
  const std::vector<std::pair<std::size_t, std::string>> copied{
      {0, "( Blade Diameter = " + inComment(Field::D) + "m )"},
      {1, "( Number of blades = " + inComment(Field::B) + " )"},
      {2, "( Tip Speed Ratio = " + inComment(Field::TSR) + " )"},
      {3, "( Angle of Attack = " + inComment(Field::AT) + "\u00b0 )"},
      {4, "( Coefficient of lift = " + inComment(Field::Cl) + " )"},
      {5, "( T1:" + inComment(Field::RoughDia) + " )"},
      {6, t2},
      {9, "F" + fields[Field::RoughFeed]},
      {finishFeed, "F" + fields[Field::FinishFeed]},
      {finishFeed + 1, t2 + " "},
  };
  for (const auto& [index, text] : copied) {
    if (lines[index] != text) return "line " + std::to_string(index + 1) + " is not \"" + text + "\"";
  }
  return fileBytesProblem(program, lines.size());
}

std::string stationCountProblem(std::string_view input) {
  const std::vector<std::string_view> given = splitInput(input, 4);
  std::array<std::string, 4> texts{"3.36", "0.2", "20", "74"};
  for (std::size_t i = 0; i < given.size(); ++i) texts[i] = std::string(given[i]);

  struct Outcome {
    bool ok = false;
    double count = 0;
    ErrorKind kind = ErrorKind::TypeMismatch;
  };
  std::array<Outcome, 2> outcomes;
  for (const Tool tool : {Tool::Roughing, Tool::Finishing}) {
    const bool rough = tool == Tool::Roughing;
    const Field dia = rough ? Field::RoughDia : Field::FinDia;
    const Field step = rough ? Field::RoughStep : Field::FinStep;
    JobFields fields;
    fields[Field::D] = texts[0], fields[Field::HubRad] = texts[1], fields[dia] = texts[2], fields[step] = texts[3];
    Outcome& outcome = outcomes[rough ? 0 : 1];
    try {
      outcome.count = stationCount(texts[0], texts[1], texts[2], texts[3], tool);
      outcome.ok = true;
    } catch (const RunError& e) {
      outcome.kind = e.kind();
      if (e.kind() != ErrorKind::TypeMismatch && e.kind() != ErrorKind::Overflow &&
          e.kind() != ErrorKind::DivisionByZero) {
        return "station count failed with \"" + e.report() + "\"";
      }
      if (e.field() && *e.field() != Field::D && *e.field() != Field::HubRad && *e.field() != dia &&
          *e.field() != step) {
        return "station count blames another field: " + e.report();
      }
      std::string problem = reportProblem(e);
      if (problem.empty()) problem = typeMismatchProblem(e, fields);
      if (!problem.empty()) return problem;
    }

    std::string text;
    try {
      text = stationCountText(fields, tool);
    } catch (const RunError& e) {
      if (outcome.ok || e.kind() != outcome.kind) return "the count text fails where the count does not";
      continue;
    }
    if (!outcome.ok) return "the count text succeeds where the count fails";
    if (text != NumberText(outcome.count)) return "count text \"" + text + "\" is not the count's number text";
    if (!grammar::isNumberText(text)) return "count text \"" + text + "\" is no number text";
    // The station field is read back by the next computation.
    const ParsedNumber back = parseNumber(text);
    if (back.status != ParseStatus::Ok) return "count text \"" + text + "\" does not read back";
    if (NumberText(back.value) != text) return "count text \"" + text + "\" changes when read back";
    const double error = std::fabs(back.value - outcome.count);
    if (!(error <= 1e-13 * std::fabs(outcome.count) + 1e-300)) return "count text \"" + text + "\" is off";
  }
  if (outcomes[0].ok != outcomes[1].ok || (outcomes[0].ok && outcomes[0].count != outcomes[1].count) ||
      (!outcomes[0].ok && outcomes[0].kind != outcomes[1].kind)) {
    return "the two tools disagree on the same texts";
  }
  return "";
}

}  // namespace ventaro::fuzzing
