// libFuzzer target: the input is split into the eighteen field texts (see
// run_invariants.h for the format) and one computation runs on them. Any
// broken invariant aborts, so libFuzzer keeps the input as a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem =
      ventaro::fuzzing::computeRunProblem(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "compute invariant broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
