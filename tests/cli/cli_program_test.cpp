// End to end: the bytes ventaro-gcode writes, and the progress line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "cli_process.h"
#include "core/job_parameters.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "gcode/program_bytes.h"

namespace ventaro {
namespace {

using testing::readFile;
using testing::runCli;
using testing::TempDir;

// The saved file of a computation from the initial texts with `changes`.
std::string programOf(const std::vector<std::pair<Field, std::string>>& changes = {}) {
  JobFields fields;
  for (const auto& [field, text] : changes) fields[field] = text;
  SectionTable table;
  table.fill();
  return programFileBytes(compute(fields, table));
}

std::size_t countLines(const std::string& bytes) {
  std::size_t lines = 0;
  for (std::size_t pos = bytes.find("\r\n"); pos != std::string::npos; pos = bytes.find("\r\n", pos + 2)) ++lines;
  return lines;
}

// The text of line `n` (from 1), without its line end.
std::string lineOf(const std::string& bytes, std::size_t n) {
  std::size_t start = 0;
  for (std::size_t i = 1; i < n; ++i) start = bytes.find("\r\n", start) + 2;
  return bytes.substr(start, bytes.find("\r\n", start) - start);
}

TEST(CliProgram, DefaultRunWritesTheVerifiedProgram) {
  const auto run = runCli({});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "progress: 53.60%\n");
  EXPECT_EQ(run.out, programOf());

  // The figures the default program is known by, asserted directly.
  EXPECT_EQ(countLines(run.out), 4051u);
  EXPECT_TRUE(run.out.starts_with("( Blade Diameter = 3.36m )\r\n( Number of blades = 3 )\r\n"));
  EXPECT_EQ(lineOf(run.out, 4), "( Angle of Attack = 5\xB0 )");  // one byte for the degree sign
  EXPECT_EQ(lineOf(run.out, 10), "F1200");
  EXPECT_EQ(lineOf(run.out, 11), "( Roughing Pass no.1 )");
  EXPECT_EQ(lineOf(run.out, 12), "G1 X200.00 Y310.30 Z260.46");
  EXPECT_TRUE(run.out.ends_with("\r\nG1 X1678.4 Y203.77 Z4.9285\r\n"));
  EXPECT_EQ(run.out.find('\n'), run.out.find("\r\n") + 1);
}

TEST(CliProgram, StandardOutputAndFileHoldTheSameBytes) {
  TempDir dir;
  const auto toStdout = runCli({"--passes", "4", "--tsr", "5.5"});
  const auto toFile = runCli({"--passes", "4", "--tsr", "5.5", "-o", dir.file("a.nc")});
  const auto toLong = runCli({"--passes=4", "--tsr=5.5", "--output=" + dir.file("b.nc")});
  ASSERT_EQ(toStdout.status, 0);
  ASSERT_EQ(toFile.status, 0);
  ASSERT_EQ(toLong.status, 0);
  EXPECT_EQ(toStdout.out, programOf({{Field::RoughPassesNo, "4"}, {Field::TSR, "5.5"}}));
  EXPECT_EQ(readFile(dir.file("a.nc")), toStdout.out);
  EXPECT_EQ(readFile(dir.file("b.nc")), toStdout.out);
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(toFile.err, "progress: 44.66%\n");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"a.nc", "b.nc"}));  // no temporary left
}

TEST(CliProgram, StationCountsFollowTheTools) {
  // Finishing tool typed as 25: the station field holds 80.
  EXPECT_EQ(runCli({"--fin-dia", "25"}).out, programOf({{Field::FinDia, "25"}, {Field::STNfinish, "80"}}));
  // The count is not rounded: its field holds the 15-digit text.
  EXPECT_EQ(runCli({"--fin-dia", "25", "--fin-step", "70"}).out,
            programOf({{Field::FinDia, "25"}, {Field::FinStep, "70"}, {Field::STNfinish, "84.5714285714286"}}));
  // Roughing tool of 40 mm at 80 %: 148000 / 40 / 80.
  EXPECT_EQ(runCli({"--rough-dia", "40"}).out, programOf({{Field::RoughDia, "40"}, {Field::STNrough, "46.25"}}));
  // The rotor counts too: a 4 m rotor spans 1.8 m.
  EXPECT_EQ(
      runCli({"--diameter", "4"}).out,
      programOf({{Field::D, "4"}, {Field::STNfinish, "121.621621621622"}, {Field::STNrough, "60.8108108108108"}}));
}

