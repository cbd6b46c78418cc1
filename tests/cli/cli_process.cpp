#include "cli_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ventaro::testing {

namespace {

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void childExec(char* const* argv, const RunSetup& setup, int outFd, int errFd) {
  ::dup2(errFd, STDERR_FILENO);
  switch (setup.stdoutTo) {
    case StdoutTo::Capture:
      ::dup2(outFd, STDOUT_FILENO);
      break;
    case StdoutTo::Closed:
      ::close(STDOUT_FILENO);
      break;
    case StdoutTo::DevFull: {
      const int full = ::open("/dev/full", O_WRONLY);
      if (full < 0) ::_exit(126);
      ::dup2(full, STDOUT_FILENO);
      ::close(full);
      break;
    }
  }
  if (outFd != STDOUT_FILENO) ::close(outFd);
  if (errFd != STDERR_FILENO) ::close(errFd);
  if (!setup.workingDir.empty() && ::chdir(setup.workingDir.c_str()) != 0) ::_exit(126);
  if (setup.umask) ::umask(*setup.umask);
  // A test runner started in the background ignores SIGINT; the program
  // must meet the signals a user would send it.
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
  if (setup.uid) {
    if (::setgid(*setup.uid) != 0 || ::setuid(*setup.uid) != 0) ::_exit(126);
  }
  ::execv(argv[0], argv);
  ::_exit(127);
}

}  // namespace

RunResult runCli(const std::vector<std::string>& args, const RunSetup& setup) {
  TempDir streams;
  const std::string outPath = streams.file("stdout");
  const std::string errPath = streams.file("stderr");
  const int outFd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int errFd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (outFd < 0 || errFd < 0) throw std::runtime_error("cannot create the stream files");

  std::string program = setup.executable.empty() ? std::string(VENTARO_GCODE_PATH) : setup.executable;
  std::vector<std::string> strings = args;
  std::vector<char*> argv{program.data()};
  for (auto& a : strings) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) childExec(argv.data(), setup, outFd, errFd);
  ::close(outFd);
  ::close(errFd);
  if (setup.whileRunning) setup.whileRunning(pid);

  int wstatus = 0;
  while (::waitpid(pid, &wstatus, 0) < 0) {
  }
  RunResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ventaro-cli-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::entriesOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace ventaro::testing
