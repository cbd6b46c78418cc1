#include "aero/xfoil_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

extern char** environ;

namespace ventaro {

namespace {

namespace fs = std::filesystem;

std::string number(double v, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

// A folder of its own for each run, removed with everything XFOIL left in
// it (its boundary-layer dumps, the polar files).
class WorkFolder {
 public:
  WorkFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ventaro-xfoil-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw PolarError("cannot make a folder to run XFOIL in");
    path_ = pattern;
  }
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw PolarError("cannot write " + path.string() + " for XFOIL");
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The airfoil as a labelled (Selig) coordinate file: the upper surface from
// the trailing edge to the leading edge, then the lower back, in chords.
std::string seligText(const Airfoil& airfoil) {
  std::string out = (airfoil.name.empty() ? std::string("airfoil") : airfoil.name) + "\n";
  for (auto it = airfoil.upper.rbegin(); it != airfoil.upper.rend(); ++it) {
    out += number(it->first / 100, 6) + " " + number(it->second / 100, 6) + "\n";
  }
  for (std::size_t j = 1; j < airfoil.lower.size(); ++j) {
    out += number(airfoil.lower[j].first / 100, 6) + " " + number(airfoil.lower[j].second / 100, 6) + "\n";
  }
  return out;
}

enum class Ending { Finished, Died, TimedOut };

// Runs the program in `folder` with `input` as its standard input.
Ending runOnce(const XfoilOptions& options, const fs::path& folder, const fs::path& input) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string inputPath = input.string(), logPath = (folder / "log").string(), folderPath = folder.string();
  posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addchdir_np(&actions, folderPath.c_str());
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string_view(*e).starts_with("LD_PRELOAD=")) continue;
    env.emplace_back(*e);
  }
  if (!options.preload.empty() && fs::exists(options.preload)) env.push_back("LD_PRELOAD=" + options.preload);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = options.program;
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw PolarError("cannot run XFOIL (\u201c" + options.program + "\u201d)");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.timeoutSeconds);
  int status = 0;
  while (true) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0) throw PolarError("lost XFOIL while it ran");
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return Ending::TimedOut;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFEXITED(status)) {
    // A program that is not there, or not XFOIL, ends before any point.
    if (WEXITSTATUS(status) == 127) throw PolarError("cannot run XFOIL (\u201c" + options.program + "\u201d)");
    return Ending::Finished;
  }
  return Ending::Died;
}

struct SweepRows {
  std::string header;                  // up to and with the dashed line
  std::map<double, std::string> rows;  // by angle
};

// A polar file's header and its rows, each by its angle.
void readPolarFile(const std::string& text, SweepRows& into) {
  const std::size_t dashes = text.find("------");
  if (dashes == std::string::npos) return;
  const std::size_t bodyStart = text.find('\n', dashes);
  if (bodyStart == std::string::npos) return;
  if (into.header.empty()) into.header = text.substr(0, bodyStart + 1);
  std::istringstream body(text.substr(bodyStart + 1));
  for (std::string line; std::getline(body, line);) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    double alpha = 0;
    const auto [end, error] = std::from_chars(line.data() + first, line.data() + line.size(), alpha);
    if (error != std::errc() || end == line.data() + first) continue;
    into.rows.emplace(alpha, line);
  }
}

// One sweep from `from` towards `to`; taken up again past the angle where
// XFOIL died, until it finishes or has no angle left.
void sweep(const XfoilOptions& options, const fs::path& folder, const std::string& load, double reynolds, double from,
           double to, double step, SweepRows& into) {
  const fs::path input = folder / "commands", polar = folder / "polar";
  double start = from;
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (step > 0 ? start > to + 1e-9 : start < to - 1e-9) return;
    writeFile(input, "PLOP\nG F\n\n" + load + "PANE\nOPER\nVISC " + number(reynolds, 0) + "\nITER " +
                         std::to_string(options.iterations) + "\nPACC\npolar\n\nASEQ " + number(start, 3) + " " +
                         number(to, 3) + " " + number(step, 3) + "\nPACC\n\nQUIT\n");
    std::error_code ignored;
    fs::remove(polar, ignored);
    const Ending ending = runOnce(options, folder, input);
    if (ending == Ending::TimedOut) {
      throw PolarError("XFOIL ran longer than " + number(options.timeoutSeconds, 0) + " s at Re " +
                       number(reynolds, 0));
    }
    SweepRows got;
    readPolarFile(readFile(polar), got);
    if (into.header.empty()) into.header = got.header;
    into.rows.insert(got.rows.begin(), got.rows.end());
    if (ending == Ending::Finished) return;
    // Died: past the last point it wrote, and past the angle after it,
    // where it most likely died.
    double last = start - step;
    for (const auto& [alpha, row] : got.rows) {
      if (step > 0 ? alpha > last : alpha < last) last = alpha;
    }
    start = std::max(last + 2 * step, start + step, [&](double a, double b) { return step > 0 ? a < b : a > b; });
  }
}

std::optional<Polar> polarAt(const XfoilOptions& options, const std::string& load, const std::string& foilText,
                             double reynolds) {
  WorkFolder folder;
  if (!foilText.empty()) writeFile(folder.path() / "foil.dat", foilText);
  SweepRows rows;
  const double step = std::abs(options.step);
  sweep(options, folder.path(), load, reynolds, 0, options.highest, step, rows);
  sweep(options, folder.path(), load, reynolds, -step, options.lowest, -step, rows);
  // Too few converged points make no polar: that Reynolds number is left
  // to its neighbours.
  if (rows.rows.size() < 5) return std::nullopt;
  std::string text = rows.header;
  for (const auto& [alpha, row] : rows.rows) text += row + "\n";
  return readXfoilPolar(text, "XFOIL's polar at Re " + number(reynolds, 0));
}

}  // namespace

std::string XfoilOptions::defaultPreload() {
#ifdef VENTARO_XFOIL_PRELOAD
  if (const char* set = std::getenv("VENTARO_XFOIL_PRELOAD")) return set;
  return VENTARO_XFOIL_PRELOAD;
#else
  const char* set = std::getenv("VENTARO_XFOIL_PRELOAD");
  return set != nullptr ? set : "";
#endif
}

bool xfoilInstalled(const std::string& program) {
  if (program.empty()) return false;
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

std::vector<Polar> xfoilPolars(const Airfoil* airfoil, const XfoilOptions& options) {
  if (!xfoilInstalled(options.program)) {
    throw PolarError("XFOIL is not installed (\u201c" + options.program +
                     "\u201d not found; Debian: apt-get install "
                     "xfoil)");
  }
  if (!(options.step != 0) || !(options.lowest < 0) || !(options.highest > 0) || options.reynolds.empty()) {
    throw PolarError("XFOIL needs a sweep below and above 0\u00b0 and a Reynolds number");
  }
  const std::string load = airfoil == nullptr ? "NACA 4412\n" : "LOAD foil.dat\n";
  const std::string foilText = airfoil == nullptr ? "" : seligText(*airfoil);
  // Each Reynolds number in a process of its own, side by side.
  std::vector<std::future<std::optional<Polar>>> runs;
  for (double re : options.reynolds) {
    runs.push_back(std::async(std::launch::async, [&, re] { return polarAt(options, load, foilText, re); }));
  }
  std::vector<Polar> out;
  for (auto& run : runs) {
    if (std::optional<Polar> polar = run.get()) out.push_back(std::move(*polar));
  }
  if (out.empty()) {
    throw PolarError(
        "XFOIL converged at fewer than five angles at every Reynolds number; the airfoil may not suit "
        "XFOIL");
  }
  return out;
}

}  // namespace ventaro
