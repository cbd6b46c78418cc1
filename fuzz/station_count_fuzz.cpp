// libFuzzer target: the input holds the rotor diameter, hub radius, tool
// diameter and stepover texts, one per line; the station count update runs
// for both tools. Any broken invariant aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem =
      ventaro::fuzzing::stationCountProblem(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "station count invariant broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
