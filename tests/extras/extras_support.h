// One computation of the default blade (or of changed fields), with the
// stations it placed, for the tests of the outputs beside the program.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "blade/design_record.h"

namespace ventaro::testing {

struct DesignRun {
  JobFields fields;
  SectionTable table;
  DesignRecorder recorder;
  std::string program;

  using Changes = std::vector<std::pair<Field, std::string>>;

  explicit DesignRun(const Changes& changes = {}) {
    for (const auto& [field, text] : changes) fields[field] = text;
    table.fill();
    program = compute(fields, table, &recorder);
  }
  const DesignRecord& record() const { return recorder.record(); }
};

// The lines of a text split at "\r\n" (or "\n" with lf).
inline std::vector<std::string> linesOf(const std::string& text, const std::string& sep = "\r\n") {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const auto at = text.find(sep, start);
    if (at == std::string::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, at - start));
    start = at + sep.size();
  }
  return lines;
}

// A rotor whose chord exceeds the stock everywhere: a 5 cm block, a
// short, wide blade with few blades and low lift, five passes.
inline DesignRun::Changes narrowStock() {
  return {{Field::Max, "0.05"},   {Field::TSR, "4"},        {Field::B, "2"},         {Field::D, "1.2"},
          {Field::HubRad, "0.1"}, {Field::STNfinish, "20"}, {Field::STNrough, "10"}, {Field::RoughPassesNo, "5"}};
}

}  // namespace ventaro::testing
