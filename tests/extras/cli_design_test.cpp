// Design files on the command line: a design saved by --save-design gives
// the same program through --design, options override it wherever they
// stand, and a broken design stops the run before anything is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_process.h"

namespace ventaro::testing {
namespace {

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(CliDesign, SavedDesignGivesTheSameProgram) {
  const std::vector<std::string> jobs[] = {
      {},
      {"--diameter", "3.360", "--fin-dia", "25", "--controller", "linuxcnc"},
      {"--tsr", "7", "--rough-step", "70", "--passes", "2", "--controller", "grbl"},
  };
  for (const auto& job : jobs) {
    TempDir dir;
    const auto saved = runCli(with(job, {"--quiet", "-o", dir.file("a.nc"), "--save-design", dir.file("d.json")}));
    ASSERT_EQ(saved.status, 0) << saved.err;
    const auto read = runCli(
        {"--quiet", "-o", dir.file("b.nc"), "--design", dir.file("d.json"), "--save-design", dir.file("again.json")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(readFile(dir.file("b.nc")), readFile(dir.file("a.nc")));
    EXPECT_EQ(readFile(dir.file("again.json")), readFile(dir.file("d.json")));
  }
}

TEST(CliDesign, OptionsOverrideTheDesignWhereverTheyStand) {
  TempDir dir;
  ASSERT_EQ(runCli({"--quiet", "-o", "/dev/null", "--fin-dia", "25", "--controller", "grbl", "--save-design",
                    dir.file("d.json")})
                .status,
            0);
  const std::string design = readFile(dir.file("d.json"));
  ASSERT_NE(design.find("\"stations-finish\": \"80\""), std::string::npos);

  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> same;  // the same program without the design
  };
  const Case cases[] = {
      {{"--design", dir.file("d.json")}, {"--fin-dia", "25", "--controller", "grbl"}},
      {{"--controller", "linuxcnc", "--design", dir.file("d.json")}, {"--fin-dia", "25", "--controller", "linuxcnc"}},
      {{"--design", dir.file("d.json"), "--tsr", "7"}, {"--fin-dia", "25", "--controller", "grbl", "--tsr", "7"}},
      // A tool option works its station count out again.
      {{"--design", dir.file("d.json"), "--fin-step", "60"},
       {"--fin-dia", "25", "--fin-step", "60", "--controller", "grbl"}},
      // The design's counts stand while their tools do, as in the window.
      {{"--design", dir.file("d.json"), "--diameter", "4"},
       {"--fin-dia", "25", "--stations-finish", "80", "--stations-rough", "50", "--controller", "grbl", "--diameter",
        "4"}},
  };
  for (const Case& c : cases) {
    const auto withDesign = runCli(with(c.args, {"--quiet"}));
    const auto without = runCli(with(c.same, {"--quiet"}));
    ASSERT_EQ(withDesign.status, 0) << withDesign.err;
    ASSERT_EQ(without.status, 0) << without.err;
    EXPECT_TRUE(withDesign.out == without.out) << c.args.back();
  }
}

TEST(CliDesign, BrokenDesignStopsTheRun) {
  TempDir dir;
  writeFile(dir.file("broken.json"), "{\"format\": \"ventaro-design\", \"version\": 7}");
  const struct {
    std::string file, message;
  } cases[] = {
      {dir.file("broken.json"), "cannot read the design \"" + dir.file("broken.json") +
                                    "\": unknown format version 7; this Ventaro reads version 1"},
      {dir.file("missing.json"),
       "cannot read the design \"" + dir.file("missing.json") + "\": the file cannot be opened"},
  };
  for (const auto& c : cases) {
    const auto run = runCli({"--design", c.file, "-o", dir.file("blade.nc"), "--save-design", dir.file("new.json")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "ventaro-gcode: " + c.message + "\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"broken.json"});
  }
}

}  // namespace
}  // namespace ventaro::testing
