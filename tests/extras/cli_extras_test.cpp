// The options beside the program on the command line: each writes its file,
// none changes the program, and bad combinations are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_process.h"

namespace ventaro::testing {
namespace {

TEST(CliExtras, EveryOutputAndTheSameProgram) {
  TempDir dir;
  const auto plain = runCli({"-o", dir.file("plain.nc"), "--quiet"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const auto all = runCli({"-o", dir.file("blade.nc"), "--quiet", "--stations", dir.file("s.csv"), "--report",
                           dir.file("r.txt"), "--preview", dir.file("p.svg")});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(readFile(dir.file("blade.nc")), readFile(dir.file("plain.nc")));
  EXPECT_TRUE(readFile(dir.file("s.csv")).starts_with("sweep,index,radius (mm; 3 decimals),"));
  // A header and one row per station: 45 roughing and 89 finishing.
  const std::string csv = readFile(dir.file("s.csv"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 45 + 89);
  EXPECT_NE(csv.find("\nfinishing,88,1678.400,"), std::string::npos);
  EXPECT_TRUE(readFile(dir.file("r.txt")).starts_with("Machining report\n\nProgram: 4051 lines.\n"));
  const std::string svg = readFile(dir.file("p.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("roughing pass 3"), std::string::npos);
  EXPECT_NE(svg.find("stock width 300.0 mm"), std::string::npos);

  // The report on standard output, the program in its file.
  const auto out = runCli({"-o", dir.file("blade2.nc"), "--quiet", "--report"});
  ASSERT_EQ(out.status, 0) << out.err;
  EXPECT_TRUE(out.out.starts_with("Machining report\n"));
  const auto eq = runCli({"-o", dir.file("blade3.nc"), "--quiet", "--report=" + dir.file("r2.txt")});
  ASSERT_EQ(eq.status, 0) << eq.err;
  EXPECT_EQ(readFile(dir.file("r2.txt")), readFile(dir.file("r.txt")));
}

TEST(CliExtras, ReportNamesAFeedByLabelAndOption) {
  TempDir dir;
  const auto run = runCli({"-o", dir.file("f.nc"), "--quiet", "--report", "--rough-feed", "-1200"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("  the feed line \u201cF-1200\u201d (\u201cRough Feedrate\u201d, --rough-feed) is not a "
                         "positive number: the controller will reject the line\n"),
            std::string::npos)
      << run.out;
}

TEST(CliExtras, CommandLineLinkedWithoutQt) {
  // The libraries a program needs are named in its dynamic string table.
  const std::string binary = readFile(VENTARO_GCODE_PATH);
  ASSERT_NE(binary.find("libc.so"), std::string::npos);
  EXPECT_EQ(binary.find("libQt6"), std::string::npos);
}

TEST(CliExtras, ControllerProfiles) {
  TempDir dir;
  const auto lx = runCli({"--controller", "linuxcnc", "--quiet"});
  ASSERT_EQ(lx.status, 0) << lx.err;
  EXPECT_NE(lx.out.find("\r\nT1 M6 G43 H1\r\nM3 S12000\r\n"), std::string::npos);
  EXPECT_TRUE(lx.out.ends_with("\r\nM2\r\n"));
  const auto grbl = runCli({"--controller=grbl", "--quiet"});
  ASSERT_EQ(grbl.status, 0) << grbl.err;
  EXPECT_EQ(grbl.out.find("G64"), std::string::npos);
  // The spindle speeds and the clearance apply to the plain job's profiles too.
  const auto set = runCli({"--controller", "grbl", "--rough-rpm", "9000", "--fin-rpm", "20000", "--clearance", "20.5",
                           "--passes", "1", "--quiet"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_NE(set.out.find("\r\nT1\r\nM3 S9000\r\n"), std::string::npos);
  EXPECT_NE(set.out.find("\r\nT2\r\nM3 S20000\r\n"), std::string::npos);
  EXPECT_TRUE(set.out.ends_with("\r\nG0 Z276\r\nM5\r\nM2\r\n"));

  const auto bad = runCli({"--controller", "fanuc"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("the controller must be plain, linuxcnc or grbl"), std::string::npos);

  // A feed the controller would reject: nothing is written.
  const auto feed = runCli({"--controller", "grbl", "--rough-feed", "0", "-o", dir.file("x.nc")});
  EXPECT_EQ(feed.status, 1);
  EXPECT_NE(feed.err.find("\u201cF0\u201d from \u201cRough Feedrate\u201d (--rough-feed)"), std::string::npos)
      << feed.err;
  EXPECT_TRUE(dir.entries().empty());
}

TEST(CliExtras, RefusedCombinations) {
  TempDir dir;
  const auto both = runCli({"--report"});
  EXPECT_EQ(both.status, 2);
  EXPECT_EQ(both.out, "");
  EXPECT_NE(both.err.find("the report and the program cannot both go to standard output"), std::string::npos);
  const auto jpg = runCli({"-o", dir.file("b.nc"), "--preview", dir.file("p.jpg")});
  EXPECT_EQ(jpg.status, 2);
  EXPECT_NE(jpg.err.find("must end in .svg or .png"), std::string::npos);
  // A station table that cannot be written fails the run.
  const auto csv = runCli({"-o", dir.file("b.nc"), "--stations", dir.file("no/such/folder/s.csv")});
  EXPECT_EQ(csv.status, 1);
  EXPECT_NE(csv.err.find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace ventaro::testing
