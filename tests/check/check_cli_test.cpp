// The check end to end through the built ventaro-gcode: the plain job's
// hazards and exit status, where the figures go, the picture file.
#include <gtest/gtest.h>

#include "cli_process.h"

namespace ventaro {
namespace {

using testing::readFile;
using testing::runCli;
using testing::TempDir;

TEST(CheckCli, ThePlainJobHasItsHazardsListedAndExitsThree) {
  const auto run = runCli({"--check"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(run.out.starts_with("( Blade Diameter = 3.36m )\r\n")) << "the program is still written";
  EXPECT_NE(run.err.find("T1 (flat end, diameter 37.000 mm): 2430 cutting moves, 3 rapid moves\n"
                         "  rapid moves through material: 3 (up to "),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("    line 822: G0 X200.0001 Z265.46\n"
                         "    line 1634: G0 X200.0001 Z260.46\n"
                         "    line 2446: G0 X200.0001 Z255.46\n"),
            std::string::npos);
  EXPECT_NE(run.err.find("T2 (ball-nose, diameter 20.000 mm): 1602 cutting moves, 0 rapid moves\n"), std::string::npos);
  EXPECT_NE(run.err.find("Check failed: 3 rapid moves through material; cuts up to "), std::string::npos);
  EXPECT_TRUE(run.err.ends_with("progress: 53.60%\n"));
}

TEST(CheckCli, FiguresGoToStandardOutputWhenTheProgramGoesToAFile) {
  TempDir dir;
  const auto run = runCli({"-o", dir.file("blade.ngc"), "--check", dir.file("check.svg"), "--quiet"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(
      run.out.starts_with("Material check: block X 200.00 to 1680.00, Y 0.00 to 300.00, top Z 260.464; "
                          "0.500 mm cells (2960 x 600)\n"))
      << run.out;
  EXPECT_EQ(run.err, "");
  // Any build draws the picture as SVG, the height map within it as PNG.
  const std::string svg = readFile(dir.file("check.svg"));
  EXPECT_NE(svg.find("<image id=\"map\" x=\"20\" y=\"34\" width=\"987\" height=\"200\""), std::string::npos);
  EXPECT_NE(svg.find("xlink:href=\"data:image/png;base64,iVBORw0KGgo"), std::string::npos);
  EXPECT_NE(svg.find(">below the target</text>"), std::string::npos);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"blade.ngc", "check.svg"}));
}

// A holder standing 5 mm above the tip, wider than the tool, meets the
// block beside the first layer: a collision, status 3; standing well out of
// it, the same job passes.
TEST(CheckCli, AHolderInMaterialFailsTheCheck) {
  struct Case {
    const char* stickout;
    int status;
    const char* verdict;
  };
  for (const Case c : {Case{"5", 3, "moves with the holder in material."}, Case{"100", 0, "Check passed"}}) {
    TempDir dir;
    const auto run = runCli({"--job", "shop", "--diameter", "1.6", "--scallop", "1", "--rough-holder", "80",
                             "--rough-stickout", c.stickout, "-o", dir.file("blade.ngc"), "--check", "--quiet"});
    EXPECT_EQ(run.status, c.status) << c.stickout << "\n" << run.out;
    EXPECT_NE(run.out.find("  holder 80.000 mm across, " + std::string(c.stickout) + ".000 mm above the tip: "),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(c.verdict), std::string::npos) << run.out;
  }
}

TEST(CheckCli, TheShopJobPassesItsOwnCheck) {
  for (const std::string controller : {"linuxcnc", "grbl"}) {
    TempDir dir;
    const auto run = runCli({"--job", "shop", "--controller", controller, "-o", dir.file("blade.ngc"), "--check"});
    EXPECT_EQ(run.status, 0) << controller << "\n" << run.out;
    EXPECT_EQ(run.err, "progress: 53.60%\n");
    std::size_t clean = 0;
    for (auto at = run.out.find("  rapid moves through material: 0\n"); at != std::string::npos;
         at = run.out.find("  rapid moves through material: 0\n", at + 1)) {
      ++clean;
    }
    EXPECT_EQ(clean, 2u) << controller;
    // The roughing tool meets at most its layer (and a little at the rim of
    // a cell); the rest pass leaves the finishing tool its allowance and
    // not much more.
    std::vector<double> engaged;
    const std::string figure = "deepest engagement of a cutting move: ";
    for (auto at = run.out.find(figure); at != std::string::npos; at = run.out.find(figure, at + 1)) {
      engaged.push_back(std::stod(run.out.substr(at + figure.size())));
    }
    ASSERT_EQ(engaged.size(), 2u) << controller;
    EXPECT_LE(engaged[0], 5.5) << controller;
    EXPECT_LE(engaged[1], 4.0) << controller;
    // Neither tool goes down into material: each enters from beside the
    // block and climbs to each section's crest from both sides.
    std::size_t gentle = 0;
    const std::string none = "  steep descents into material (over 30 degrees, more than 1 mm met): 0\n";
    for (auto at = run.out.find(none); at != std::string::npos; at = run.out.find(none, at + 1)) ++gentle;
    EXPECT_EQ(gentle, 2u) << controller;
    // Well inside the blade the finishing leaves its scallops and little
    // more.
    const auto mean = run.out.rfind("edges: mean "), p99 = run.out.rfind("99th percentile ");
    ASSERT_NE(p99, std::string::npos) << controller;
    EXPECT_LE(std::stod(run.out.substr(mean + 12)), 0.15) << controller;
    EXPECT_LE(std::stod(run.out.substr(p99 + 16)), 0.2 + 0.2) << controller;
    EXPECT_TRUE(
        run.out.ends_with("Check passed: no rapid move through material, no cut below the target beyond 0.010 mm.\n"))
        << controller;
  }
}

// A grid too fine would fill the memory; one coarser than the tools could
// miss the rapid moves through material and pass the plain job.
TEST(CheckCli, AGridTooFineOrTooCoarseFailsAndWritesNothing) {
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"--check-grid", "0.05"},
       "a grid of 0.05 mm gives 177600000 cells, more than the check takes (40000000): give a larger --check-grid"},
      {{"--check-grid", "2000"},
       "a grid of 2000 mm is coarser than a quarter of the smaller tool's radius (2.5 mm): the tool could pass "
       "between its cells unseen: give a smaller --check-grid"},
      {{"--check-grid", "2.6"},
       "a grid of 2.6 mm is coarser than a quarter of the smaller tool's radius (2.5 mm): the tool could pass "
       "between its cells unseen: give a smaller --check-grid"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--check", "-o", dir.file("blade.ngc")});
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ventaro-gcode: the check: " + c.error + "\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{});
  }
  // At a quarter of the radius the rapids are still found; with a small
  // finishing tool the default cell is that tool's quarter.
  EXPECT_EQ(runCli({"--check-grid", "2.5", "--check", "-o", "/dev/null"}).status, 3);
  const auto small = runCli({"--fin-dia", "3", "--stations-finish", "100", "--check", "-o", "/dev/null", "--quiet"});
  EXPECT_EQ(small.status, 3);
  EXPECT_NE(small.out.find("; 0.375 mm cells (3947 x 800)\n"), std::string::npos) << small.out.substr(0, 200);
}

TEST(CheckCli, BadCheckOptionsAreUsageErrors) {
  for (const auto& args : {std::vector<std::string>{"--check=pic.gif"}, {"--check-grid", "0"}, {"--check-grid=x"}}) {
    const auto run = runCli(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace ventaro
