// Shared helpers of the core tests: a filled section table, runs with some
// fields changed, and the lines of a program text.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "gcode/compute.h"

namespace ventaro::test {

inline const SectionTable& table() {
  static const SectionTable filled = [] {
    SectionTable t;
    t.fill();
    return t;
  }();
  return filled;
}

using Overrides = std::initializer_list<std::pair<Field, const char*>>;

inline JobFields fieldsWith(Overrides overrides) {
  JobFields fields;
  for (const auto& [field, text] : overrides) fields[field] = text;
  return fields;
}

// Records what a run reports as it goes.
struct Recorder : ComputeObserver {
  std::vector<std::string> figures;
  std::vector<std::pair<Sweep, int>> stations;
  int points = 0;
  void progress(const std::string& figure) override { figures.push_back(figure); }
  void station(Sweep sweep, int index, const BladeStation&, float) override { stations.emplace_back(sweep, index); }
  void point(Sweep, int, int, const PlacedPoint&) override { ++points; }
};

// The lines of a program text, split at CR LF.
inline std::vector<std::string> linesOf(const std::string& program) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = program.find("\r\n", start);
    lines.push_back(program.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// Runs a computation that must fail and returns its error.
inline RunError failingRun(const JobFields& fields, ComputeObserver* observer = nullptr) {
  try {
    const std::string program = compute(fields, table(), observer);
    ADD_FAILURE() << "the run succeeded with " << linesOf(program).size() << " lines";
  } catch (const RunError& error) {
    return error;
  }
  return RunError(ErrorKind::TypeMismatch, std::nullopt, "no error");
}

}  // namespace ventaro::test
