// Whole outputs of ventaro-gcode compared byte for byte with the expected
// files kept under golden/<case>/expect/. A case names its options, with
// "{out}" standing for the run's own folder, and the files it expects there.
// After a deliberate change of an output, the expected file is the new
// output of the same run, checked by eye before it is committed.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli_process.h"

namespace ventaro::testing {
namespace {

struct GoldenCase {
  const char* name;  // the folder under golden/
  std::vector<std::string> args;
  std::vector<std::string> files;  // written into {out}, expected in golden/<name>/expect/
};

const GoldenCase kGoldenCases[] = {
    {"default",
     {"-o", "{out}/program.nc", "--quiet", "--report={out}/report.txt", "--stations", "{out}/stations.csv", "--preview",
      "{out}/preview.svg"},
     {"report.txt", "stations.csv", "preview.svg"}},
    // The shop job for both controllers: the program and its report.
    {"shop-linuxcnc",
     {"--job", "shop", "--controller", "linuxcnc", "-o", "{out}/program.nc", "--quiet", "--report={out}/report.txt"},
     {"program.nc", "report.txt"}},
    // GRBL's: one program per tool.
    {"shop-grbl",
     {"--job", "shop", "--controller", "grbl", "-o", "{out}/program.nc", "--quiet", "--report={out}/report.txt"},
     {"program-T1.nc", "program-T2.nc", "report.txt"}},
};

std::string withFolder(std::string arg, const std::string& folder) {
  const auto at = arg.find("{out}");
  if (at != std::string::npos) arg.replace(at, 5, folder);
  return arg;
}

// The line of `s` that holds position `at` (up to 200 characters).
std::string lineAt(const std::string& s, std::size_t at) {
  at = std::min(at, s.size());
  const std::size_t before = at == 0 ? std::string::npos : s.rfind('\n', at - 1);
  const std::size_t start = before == std::string::npos ? 0 : before + 1;
  return s.substr(start, std::min<std::size_t>(s.find('\n', start) - start, 200));
}

// Where two texts part: the line number and both lines.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  const auto at = static_cast<std::size_t>(
      std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first - expected.begin());
  const auto line = std::count(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
  return "line " + std::to_string(line) + ": expected \"" + lineAt(expected, at) + "\", written \"" +
         lineAt(actual, at) + "\"";
}

// A case by its name in the test's messages.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputsAsExpected) {
  const GoldenCase& c = GetParam();
  TempDir dir;
  std::vector<std::string> args;
  for (const auto& arg : c.args) args.push_back(withFolder(arg, dir.path()));
  const auto run = runCli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const auto& file : c.files) {
    const std::string expected = readFile(std::string(VENTARO_GOLDEN_DIR) + "/" + c.name + "/expect/" + file);
    const std::string actual = readFile(dir.file(file));
    ASSERT_FALSE(expected.empty()) << file;
    EXPECT_TRUE(actual == expected) << file << ", " << firstDifference(expected, actual);
  }
}

INSTANTIATE_TEST_SUITE_P(Extras, Golden, ::testing::ValuesIn(kGoldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace ventaro::testing
