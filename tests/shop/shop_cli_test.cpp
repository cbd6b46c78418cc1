// The shop job on the command line: its options, the plain job left as it
// was, the controller it is written for, and its program and report files.
#include <gtest/gtest.h>

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli_process.h"
#include "gcode/compute.h"
#include "gcode/program_bytes.h"

namespace ventaro {
namespace {

using testing::readFile;
using testing::runCli;
using testing::TempDir;

cli::ParseResult parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"ventaro-gcode"};
  argv.insert(argv.end(), args);
  return cli::parseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(ShopOptions, SetTheShopSettings) {
  const cli::ParseResult none = parse({});
  EXPECT_EQ(none.options.job, Job::Plain);
  EXPECT_FALSE(none.options.shop.blockTop);
  const cli::ParseResult r = parse({"--job", "shop", "--block-top", "250.5", "--clearance=7", "--rough-shape", "ball",
                                    "--fin-shape", "flat", "--rough-rpm", "9000", "--fin-rpm", "16000", "--plunge-feed",
                                    "150", "--tolerance", "0.02", "--scallop", "0.1"});
  ASSERT_FALSE(r.usageError) << *r.usageError;
  const ShopSettings& s = r.options.shop;
  EXPECT_EQ(r.options.job, Job::Shop);
  EXPECT_EQ(s.blockTop, 250.5);
  EXPECT_EQ(s.clearance, 7);
  EXPECT_EQ(s.roughShape, ToolShape::Ball);
  EXPECT_EQ(s.finShape, ToolShape::Flat);
  EXPECT_EQ(s.roughRpm, 9000);
  EXPECT_EQ(s.finRpm, 16000);
  EXPECT_EQ(s.plungeFeed, 150);
  EXPECT_EQ(s.tolerance, 0.02);
  EXPECT_EQ(s.scallop, 0.1);
  EXPECT_FALSE(r.options.controllerGiven);
}

struct BadOption {
  std::vector<const char*> args;
  const char* error;
};

TEST(ShopOptions, RefuseValuesTheyCannotUse) {
  const BadOption cases[] = {
      {{"--job", "lathe"}, "option '--job': the job must be plain, shop or two-sided"},
      {{"--block-top", "high"}, "option '--block-top': the block top must be a number"},
      {{"--clearance", "0"}, "option '--clearance': the clearance must be a positive number"},
      {{"--rough-shape", "vee"}, "option '--rough-shape': the tool shape must be flat or ball"},
      {{"--fin-rpm", "-1"}, "option '--fin-rpm': the spindle speed must be a positive number"},
      {{"--plunge-feed", "inf"}, "option '--plunge-feed': the plunge feed must be a positive number"},
      {{"--tolerance", "0.0005"}, "option '--tolerance': the tolerance must be 0.001 mm or more"},
  };
  for (const BadOption& c : cases) {
    std::vector<const char*> argv{"ventaro-gcode"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const cli::ParseResult r = cli::parseOptions(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(r.usageError, c.error);
  }
}

TEST(ShopCli, PlainJobIsTheWindowsProgram) {
  SectionTable table;
  table.fill();
  const std::string expected = programFileBytes(compute(JobFields{}, table));
  const auto given = runCli({"--job", "plain", "--quiet"});
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_EQ(given.out, expected);
}

TEST(ShopCli, RefusesThePlainController) {
  const auto run = runCli({"--job", "shop", "--controller", "plain"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(
      run.err.starts_with("ventaro-gcode: the shop job is written for a machine: give --controller linuxcnc "
                          "(its default) or grbl, not plain\n"))
      << run.err;
}

TEST(ShopCli, WritesTheJobAndItsReport) {
  TempDir dir;
  for (const char* controller : {"linuxcnc", "grbl"}) {
    const auto run = runCli({"--job", "shop", "--controller", controller, "-o", dir.file("job.nc"), "--report",
                             dir.file("report.txt"), "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    // GRBL's job is one program per tool, named after -o.
    const bool grbl = std::string(controller) == "grbl";
    const std::string job = readFile(dir.file(grbl ? "job-T2.nc" : "job.nc"));
    EXPECT_TRUE(job.starts_with("( Blade from its block, for " + std::string(controller) +
                                (grbl ? ", T2: program 2 of 2 )\r\n" : " )\r\n")))
        << controller;
    EXPECT_TRUE(job.ends_with("\r\nM5\r\nM2\r\n")) << controller;
    const std::string report = readFile(dir.file("report.txt"));
    EXPECT_TRUE(report.starts_with("Shop job report\n\nProgram: ")) << report;
    EXPECT_NE(
        report.find(" lines for " + std::string(controller) +
                    (grbl ? ", one file per tool, each started once its tool is fitted and its zero set.\n" : ".\n")),
        std::string::npos)
        << report;
    EXPECT_NE(report.find("\n  the tool must reach Z "), std::string::npos) << report;
  }
  // Without --controller the job is LinuxCNC's.
  const auto run = runCli({"--job", "shop", "--quiet"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("( Blade from its block, for linuxcnc )\r\n"));
}

// The setup sheet maps the blade frame to the program's coordinates: the
// block's far corner (tip end, far side, underside) is where the program's
// header puts it, and its zero corner is the program's zero.
TEST(ShopCli, WritesTheSetupSheetBesideTheProgram) {
  TempDir dir;
  const auto run = runCli({"--job", "shop", "-o", dir.file("blade.ngc"), "--setup", dir.file("setup.json"),
                           "--rough-flutes", "3", "--fin-reach", "45", "--quiet"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto sheet = nlohmann::json::parse(readFile(dir.file("setup.json")));
  EXPECT_EQ(sheet["format"], "ventaro-setup");
  EXPECT_EQ(sheet["version"], 1);
  EXPECT_EQ(sheet["units"], "mm");
  EXPECT_EQ(sheet["keep"], nlohmann::json::array());
  const auto& blank = sheet["blank"];
  EXPECT_EQ(blank["x"][1], 1680.0);
  EXPECT_EQ(blank["y"], nlohmann::json::array({0.0, 300.0}));
  const auto& setup = sheet["setups"][0];
  EXPECT_EQ(setup["name"], "A");
  EXPECT_EQ(setup["program"], "blade.ngc");
  const auto& m = setup["to_program"];
  const auto map = [&](int row, double x, double y, double z) {
    return m[row][0].get<double>() * x + m[row][1].get<double>() * y + m[row][2].get<double>() * z +
           m[row][3].get<double>();
  };
  const double x0 = blank["x"][0], x1 = blank["x"][1], y1 = blank["y"][1];
  const double z0 = blank["z"][0], z1 = blank["z"][1];
  EXPECT_EQ(map(0, x0, 0, z1), 0);
  EXPECT_EQ(map(2, x0, 0, z1), 0);
  const std::string header = "( Zero: block top face, hub end, Y 0 edge. Block X0 to 1480, Y0 to 300, Z0 down to -";
  const std::string program = readFile(dir.file("blade.ngc"));
  const std::size_t at = program.find(header);
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(map(0, x1, y1, z0), 1480, 1e-4);  // as the program writes it, to four decimals
  EXPECT_NEAR(map(1, x1, y1, z0), 300, 1e-4);
  EXPECT_NEAR(map(2, x1, y1, z0), -std::stod(program.substr(at + header.size())), 1e-4);
  const auto& tools = setup["tools"];
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0]["shape"], "flat");
  EXPECT_EQ(tools[0]["diameter"], 37.0);
  EXPECT_EQ(tools[0]["flutes"], 3);
  EXPECT_EQ(tools[0]["reach"], nullptr);
  EXPECT_EQ(tools[1]["shape"], "ball");
  EXPECT_EQ(tools[1]["reach"], 45.0);
  // GRBL's setup lists its programs in order; they cannot all go to
  // standard output.
  const auto grbl = runCli(
      {"--job", "shop", "--controller", "grbl", "-o", dir.file("b.gcode"), "--setup", dir.file("g.json"), "--quiet"});
  ASSERT_EQ(grbl.status, 0) << grbl.err;
  EXPECT_EQ(nlohmann::json::parse(readFile(dir.file("g.json")))["setups"][0]["program"],
            nlohmann::json::array({"b-T1.gcode", "b-T2.gcode"}));
  const auto toStdout = runCli({"--job", "shop", "--controller", "grbl", "--quiet"});
  EXPECT_EQ(toStdout.status, 2);
  EXPECT_NE(toStdout.err.find("the grbl shop job is one program per tool: give -o FILE"), std::string::npos);
  // Only the shop job has a setup sheet.
  const auto plain = runCli({"-o", dir.file("p.nc"), "--setup", dir.file("p.json")});
  EXPECT_EQ(plain.status, 2);
  EXPECT_NE(plain.err.find("the setup sheet is written for the shop job: give --job shop with --setup"),
            std::string::npos);
}

// Settings no machine can meet, speeds and feeds whose words would be zero,
// and jobs beyond the size bounds are refused by name before anything is
// written.
TEST(ShopCli, RefusesSettingsAndJobsNoMachineCanMeet) {
  const std::string range = " must be a number above 0 and at most ";
  const std::string wider =
      "; give wider stepovers, a larger scallop, deeper layers, a coarser tolerance or a smaller blade";
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"--controller", "linuxcnc", "--rough-rpm", "1e-300"},
       "\u201cRoughing spindle speed / rpm\u201d (--rough-rpm)" + range + "100000 rpm; it would be written as 0"},
      {{"--job", "shop", "--fin-rpm", "0.00004"},
       "\u201cFinishing spindle speed / rpm\u201d (--fin-rpm)" + range + "100000 rpm; it would be written as 0"},
      {{"--controller", "grbl", "--fin-rpm", "1e6"},
       "\u201cFinishing spindle speed / rpm\u201d (--fin-rpm)" + range + "100000 rpm"},
      {{"--job", "shop", "--plunge-feed", "0.00004"},
       "\u201cPlunge feed\u201d (--plunge-feed)" + range + "100000 mm/min; it would be written as 0"},
      {{"--job", "shop", "--clearance", "1e300"}, "\u201cClearance / mm\u201d (--clearance)" + range + "1000 mm"},
      {{"--job", "shop", "--block-top", "-1e300"},
       "\u201cBlock top / mm\u201d (--block-top) must be a number from -10000 to 10000 mm, or worked out from the "
       "blade"},
      {{"--job", "shop", "--tolerance", "1e300"},
       "\u201cTolerance / mm\u201d (--tolerance) must be a number from 0.001 to 10 mm"},
      {{"--job", "shop", "--fin-dia", "6", "--tolerance", "5"},
       "\u201cTolerance / mm\u201d (--tolerance) must be smaller than the radius of the smaller tool, 3 mm"},
      {{"--job", "shop", "--rough-flutes", "2.5"},
       "\u201cRoughing tool flutes\u201d (--rough-flutes) must be a whole number from 1 to 12"},
      // The default job needs 267 mm of Z: 256.1 mm of block, 10 mm of
      // clearance above the roughing lifts 2 mm above it, down to Z 1.8.
      {{"--job", "shop", "--z-travel", "150"},
       "\u201cZ travel / mm\u201d (--z-travel) is 150 mm, but the job needs 267 mm from the clearance height to its "
       "deepest cut; give a lower block top or a smaller clearance, or mill the blade from a thinner blank"},
      // Jobs whose size, estimated from their settings, is beyond the bounds.
      {{"--job", "shop", "--fin-dia", "6", "--scallop", "3"},
       "\u201cScallop height / mm\u201d (--scallop) must be smaller than the finishing tool's radius, 3 mm"},
      {{"--job", "shop", "--fin-dia", "0.02", "--stations-finish", "100", "--tolerance", "0.001", "--scallop", "0.001"},
       "the shop job would need more than 100000 finishing lines" + wider},
      {{"--job", "shop", "--fin-dia", "2", "--stations-finish", "100", "--tolerance", "0.001", "--scallop", "0.001"},
       "the shop job would need more than 4000000 heights sampled under the tools" + wider},
      {{"--job", "shop", "--rough-dia", "3", "--rough-step", "20", "--rough-depth", "1", "--stations-rough", "50"},
       "the shop job would need more than 50000000 moves before thinning" + wider},
      {{"--job", "shop", "--rough-feed", "0.00004"},
       "the shop job needs \u201cRough Feedrate\u201d (--rough-feed) to be above 0 and at most 100000 mm/min as its "
       "F word writes it, not \u201c0.00004\u201d"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", dir.file("job.nc")});
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 1) << c.args.back();
    EXPECT_EQ(run.err, "ventaro-gcode: " + c.error + "\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{});
  }
  // The plain program takes no machine setting, and keeps its bytes.
  EXPECT_EQ(runCli({"--quiet", "--clearance", "1e300"}).out, runCli({"--quiet"}).out);
  // A speed is a plain decimal.
  const auto run = runCli({"--quiet", "--controller", "linuxcnc", "--rough-rpm", "1500.25"});
  EXPECT_NE(run.out.find("\r\nM3 S1500.25\r\n"), std::string::npos);
}

// A 6 mm ball at 10 % stepover would ask the plain program for more
// finishing stations than it holds; the shop job does not use them, and
// only the outputs drawn from them are refused.
TEST(ShopCli, SmallFinishingToolBeyondThePlainStations) {
  TempDir dir;
  const auto job = runCli({"--job", "shop", "--fin-dia", "6", "--fin-step", "10", "--quiet", "-o", dir.file("job.nc")});
  EXPECT_EQ(job.status, 0) << job.err;
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"job.nc"});
  const auto table = runCli({"--job", "shop", "--fin-dia", "6", "--fin-step", "10", "--quiet", "-o",
                             dir.file("job2.nc"), "--stations", dir.file("s.csv")});
  EXPECT_EQ(table.status, 1);
  EXPECT_EQ(table.err, "ventaro-gcode: Subscript out of range: more than 1001 finishing stations.\n");
}

TEST(ShopCli, NamesAFieldItCannotUse) {
  // The computation takes a negative feed as a number; the machine cannot.
  const auto run = runCli({"--job", "shop", "--rough-feed", "-5", "--quiet"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "ventaro-gcode: the shop job needs \u201cRough Feedrate\u201d (--rough-feed) to be a positive number, not "
            "\u201c-5\u201d\n");
}

}  // namespace
}  // namespace ventaro