TEST(CliProgram, GivenStationCountsWinOverTheTools) {
  EXPECT_EQ(runCli({"--fin-dia", "25", "--stations-finish", "100"}).out, programOf({{Field::FinDia, "25"}}));
  EXPECT_EQ(runCli({"--rough-dia", "40", "--stations-rough=12.5"}).out,
            programOf({{Field::RoughDia, "40"}, {Field::STNrough, "12.5"}}));
  // A tool diameter that the count could not use is only copied then.
  const auto zero = runCli({"--fin-dia", "0", "--stations-finish", "100"});
  EXPECT_EQ(zero.status, 0);
  EXPECT_EQ(lineOf(zero.out, 7), "( T2:0 )");
}

TEST(CliProgram, ValuesAreTakenExactlyAsTyped) {
  // A value may begin with "-" or be empty, in either form.
  EXPECT_EQ(runCli({"--attack", "-1", "--stations-finish", "100", "--stations-rough", "50"}).out,
            programOf({{Field::AT, "-1"}}));
  const auto emptyFeed = runCli({"--rough-feed=", "--finish-feed", ""});
  ASSERT_EQ(emptyFeed.status, 0);
  EXPECT_EQ(lineOf(emptyFeed.out, 10), "F");
  EXPECT_NE(emptyFeed.out.find("\r\nF\r\n( T2:20 ) \r\n"), std::string::npos);
  // Copied texts keep their spelling; the last of a repeated option wins.
  const auto typed = runCli({"--tsr", "7", "--rough-dia", "37.0", "--stations-rough", "50", "--tsr", "06.50"});
  EXPECT_EQ(lineOf(typed.out, 3), "( Tip Speed Ratio = 06.50 )");
  EXPECT_EQ(lineOf(typed.out, 6), "( T1:37.0 )");
  // Only the first "=" separates the value.
  EXPECT_EQ(lineOf(runCli({"--rough-dia==37", "--stations-rough", "50"}).out, 6), "( T1:=37 )");
}

TEST(CliProgram, HubAtOrBeyondTheTipWithCountsGivenKeepsItsProgram) {
  // Half a station spacing decides: at 1.68 each sweep keeps its station 0
  // at the tip, at 2 no station is left. Not an error either way.
  for (const char* hub : {"1.68", "2"}) {
    const auto run = runCli({"--hub-radius", hub, "--stations-finish", "100", "--stations-rough", "50"});
    EXPECT_EQ(run.status, 0) << hub;
    EXPECT_EQ(run.out, programOf({{Field::HubRad, hub}})) << hub;
  }
}

TEST(CliProgram, CopiedTextsAreWrittenInWindows1252) {
  const auto run = runCli({"--rough-dia",
                           "\xC3\x98"
                           "37 \xE2\x82\xAC\xCE\xA9",
                           "--stations-rough", "50"});
  ASSERT_EQ(run.status, 0);
  // Ø is 0xD8, € 0x80, and Ω has no byte.
  EXPECT_EQ(lineOf(run.out, 6),
            "( T1:\xD8"
            "37 \x80? )");
}

TEST(CliProgram, ProgressLineShowsTheFieldsLastFigure) {
  EXPECT_EQ(runCli({"--passes", "0"}).err, "progress: 134%\n");
  // No station at all: the field keeps its initial text.
  const auto none = runCli({"--hub-radius", "2", "--stations-finish", "100", "--stations-rough", "50"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.err, "progress: 0%\n");
  EXPECT_TRUE(none.out.ends_with("\r\nT2\r\n"));

  TempDir dir;
  const auto quiet = runCli({"--quiet", "-o", dir.file("q.nc")});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(readFile(dir.file("q.nc")), programOf());
}

TEST(CliProgram, ReplacingAFileKeepsItsModeAndFollowsLinks) {
  TempDir dir;
  const std::string target = dir.file("blade.nc");
  testing::writeFile(target, std::string(200000, 'x'));  // longer than the program
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(::symlink("blade.nc", dir.file("link.nc").c_str()), 0);

  ASSERT_EQ(runCli({"-o", dir.file("link.nc")}).status, 0);
  EXPECT_EQ(readFile(target), programOf());
  struct stat st {};
  ASSERT_EQ(::lstat(dir.file("link.nc").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // A new file gets the usual mode under the caller's umask.
  ASSERT_EQ(runCli({"-o", "new.nc"}, {.workingDir = dir.path(), .umask = 027}).status, 0);
  ASSERT_EQ(::stat(dir.file("new.nc").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"blade.nc", "link.nc", "new.nc"}));
}

}  // namespace
}  // namespace ventaro
