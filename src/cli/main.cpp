#include <cstdio>
#include <iostream>

#include "gcode/compute.h"
#include "gcode/program_bytes.h"

int main() {
  ventaro::JobFields fields;
  ventaro::SectionTable table;
  table.fill();
  struct P : ventaro::ComputeObserver {
    std::string last;
    void progress(const std::string& f) override { last = f; }
  } obs;
  try {
    const std::string program = ventaro::compute(fields, table, &obs);
    std::cout << ventaro::programFileBytes(program);
    std::cerr << "progress: " << obs.last << "\n";
  } catch (const ventaro::RunError& e) {
    std::cerr << e.report(true) << "\n";
    return 1;
  }
}
