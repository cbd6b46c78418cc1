// End to end: failed runs, bad usage and output that cannot be written.
// Whatever fails, no output file is created or changed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli_process.h"

namespace ventaro {
namespace {

using testing::readFile;
using testing::runCli;
using testing::StdoutTo;
using testing::TempDir;

const std::string kUsage =
    "Usage: ventaro-gcode [OPTION...] [-o FILE]\n"
    "Try 'ventaro-gcode --help' for the list of options.\n";

const std::string kOldContent = "( an older program )\r\nG0 X0 Z5\r\n";

// A folder holding one existing program, to check that failures leave it.
class CliFailure : public ::testing::Test {
 protected:
  void SetUp() override { testing::writeFile(target(), kOldContent); }
  std::string target() const { return dir_.file("blade.nc"); }
  void expectFolderUntouched() const {
    EXPECT_EQ(readFile(target()), kOldContent);
    EXPECT_EQ(dir_.entries(), std::vector<std::string>{"blade.nc"});
  }
  TempDir dir_;
};

TEST_F(CliFailure, FailedComputationReportsKindFieldAndOption) {
  struct Case {
    std::vector<std::string> args;
    std::string report;
  };
  const std::vector<Case> cases{
      {{"--hub-radius", ""}, "Type mismatch: \u201cHub Radius / meter\u201d (--hub-radius) is not a number."},
      {{"--passes", "40000"}, "Overflow: \u201cRoughing Passes\u201d (--passes) is outside -32768 to 32767."},
      {{"--passes", "-1"}, "Overflow: \u201cRoughing Passes\u201d (--passes) is below 0 or above 255."},
      {{"--passes", "6"}, "Subscript out of range: more than 5 roughing passes."},
      {{"--stations-rough", "2000"}, "Subscript out of range: more than 1001 roughing stations."},
      {{"--stations-finish", "0", "--stations-rough", "0"}, "Division by zero: computing the progress step."},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", target()});
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 1) << c.report;
    EXPECT_EQ(run.err, "ventaro-gcode: " + c.report + "\n");
    EXPECT_EQ(run.out, "");
    expectFolderUntouched();
  }
  // A new target is not created either, and nothing reaches standard output.
  const auto run = runCli({"--tsr", "six", "-o", dir_.file("new.nc")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "ventaro-gcode: Type mismatch: \u201cTip Speed Ratio\u201d (--tsr) is not a number.\n");
  EXPECT_EQ(runCli({"--tsr", "six"}).out, "");
  expectFolderUntouched();
}

TEST_F(CliFailure, DerivedStationCountThatFailsIsAFailedRunWithAHint) {
  const std::string finishHint =
      "ventaro-gcode: the finishing station count is worked out from --diameter, --hub-radius, --fin-dia and "
      "--fin-step; give --stations-finish to set it directly.\n";
  auto run = runCli({"--fin-dia", "0", "-o", target()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "ventaro-gcode: Division by zero: computing the finishing station count "
            "(\u201cFinishing Tool: Diameter / mm\u201d (--fin-dia)).\n" +
                finishHint);

  run = runCli({"--rough-step", "x", "-o", target()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "ventaro-gcode: Type mismatch: \u201cRoughing Tool: Stepover / %:\u201d (--rough-step) is not a number.\n"
            "ventaro-gcode: the roughing station count is worked out from --diameter, --hub-radius, --rough-dia "
            "and --rough-step; give --stations-rough to set it directly.\n");

  // A rotor field is read by the computation as well: giving the count
  // would not help, so there is no hint.
  run = runCli({"--diameter", "3,36", "-o", target()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "ventaro-gcode: Type mismatch: \u201cDiameter / meter\u201d (--diameter) is not a number.\n");
  expectFolderUntouched();
}

TEST_F(CliFailure, StationsOutsideTheRotorAreRefusedNamingTheField) {
  const std::string outside = "is below 0: stations would lie outside the rotor.\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      // The counts worked out from a hub beyond the tip are below 0.
      {{"--hub-radius", "2"},
       "Overflow: \u201cHub Radius / meter\u201d (--hub-radius) lies beyond the tip, so the finishing station "
       "count is below 0.\n"},
      {{"--hub-radius", "2", "--stations-finish", "100"},
       "Overflow: \u201cHub Radius / meter\u201d (--hub-radius) lies beyond the tip, so the roughing station "
       "count is below 0.\n"},
      {{"--hub-radius", "-0.5"}, "Overflow: \u201cHub Radius / meter\u201d (--hub-radius) " + outside},
      {{"--stations-finish", "-5"}, "Overflow: \u201cStations (Finish)\u201d (--stations-finish) " + outside},
      {{"--diameter=-3.36", "--stations-finish", "100", "--stations-rough", "50"},
       "Overflow: \u201cDiameter / meter\u201d (--diameter) " + outside},
      // A tool value below 0 makes the count negative; giving the count helps.
      {{"--rough-step", "-80"},
       "Overflow: \u201cRoughing Tool: Stepover / %:\u201d (--rough-step) is below 0, so the roughing station "
       "count is below 0.\n"
       "ventaro-gcode: the roughing station count is worked out from --diameter, --hub-radius, --rough-dia "
       "and --rough-step; give --stations-rough to set it directly.\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", target(), "--stations", dir_.file("s.csv")});
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 1) << c.err;
    EXPECT_EQ(run.err, "ventaro-gcode: " + c.err);
    EXPECT_EQ(run.out, "");
    expectFolderUntouched();
  }
}

TEST_F(CliFailure, BadUsageExitsWithTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases{
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--tsr6"}, "unknown option '--tsr6'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--"}, "unknown option '--'"},
      {{"blade.nc"}, "unexpected argument 'blade.nc'"},
      {{"--tsr"}, "option '--tsr' needs a value"},
      {{"--passes", "3", "-o"}, "option '-o' needs a value"},
      {{"--quiet=yes"}, "option '--quiet' takes no value"},
      {{"-o", ""}, "option '-o': the output file name is empty"},
      {{"--rough-feed", "1200\nM30"}, "the value of '--rough-feed' holds a line break"},
      {{"--tsr=6\r"}, "the value of '--tsr' holds a line break"},
  };
  for (const auto& c : cases) {
    // The output option comes first: bad usage anywhere writes nothing.
    std::vector<std::string> args{"-o", target()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err, "ventaro-gcode: " + c.message + "\n" + kUsage);
    EXPECT_EQ(run.out, "");
    expectFolderUntouched();
  }
}

TEST_F(CliFailure, OutputThatCannotBeWrittenLeavesNoFile) {
  struct Case {
    std::string path;
    std::string reason;
  };
  ASSERT_EQ(::mkdir(dir_.file("sub").c_str(), 0755), 0);
  const std::vector<Case> cases{
      {dir_.file("missing/blade.nc"), "No such file or directory"},
      {dir_.file("sub"), "Is a directory"},             // stops root too
      {dir_.file("blade.nc/x.nc"), "Not a directory"},  // under a regular file
      {"/dev/full", "No space left on device"},
  };
  for (const auto& c : cases) {
    const auto run = runCli({"-o", c.path});
    EXPECT_EQ(run.status, 1) << c.path;
    EXPECT_EQ(run.err, "ventaro-gcode: cannot write \"" + c.path + "\": " + c.reason + "\n");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"blade.nc", "sub"}));
  EXPECT_EQ(TempDir::entriesOf(dir_.file("sub")), std::vector<std::string>{});
  EXPECT_EQ(readFile(target()), kOldContent);
}

TEST_F(CliFailure, FolderWithoutWritePermission) {
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
  testing::RunSetup setup;
  if (::geteuid() == 0) {
    setup.uid = 65534;  // root writes anywhere: run as nobody
  } else {
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  }
  const auto run = runCli({"-o", target()}, setup);
  if (run.status == 126 || run.status == 127) GTEST_SKIP() << "the program cannot run as an unprivileged user here";
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "ventaro-gcode: cannot write \"" + target() + "\": Permission denied\n");
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0700), 0);
  expectFolderUntouched();
}

TEST(CliStandardOutput, FailedWritesAreReported) {
  const auto closed = runCli({}, {.stdoutTo = StdoutTo::Closed});
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.err, "ventaro-gcode: cannot write to standard output: Bad file descriptor\n");

  const auto full = runCli({}, {.stdoutTo = StdoutTo::DevFull});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "ventaro-gcode: cannot write to standard output: No space left on device\n");

  const auto help = runCli({"--help"}, {.stdoutTo = StdoutTo::DevFull});
  EXPECT_EQ(help.status, 1);
  EXPECT_EQ(help.err, "ventaro-gcode: cannot write to standard output: No space left on device\n");
}

}  // namespace
}  // namespace ventaro
