// The default blade's computation and shop job, shared by the shop tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "blade/blade_model.h"
#include "blade/design_record.h"
#include "gcode/compute.h"
#include "post/shop_program.h"

namespace ventaro::shoptest {

// One computation of the given fields, with its record.
struct Computed {
  JobFields fields;
  DesignRecord record;
};

inline Computed computeFields(const JobFields& fields = {}) {
  SectionTable table;
  table.fill();
  DesignRecorder recorder;
  compute(fields, table, &recorder);
  return {fields, recorder.record()};
}

// The default blade's computation and plan, made once.
inline const Computed& defaultBlade() {
  static const Computed computed = computeFields();
  return computed;
}

inline const BladeModel& defaultModel() {
  static const SectionTable table = [] {
    SectionTable t;
    t.fill();
    return t;
  }();
  static const BladeModel model(readParameters(JobFields{}), table);
  return model;
}

inline const ShopPlan& defaultPlan() {
  static const ShopPlan plan = planShopJob(defaultBlade().fields, ShopSettings{});
  return plan;
}

inline std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t br = text.find("\r\n");
    lines.push_back(text.substr(0, br));
    if (br == std::string_view::npos) break;
    text.remove_prefix(br + 2);
  }
  return lines;
}

}  // namespace ventaro::shoptest
