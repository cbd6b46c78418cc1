// End to end: the rules every output file follows. A write-protected file
// is kept, a replaced one keeps its mode and owner, two outputs naming one
// file are bad usage, and whatever fails or ends the run (a missing folder,
// a full device, a file size limit, a closed pipe, a target changed while
// the run waits, SIGTERM, SIGHUP) leaves every target as it was and no
// staged file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"

namespace ventaro {
namespace {

using testing::readFile;
using testing::runCli;
using testing::TempDir;

constexpr uid_t kNobody = 65534;
const std::string kOldContent = "( an older program )\r\nG0 X0 Z5\r\n";

struct stat statOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

// A folder holding one existing program.
class CliFiles : public ::testing::Test {
 protected:
  void SetUp() override { testing::writeFile(target(), kOldContent); }
  std::string target() const { return dir_.file("blade.nc"); }
  void expectUntouched(const std::vector<std::string>& entries = {"blade.nc"}) const {
    EXPECT_EQ(readFile(target()), kOldContent);
    EXPECT_EQ(dir_.entries(), entries);
  }
  TempDir dir_;
};

TEST_F(CliFiles, WriteProtectedFileIsRefusedForEveryUser) {
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0777), 0);  // the folder would let anyone replace it
  ASSERT_EQ(::chmod(target().c_str(), 0444), 0);
  const std::string message = "ventaro-gcode: cannot write \"" + target() + "\": File is write-protected\n";
  std::vector<std::optional<uid_t>> users{std::nullopt};  // root too, where the tests run as root
  if (::geteuid() == 0) users.push_back(kNobody);         // the file's unprivileged owner
  for (const auto& uid : users) {
    if (uid) {
      ASSERT_EQ(::chown(target().c_str(), *uid, *uid), 0);
    }
    testing::RunSetup setup;
    setup.uid = uid;
    const auto run = runCli({"-o", target()}, setup);
    if (run.status == 126 || run.status == 127) continue;  // the program cannot run as that user here
    EXPECT_EQ(run.status, 1) << (uid ? "as its owner" : "as this user");
    EXPECT_EQ(run.err, message);
    EXPECT_EQ(statOf(target()).st_mode & 07777, 0444u);
    expectUntouched();
  }
}

TEST_F(CliFiles, ReplacedFileKeepsModeAndOwnerAndALinkStays) {
  const bool root = ::geteuid() == 0;
  ASSERT_EQ(::chmod(target().c_str(), 0640), 0);
  if (root) {
    ASSERT_EQ(::chown(target().c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(::symlink("blade.nc", dir_.file("link.nc").c_str()), 0);

  const auto run = runCli({"--quiet", "-o", dir_.file("link.nc")}, {.umask = 022});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(target()), runCli({}).out);
  const struct stat info = statOf(target());
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
  }
  EXPECT_TRUE(S_ISLNK(statOf(dir_.file("link.nc")).st_mode));
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"blade.nc", "link.nc"}));
}

TEST_F(CliFiles, OutputsNamingOneFileAreBadUsage) {
  ASSERT_EQ(::symlink("blade.nc", dir_.file("link.nc").c_str()), 0);
  ASSERT_EQ(::symlink("new.nc", dir_.file("dangling.nc").c_str()), 0);
  ASSERT_EQ(::mkdir(dir_.file("sub").c_str(), 0755), 0);
  struct Case {
    std::vector<std::string> args;
    std::string first, second;
  };
  const std::vector<Case> cases{
      {{"-o", "blade.nc", "--stations", "blade.nc"}, "blade.nc", "blade.nc"},
      {{"-o", "blade.nc", "--report=./blade.nc"}, "blade.nc", "./blade.nc"},
      {{"-o", "link.nc", "--stations", "blade.nc"}, "link.nc", "blade.nc"},
      {{"-o", target(), "--stations", "sub/../blade.nc"}, target(), "sub/../blade.nc"},
      {{"-o", "new.nc", "--stations", "./new.nc"}, "new.nc", "./new.nc"},
      {{"-o", "new.nc", "--report", "dangling.nc"}, "new.nc", "dangling.nc"},
      {{"-o", "x.nc", "--stations", "x.csv", "--report=sub/../x.csv"}, "x.csv", "sub/../x.csv"},
  };
  for (const auto& c : cases) {
    const auto run = runCli(c.args, {.workingDir = dir_.path()});
    EXPECT_EQ(run.status, 2) << c.second;
    EXPECT_EQ(run.err, "ventaro-gcode: two outputs name the same file: \"" + c.first + "\" and \"" + c.second + "\"\n");
    EXPECT_EQ(run.out, "");
    expectUntouched({"blade.nc", "dangling.nc", "link.nc", "sub"});
    EXPECT_EQ(TempDir::entriesOf(dir_.file("sub")), std::vector<std::string>{});
  }
}

