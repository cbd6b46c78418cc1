// Runs the built ventaro-gcode in a child process with chosen standard
// streams, and collects what it wrote.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ventaro::testing {

enum class StdoutTo { Capture, Closed, DevFull };

struct RunSetup {
  StdoutTo stdoutTo = StdoutTo::Capture;
  std::string workingDir{};       // empty: the test's own
  std::optional<mode_t> umask{};  // applied in the child only
  std::optional<uid_t> uid{};     // the child drops to this user and group
  std::string executable{};       // empty: the built ventaro-gcode
  // Called with the child's id while it runs, before it is waited for; it
  // must not reap the child.
  std::function<void(pid_t)> whileRunning{};
};

struct RunResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;  // standard output bytes
  std::string err;  // standard error bytes
};

RunResult runCli(const std::vector<std::string>& args, const RunSetup& setup = {});

// A fresh folder under the system's temporary folder, removed with its
// content at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder, sorted, without "." and "..".
  std::vector<std::string> entries() const { return entriesOf(path_); }
  static std::vector<std::string> entriesOf(const std::string& folder);

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace ventaro::testing
