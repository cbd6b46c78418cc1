#include "rs274.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ventaro::test {

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

std::optional<fs::path> findRs274() {
  if (const char* given = std::getenv("VENTARO_RS274")) return fs::path(given);
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/bin:/bin";
  while (!dirs.empty()) {
    const std::size_t colon = dirs.find(':');
    const fs::path candidate = fs::path(std::string(dirs.substr(0, colon))) / "rs274";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return std::nullopt;
}

Rs274Output runRs274(const fs::path& rs274, std::string_view fileBytes, const std::string& tag) {
  const fs::path dir = fs::temp_directory_path() / ("ventaro-rs274-" + std::to_string(::getpid()) + "-" + tag);
  fs::remove_all(dir);
  fs::create_directories(dir);
  {
    std::ofstream out(dir / "blade.ngc", std::ios::binary);
    out << fileBytes;
  }
  const std::string command = "cd '" + dir.string() + "' && '" + rs274.string() +
                              "' -g blade.ngc canon.txt </dev/null >stdout.txt 2>stderr.txt";
  (void)std::system(command.c_str());
  Rs274Output output{readFile(dir / "canon.txt"), readFile(dir / "stderr.txt") + readFile(dir / "stdout.txt")};
  fs::remove_all(dir);
  return output;
}

}  // namespace ventaro::test