TEST_F(CliFiles, OneOutputThatFailsLeavesEveryOther) {
  struct Case {
    std::vector<std::string> args;
    std::string failing, reason;
  };
  const std::string missing = dir_.file("nodir/s.csv");
  const std::vector<Case> cases{
      {{"-o", target(), "--stations", missing}, missing, "No such file or directory"},
      {{"-o", dir_.file("new.nc"), "--report=" + missing}, missing, "No such file or directory"},
      {{"--stations", dir_.file("new.csv"), "-o", "/dev/full"}, "/dev/full", "No space left on device"},
      {{"-o", target(), "--report=/dev/full"}, "/dev/full", "No space left on device"},
  };
  for (const auto& c : cases) {
    const auto run = runCli(c.args);
    EXPECT_EQ(run.status, 1) << c.failing;
    EXPECT_EQ(run.err, "ventaro-gcode: cannot write \"" + c.failing + "\": " + c.reason + "\n");
    EXPECT_EQ(run.out, "");
    expectUntouched();
  }
}

TEST_F(CliFiles, FileSizeLimitIsAFailedWrite) {
  for (const std::string& path : {target(), dir_.file("new.nc")}) {
    // The limit is set by a shell that then becomes the program.
    const auto run =
        runCli({"-c", "ulimit -f 1; exec \"$0\" \"$@\"", VENTARO_GCODE_PATH, "-o", path}, {.executable = "/bin/sh"});
    EXPECT_EQ(run.status, 1) << path;
    EXPECT_EQ(run.err, "ventaro-gcode: cannot write \"" + path + "\": File too large\n");
    expectUntouched();
  }
}

// Polls for `ready`, up to ten seconds.
bool waitFor(const std::function<bool()>& ready) {
  for (int i = 0; i < 1000; ++i) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(CliFiles, EndingSignalWhileWritingRemovesStagedFiles) {
  // The station table goes to a pipe nobody reads: the run waits there once
  // the program is staged, until the signal comes.
  ASSERT_EQ(::mkfifo(dir_.file("pipe").c_str(), 0600), 0);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    bool staged = false;
    testing::RunSetup setup;
    setup.whileRunning = [&](pid_t pid) {
      staged = waitFor([&] { return dir_.entries().front().rfind(".blade.nc.", 0) == 0; });
      ::kill(pid, signal);
      siginfo_t info{};
      const bool ended = waitFor([&] {
        return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
      });
      if (!ended) ::kill(pid, SIGKILL);
    };
    const auto run = runCli({"-o", target(), "--stations", dir_.file("pipe")}, setup);
    EXPECT_TRUE(staged) << "the program was never staged";
    EXPECT_EQ(run.status, 128 + signal);
    EXPECT_EQ(run.err, "");
    expectUntouched({"blade.nc", "pipe"});
  }
}

// Reads the pipe until its writer closes it, or `limit` bytes.
void drain(const std::string& pipe, std::size_t limit = SIZE_MAX) {
  const int fd = ::open(pipe.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  char buffer[4096];
  std::size_t total = 0;
  ssize_t n = 0;
  while (total < limit && (n = ::read(fd, buffer, std::min(sizeof buffer, limit - total))) > 0) total += n;
  ::close(fd);
}

// A run waits on a pipe with its files staged; meanwhile another target
// changes, or the reader goes away. No target is replaced: a failed rename
// puts back what the renames before it replaced, and a broken pipe is a
// failed write that leaves no staged file behind.
TEST_F(CliFiles, WhatChangesWhileTheRunWaitsLeavesEveryTarget) {
  ASSERT_EQ(::mkfifo(dir_.file("pipe.svg").c_str(), 0600), 0);
  const std::string csv = dir_.file("s.csv");
  const auto stagedCsv = [&] {
    for (const std::string& name : dir_.entries()) {
      if (name.starts_with(".s.csv.")) return dir_.file(name);
    }
    return std::string();
  };
  struct Case {
    std::vector<std::string> args;
    std::function<void()> meanwhile;
    std::string failing, reason;
  };
  const std::vector<Case> cases{
      {{"-o", target(), "--preview", dir_.file("pipe.svg"), "--stations", csv},
       [&] {
         ASSERT_EQ(::mkdir(csv.c_str(), 0755), 0);
         drain(dir_.file("pipe.svg"));
       },
       csv,
       "Is a directory"},
      {{"-o", target(), "--stations", csv, "--preview", dir_.file("pipe.svg")},
       [&] {
         ASSERT_EQ(::unlink(stagedCsv().c_str()), 0);
         drain(dir_.file("pipe.svg"));
       },
       csv,
       "No such file or directory"},
      {{"-o", dir_.file("pipe.svg"), "--stations", csv, "--report=" + dir_.file("r.txt")},
       [&] { drain(dir_.file("pipe.svg"), 10); },
       dir_.file("pipe.svg"),
       "Broken pipe"},
  };
  for (const Case& c : cases) {
    testing::RunSetup setup;
    setup.whileRunning = [&](pid_t) {
      ASSERT_TRUE(waitFor([&] { return !stagedCsv().empty(); }));
      c.meanwhile();
    };
    const auto run = runCli(c.args, setup);
    EXPECT_EQ(run.status, 1) << c.reason;
    EXPECT_EQ(run.err, "ventaro-gcode: cannot write \"" + c.failing + "\": " + c.reason + "\n");
    EXPECT_EQ(readFile(target()), kOldContent);
    ::rmdir(csv.c_str());
    EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"blade.nc", "pipe.svg"}));
  }
}

}  // namespace
}  // namespace ventaro
