// Design files on the command line: a design saved by --save-design gives
// the same program through --design, options override it wherever they
// stand, and a broken design stops the run before anything is written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  ASSERT_EQ(runCli({"--quiet", "-o", "/dev/null", "--save-design", dir.file("good.json")}).status, 0);
  const std::string good = readFile(dir.file("good.json"));
  const auto edited = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  writeFile(dir.file("huge.json"), edited("\"clearance\": 10.0", "\"clearance\": 1e999"));
  writeFile(dir.file("shop.json"), edited("\"job\": \"plain\"", "\"job\": \"shop\""));
  writeFile(dir.file("large.json"), std::string((1 << 20) + 1, ' '));
  ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0755), 0);
  const std::string before = "cannot read the design \"";
  const struct {
    std::string file, message;
  } cases[] = {
      {dir.file("broken.json"), "unknown format version 7; this Ventaro reads versions 1 to 2"},
      {dir.file("missing.json"), "the file cannot be opened: No such file or directory"},
      {dir.file("folder"), "the file cannot be opened: Is a directory"},
      {dir.file("huge.json"), "it holds what cannot be read: number overflow parsing '1e999'"},
      {dir.file("shop.json"),
       "the job \"shop\" is written for a machine, but the controller is \"plain\"; it must be linuxcnc or grbl"},
      {dir.file("large.json"), "the file is larger than 1 MiB; a design is a few kilobytes"},
      {"/dev/zero", "it is not a regular file or a pipe"},
  };
  const std::vector<std::string> files{"broken.json", "folder", "good.json", "huge.json", "large.json", "shop.json"};
  for (const auto& c : cases) {
    const auto run = runCli({"--design", c.file, "-o", dir.file("blade.nc"), "--save-design", dir.file("new.json")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "ventaro-gcode: " + before + c.file + "\": " + c.message + "\n");
    EXPECT_EQ(dir.entries(), files);
  }
}

TEST(CliDesign, TheDesignReadIsNoOutput) {
  TempDir dir;
  ASSERT_EQ(runCli({"--quiet", "-o", "/dev/null", "--save-design", dir.file("blade.json")}).status, 0);
  const std::string design = readFile(dir.file("blade.json"));
  ASSERT_EQ(::symlink("blade.json", dir.file("link.json").c_str()), 0);
  for (const char* option : {"-o", "--stations", "--preview", "--report="}) {
    const std::string opt = option;
    const std::vector<std::string> args =
        opt.ends_with('=') ? std::vector<std::string>{"--design", dir.file("blade.json"), opt + dir.file("link.json")}
                           : std::vector<std::string>{"--design", dir.file("blade.json"), opt, dir.file("link.json")};
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 2) << option;
    EXPECT_NE(run.err.find("the design \"" + dir.file("blade.json") + "\" is read by this run; " +
                           opt.substr(0, opt.find('=')) + " cannot write over it"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(dir.file("blade.json")), design);
  }
  // Saving the design over itself is what --save-design is for.
  const auto again = runCli({"--quiet", "--design", dir.file("blade.json"), "--tsr", "7", "-o", "/dev/null",
                             "--save-design", dir.file("blade.json")});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(readFile(dir.file("blade.json")).find("\"tsr\": \"7\""), std::string::npos);
}

}  // namespace
}  // namespace ventaro::testing
