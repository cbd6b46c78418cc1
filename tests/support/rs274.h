// LinuxCNC's stand-alone interpreter rs274 (Debian's linuxcnc-uspace): it
// reads a program and prints the canonical machining calls it makes of it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ventaro::test {

// VENTARO_RS274 when set, else the first rs274 on the PATH.
std::optional<std::filesystem::path> findRs274();

struct Rs274Output {
  std::string canon;       // the canonical calls, one a line
  std::string complaints;  // what it printed, standard error then standard output
};

// Runs the interpreter on a program's file bytes in a folder of its own
// (named after `tag`), so that anything it leaves there goes away with it.
Rs274Output runRs274(const std::filesystem::path& rs274, std::string_view fileBytes, const std::string& tag);

}  // namespace ventaro::test
