#include "files/machining_report.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/number_text.h"
#include "files/station_csv.h"
#include "machine/fixed_text.h"

namespace ventaro {

namespace {

std::string mm(double v) { return fixedText(v, 3); }
std::string len(double v) { return fixedText(v, 1); }

std::optional<double> positiveNumber(std::string_view text) {
  const ParsedNumber n = parseNumber(text);
  if (n.status != ParseStatus::Ok || !std::isfinite(n.value) || n.value <= 0) return std::nullopt;
  return n.value;
}

std::string rangeText(const AxisRange& r) {
  if (!r.lo) return "none";
  return mm(*r.lo) + " to " + mm(*r.hi);
}

std::string boxText(const Box& b) { return "X " + rangeText(b.x) + ", Y " + rangeText(b.y) + ", Z " + rangeText(b.z); }

// Totals of a group of sections (one pass, one tool, the whole program).
struct Tally {
  int cutMoves = 0, rapidMoves = 0;
  double cutLength = 0, rapidLength = 0;
  std::optional<double> minutes = 0.0;  // no value once a feed is not a positive number
  Box box;

  void add(const ProgramSection& s) {
    cutMoves += s.cutMoves;
    rapidMoves += s.rapidMoves;
    cutLength += s.cutLength;
    rapidLength += s.rapidLength;
    box.add(s.box);
    if (s.cutMoves == 0) return;
    const auto feed = positiveNumber(s.feedText);
    if (minutes && feed) {
      *minutes += s.cutLength / *feed;
    } else {
      minutes.reset();
    }
  }
};

std::string timeText(const Tally& t) {
  if (!t.minutes) return "no estimate (a feed is not a positive number)";
  return fixedText(*t.minutes, 1) + " min";
}

void tallyLines(std::string& out, std::string_view indent, const Tally& t) {
  out += indent;
  out += std::to_string(t.cutMoves) + " cutting moves (G1), " + std::to_string(t.rapidMoves) +
         (t.rapidMoves == 1 ? " rapid move (G0)\n" : " rapid moves (G0)\n");
  out += indent;
  out +=
      "cutting path " + len(t.cutLength) + " mm, rapid path " + len(t.rapidLength) + " mm, time " + timeText(t) + "\n";
  out += indent;
  out += "box " + boxText(t.box) + "\n";
}

std::string_view toolRole(int tool) {
  if (tool == 1) return "roughing";
  if (tool == 2) return "finishing";
  return "no tool called";
}

std::string feedOf(const std::vector<const ProgramSection*>& sections) {
  for (const auto* s : sections) {
    if (s->cutMoves > 0) return s->feedSeen ? "F" + s->feedText : "no F word";
  }
  return "no moves";
}

void toolBlock(std::string& out, int tool, const std::vector<const ProgramSection*>& sections, const JobFields& f) {
  out += tool == 0 ? std::string("Moves before the first tool call") : "Tool T" + std::to_string(tool);
  if (tool == 1) out += " (roughing, diameter " + f[Field::RoughDia] + " mm)";
  if (tool == 2) out += " (finishing, diameter " + f[Field::FinDia] + " mm)";
  out += ", feed " + feedOf(sections) + "\n";
  Tally all;
  int passSections = 0;
  for (const auto* s : sections) {
    all.add(*s);
    if (s->pass == 0) continue;
    ++passSections;
    Tally one;
    one.add(*s);
    out += "  " + std::string(toolRole(tool)) + " pass " + std::to_string(s->pass) + ":\n";
    tallyLines(out, "    ", one);
  }
  if (passSections == 0) {
    tallyLines(out, "  ", all);
  } else {
    out += "  all of T" + std::to_string(tool) + ":\n";
    tallyLines(out, "    ", all);
  }
}

std::string spacingLine(std::string_view sweep, const TextNumber& d, const TextNumber& s, Field dia, Field step,
                        const JobFields& f) {
  std::string line = "  " + std::string(sweep) + ": stations " + mm(d.value() * 1000.0 / (2.0 * s.value())) +
                     " mm apart, tool stepover ";
  const auto toolDia = parseNumber(f[dia]);
  const auto stepover = parseNumber(f[step]);
  if (toolDia.status == ParseStatus::Ok && stepover.status == ParseStatus::Ok) {
    line += mm(toolDia.value * stepover.value / 100.0) + " mm (" + f[dia] + " mm x " + f[step] + " %)";
  } else {
    line += "unknown (" + quotedLabel(toolDia.status == ParseStatus::Ok ? step : dia) + " is not a number)";
  }
  return line + "\n";
}

void stationWarnings(std::string& out, int& count, const DesignRecord& record, const BladeParameters& p,
                     const SectionTable& table) {
  const StationGeometry geo = stationGeometry(p);
  const int thickest = thickestIndex(table);
  for (Sweep sweep : {Sweep::Roughing, Sweep::Finishing}) {
    std::vector<int> wide, leading, trailing;
    for (const StationRecord& rec : record.sweep(sweep)) {
      const StationValues v = stationValues(rec, geo, thickest);
      if (v.widerThanStock) wide.push_back(rec.index);
      if (v.leadingOutside) leading.push_back(rec.index);
      if (v.trailingOutside) trailing.push_back(rec.index);
    }
    if (wide.empty() && leading.empty() && trailing.empty()) continue;
    ++count;
    out += "  " + std::string(sweepName(sweep)) + ": chord wider than the stock (" + mm(geo.stockWidthMm) +
           " mm) at stations " + stationRanges(wide) + "\n";
    out += "    leading edge outside the block (Y below 0 or beyond " + mm(geo.stockWidthMm) + ") at stations " +
           stationRanges(leading) + "\n";
    out += "    trailing edge outside the block at stations " + stationRanges(trailing) + "\n";
  }
}

void feedWarnings(std::string& out, int& count, const ProgramMoves& moves, const FieldNamer& name) {
  for (std::size_t i = 0; i < moves.feedTexts.size(); ++i) {
    const std::string& text = moves.feedTexts[i];
    if (positiveNumber(text)) continue;
    ++count;
    const Field field = i == 0 ? Field::RoughFeed : Field::FinishFeed;
    out += "  the feed line \u201cF" + text + "\u201d (" + name(field) +
           ") is not a positive number: the controller will reject the line\n";
  }
}

}  // namespace

std::string stationRanges(const std::vector<int>& indices) {
  if (indices.empty()) return "none";
  std::string out;
  for (std::size_t i = 0; i < indices.size();) {
    std::size_t j = i;
    while (j + 1 < indices.size() && indices[j + 1] == indices[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += std::to_string(indices[i]);
    if (j > i) out += " to " + std::to_string(indices[j]);
    i = j + 1;
  }
  return out;
}

std::string machiningReport(const ProgramMoves& moves, const DesignRecord& record, const JobFields& fields,
                            const BladeParameters& p, const SectionTable& table, const FieldNamer& name) {
  std::string out = "Machining report\n\n";
  out += "Program: " + std::to_string(moves.lines) + " lines.\n";
  out +=
      "Moves, path lengths and boxes are read from the program's move lines, with the\n"
      "coordinates as written there (cut to six characters), in millimetres: lengths\n"
      "to 0.1 mm, coordinates to 0.001 mm. A path length adds up the straight moves,\n"
      "each from where the move before it ended; the approach to the first move, from\n"
      "wherever the machine stands, is not counted. Estimated time = cutting path\n"
      "length / feed, the feed read as millimetres per minute (the controller's units\n"
      "per minute, the program's coordinates being millimetres), to 0.1 min; rapid\n"
      "moves, acceleration and tool changes are not included.\n\n";

  // Sections grouped by tool, in the order the tools are called.
  std::vector<int> tools;
  for (const auto& s : moves.sections) {
    if (tools.empty() || tools.back() != s.tool) tools.push_back(s.tool);
  }
  Tally whole;
  for (int tool : tools) {
    std::vector<const ProgramSection*> group;
    for (const auto& s : moves.sections) {
      if (s.tool == tool) group.push_back(&s);
    }
    if (tool == 0 && std::all_of(group.begin(), group.end(), [](auto* s) { return s->moves.empty(); })) continue;
    toolBlock(out, tool, group, fields);
    out += "\n";
    for (const auto* s : group) whole.add(*s);
  }
  out += "Whole program:\n";
  tallyLines(out, "  ", whole);

  out += "\nBlock needed:\n";
  const double width = p.Max.value() * 1000.0;
  const double hub = static_cast<double>(p.HubRad) * 1000.0;
  const double tip = p.D.value() * 1000.0 / 2.0;
  out +=
      "  width " + mm(width) + " mm (the stock width, " + quotedLabel(Field::Max) + " " + fields[Field::Max] + " m)\n";
  out += "  length " + mm(tip - hub) + " mm (hub radius " + mm(hub) + " to tip " + mm(tip) + ")\n";
  const ProgramSection* pass1 = nullptr;
  for (const auto& s : moves.sections) {
    if (s.pass == 1 && !pass1) pass1 = &s;
  }
  if (pass1 && pass1->cutBox.z.lo) {
    out += "  height " + mm(*pass1->cutBox.z.hi - *pass1->cutBox.z.lo) + " mm (Z " + mm(*pass1->cutBox.z.lo) + " to " +
           mm(*pass1->cutBox.z.hi) + ", the lowest to the highest Z of roughing pass 1)\n";
  } else {
    out += "  height unknown: roughing pass 1 has no cutting move\n";
  }
  if (whole.box.x.hi && *whole.box.x.hi > tip) {
    out += "  the moves reach X " + mm(*whole.box.x.hi) +
           ", beyond the tip: the last station lies within half a station spacing of the tip\n";
  }

  out += "\nStation spacing beside the tool stepover:\n";
  out += spacingLine("roughing", p.D, p.STNrough, Field::RoughDia, Field::RoughStep, fields);
  out += spacingLine("finishing", p.D, p.STNfinish, Field::FinDia, Field::FinStep, fields);
  out +=
      "  A station count spreads its stations over the whole rotor radius (diameter / 2,\n"
      "  from the axis), not over the span from the hub, so neighbouring stations lie\n"
      "  diameter / (2 x count) apart: wider than one stepover when the count was worked\n"
      "  out from the tool.\n";

  out += "\nWarnings:\n";
  int warnings = 0;
  stationWarnings(out, warnings, record, p, table);
  feedWarnings(out, warnings, moves, name);
  if (warnings == 0) out += "  none\n";
  return out;
}

}  // namespace ventaro
